#include "ui/desktop/qt_desktop.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QProgressDialog>

#include "ui/desktop/file_dialog_plan.h"
#include "ui/desktop/message_box_plan.h"

namespace vemo::ui {
namespace {

QWidget* Owner() {
  if (QWidget* modal = QApplication::activeModalWidget()) return modal;
  return QApplication::activeWindow();
}

// A modal dialog over the window in use. The work runs on this thread, so
// each update lets Qt paint and take the Cancel click.
class QtProgress : public context::Progress {
 public:
  explicit QtProgress(const std::string& what)
      : what_(QString::fromStdString(what)), dialog_(what_, QStringLiteral("取消"), 0, 0, Owner()) {
    dialog_.setWindowTitle(QString::fromUtf8(context::kMessageTitle.data(), static_cast<int>(context::kMessageTitle.size())));
    dialog_.setWindowModality(Qt::ApplicationModal);
    dialog_.setMinimumDuration(0);
    dialog_.setAutoClose(false);
    dialog_.setAutoReset(false);
  }
  bool Update(std::size_t done, std::size_t total, const std::string& status) override {
    // QProgressDialog counts in int: scale a larger total down.
    const std::size_t scale = total > 1'000'000'000 ? total / 1'000'000'000 + 1 : 1;
    dialog_.setMaximum(static_cast<int>(total / scale));
    dialog_.setValue(static_cast<int>(std::min(done, total ? total : done) / scale));
    dialog_.setLabelText(what_ + "\n" + QString::fromStdString(status));
    QCoreApplication::processEvents();
    return !dialog_.wasCanceled();
  }

 private:
  QString what_;
  QProgressDialog dialog_;
};

}  // namespace

std::unique_ptr<context::Progress> QtDesktop::BeginProgress(const std::string& what) {
  return std::make_unique<QtProgress>(what);
}

QtDesktop::~QtDesktop() {
  if (cursorOverridden_ && QGuiApplication::instance()) QGuiApplication::restoreOverrideCursor();
}

int QtDesktop::MessageBox(const std::string& text, int flags, const std::string& title) {
  const MessageBoxPlan plan = PlanMessageBox(flags);
  QMessageBox box(plan.icon, QString::fromStdString(title), QString::fromStdString(text), QMessageBox::NoButton, Owner());
  for (auto button : plan.buttons) box.addButton(button);
  box.setDefaultButton(plan.defaultButton);
  box.setEscapeButton(plan.escapeButton);
  box.exec();
  return HostAnswerOf(box.standardButton(box.clickedButton()));
}

void QtDesktop::ShowHostMessage(const std::string& text) {
  MessageBox(text, context::vbInformation, std::string(context::kMessageTitle));
}

void QtDesktop::ReportCause(const std::string& text) {
  MessageBox(text, context::vbExclamation, std::string(context::kMessageTitle));
}

std::optional<std::string> QtDesktop::FileDialog(const context::FileDialogRequest& request, bool save) {
  const FileDialogPlan plan = PlanFileDialog(request, save);
  QFileDialog dialog(Owner(), plan.title, plan.directory);
  dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(plan.existingFileOnly ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
  if (!plan.nameFilters.isEmpty()) {
    dialog.setNameFilters(plan.nameFilters);
    dialog.selectNameFilter(plan.selectedFilter);
  }
  dialog.setOption(QFileDialog::DontConfirmOverwrite, !plan.confirmOverwrite);
  if (!plan.defaultSuffix.isEmpty()) dialog.setDefaultSuffix(plan.defaultSuffix);
  if (!plan.proposedName.isEmpty()) dialog.selectFile(plan.proposedName);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return dialog.selectedFiles().front().toStdString();
}

std::optional<std::string> QtDesktop::OpenFileDialog(const context::FileDialogRequest& request) {
  return FileDialog(request, false);
}

std::optional<std::string> QtDesktop::SaveFileDialog(const context::FileDialogRequest& request) {
  return FileDialog(request, true);
}

void QtDesktop::SetMousePointer(int pointer) {
  pointer_ = pointer;
  const bool hourglass = pointer == context::kPointerHourglass;
  if (hourglass && !cursorOverridden_) QGuiApplication::setOverrideCursor(Qt::WaitCursor);
  if (!hourglass && cursorOverridden_) QGuiApplication::restoreOverrideCursor();
  cursorOverridden_ = hourglass;
}

}  // namespace vemo::ui
