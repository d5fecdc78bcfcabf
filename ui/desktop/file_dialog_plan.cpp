#include "ui/desktop/file_dialog_plan.h"

#include <QRegularExpression>

#include "context/path_mapping.h"

namespace vemo::ui {
namespace {

// File dialog flags of the host's common dialog.
constexpr int kOverwritePrompt = 2;
constexpr int kFileMustExist = 4096;

QStringList Patterns(const QString& text) {
  QStringList patterns = text.split(QRegularExpression(QStringLiteral("[; ]+")), Qt::SkipEmptyParts);
  for (QString& pattern : patterns)
    if (pattern == QStringLiteral("*.*")) pattern = QStringLiteral("*");
  return patterns;
}

QString QtEntry(QString description, const QString& patternText) {
  const QStringList patterns = Patterns(patternText);
  description = description.trimmed();
  static const QRegularExpression trailing(QStringLiteral("\\s*\\(([^()]*)\\)$"));
  const auto match = trailing.match(description);
  if (match.hasMatch() && Patterns(match.captured(1)) == patterns) description.truncate(match.capturedStart());
  if (patterns.isEmpty()) return description;
  return description + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
}

QString HostFolder(const std::string& folder) { return QString::fromStdString(context::ToHostPath(folder).string()); }

}  // namespace

QStringList QtNameFilters(const std::string& hostFilter) {
  const QStringList parts = QString::fromStdString(hostFilter).split(QLatin1Char('|'));
  QStringList filters;
  if (hostFilter.empty()) return filters;
  for (qsizetype i = 0; i < parts.size(); i += 2) filters << QtEntry(parts[i], i + 1 < parts.size() ? parts[i + 1] : QString());
  return filters;
}

FileDialogPlan PlanFileDialog(const context::FileDialogRequest& request, bool save) {
  FileDialogPlan plan;
  plan.title = QString::fromStdString(request.title);
  plan.nameFilters = QtNameFilters(request.filter);
  if (!plan.nameFilters.isEmpty()) {
    const qsizetype index = request.filterIndex >= 1 && request.filterIndex <= plan.nameFilters.size() ? request.filterIndex - 1 : 0;
    plan.selectedFilter = plan.nameFilters[index];
  }
  std::string name = request.fileName, folder;
  const auto slash = name.find_last_of("/\\");
  if (slash != std::string::npos) {
    folder = name.substr(0, slash + 1);
    name = name.substr(slash + 1);
  }
  if (!request.initialFolder.empty()) folder = request.initialFolder;
  if (!folder.empty()) plan.directory = HostFolder(folder);
  if (name.find_first_of("*?") == std::string::npos) plan.proposedName = QString::fromStdString(name);
  plan.existingFileOnly = !save && (request.flags & kFileMustExist) != 0;
  plan.confirmOverwrite = save && (request.flags & kOverwritePrompt) != 0;
  if (save && !plan.selectedFilter.isEmpty()) {
    static const QRegularExpression extension(QStringLiteral("\\(\\*\\.([A-Za-z0-9]+)[ )]"));
    const auto match = extension.match(plan.selectedFilter);
    if (match.hasMatch()) plan.defaultSuffix = match.captured(1);
  }
  return plan;
}

}  // namespace vemo::ui
