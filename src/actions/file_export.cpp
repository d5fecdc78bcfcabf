// Export to a file the user chooses: the export dialog, the timed working
// copy of bills, and the straight fill of reports and waybills.
#include <filesystem>

#include "actions/action_core.h"
#include "actions/action_messages.h"
#include "actions/export_timing.h"
#include "context/desktop.h"
#include "context/file_utils.h"
#include "context/message_box.h"
#include "context/path_mapping.h"
#include "context/pending_file.h"
#include "context/settings.h"
#include "context/temp_files.h"

namespace vemo::actions::detail {
namespace {

constexpr int kDialogFlags = 2050;  // ask before overwriting, the path must exist

// `folder` joined with each "\"-separated part of `below`.
std::string JoinBelow(std::string folder, std::string_view below) {
  while (!below.empty() && !folder.empty()) {
    const auto cut = below.find('\\');
    folder = context::JoinPath(folder, below.substr(0, cut));
    below = cut == std::string_view::npos ? std::string_view() : below.substr(cut + 1);
  }
  return folder;
}

// The target keeps its previous contents unless the whole copy made it.
void CopyOver(const std::string& source, const std::string& target) {
  try {
    context::CopyFileWhole(source, target);
  } catch (const HostError& e) {
    throw HostError("导出文件无法写入 " + target + "（" + e.Description() + "）");
  }
}

}  // namespace

std::string ActionCore::AskExportFileName() {
  const bool xlsx = family_.exportTemplateIsXlsx(in_);
  context::FileDialogRequest request;
  request.title = family_.exportTitle;
  request.filter = xlsx ? family_.filterXlsx : family_.filterXls;
  request.filterIndex = 1;
  request.fileName = context::JoinPath(JoinBelow(context::GetAppPath(), family_.exportFolder(in_)), xlsx ? "*.xlsx" : "*.xls");
  request.flags = kDialogFlags;
  return context::CurrentDesktop().SaveFileDialog(request).value_or("");
}

bool ActionCore::ExportBillToFile() {
  const std::string chosen = AskExportFileName();
  if (chosen.empty()) return false;  // cancelled: no message
  context::RemoveStaleWorkingCopies();
  const std::string working = context::NewUniqueFileName(true, context::GetExtensionName(chosen));
  if (working.empty()) {
    context::ShowMsgBox(std::string(text::kNoTemporaryFolder), context::vbExclamation);
    return false;
  }
  context::Desktop& desktop = context::CurrentDesktop();
  desktop.SetMousePointer(context::kPointerHourglass);
  bool filled = false;
  try {
    context::DeleteFileIfExists(working);
    if (PrepareTemplateFile(working)) {
      auto engine = NewFillEngine(working);
      const std::int64_t start = TickCount();
      filled = engine->ExportSingleRecordDataToExcel();
      if (filled) {
        StoreLabelPicturesIfAsked(working);
        CopyOver(working, chosen);
        const int answer = context::ShowMsgBox(ExportDoneQuestion(TickCount() - start), context::vbYesNo | context::vbQuestion);
        if (answer == context::vbYes) {
          engine->SetFileAllName(chosen);
          engine->OpenExcel();
        }
      }
    }
  } catch (const std::exception& e) {
    desktop.MessageBox(e.what(), context::vbExclamation, std::string(text::kErrorTitle));
    filled = false;
  }
  desktop.SetMousePointer(context::kPointerDefault);
  context::DeleteFileIfExists(working);
  return filled;
}

// Reports and waybills are filled under a hidden name beside the chosen
// file, which they replace only once filled and saved: a failure leaves the
// chosen file as it was, never the unfilled template in its place.
bool ActionCore::ExportStraightToFile() {
  const std::string chosen = AskExportFileName();
  if (chosen.empty()) return false;
  context::PendingFile out(chosen);
  if (!PrepareTemplateFile(out.Path())) return false;
  auto engine = NewFillEngine(out.Path());
  return FillAndOfferToOpen(*engine, out, /*quietForOuterLogin=*/true);
}

bool ActionCore::SingleRecordExportToFileAction4Rpt() {
  try {
    if (!in_.batchEngine) return false;  // PrintInitial comes first
    const std::string chosen = AskExportFileName();
    if (chosen.empty()) return false;
    context::PendingFile out(chosen);
    if (!PrepareTemplateFile(out.Path())) return false;
    SetUpBatchEngine(out.Path());
    return FillAndOfferToOpen(*in_.batchEngine, out, /*quietForOuterLogin=*/false);
  } catch (const std::exception& e) {
    context::ReportCause(e.what());
    return false;
  }
}

bool ActionCore::FillAndOfferToOpen(EngineJob& engine, context::PendingFile& out, bool quietForOuterLogin) {
  if (!engine.ExportSingleRecordDataToExcel()) return false;
  out.Commit();
  const std::string question(text::kOpenExportedFile);
  const int flags = context::vbYesNo | context::vbQuestion;
  const int answer = quietForOuterLogin
                         ? context::ShowMsgBox(question, flags)
                         : context::CurrentDesktop().MessageBox(question, flags, std::string(context::kMessageTitle));
  if (answer != context::vbNo) {
    engine.SetFileAllName(out.Target());  // the filled file is there now, under its own name
    engine.OpenExcel();
  }
  return true;
}

}  // namespace vemo::actions::detail
