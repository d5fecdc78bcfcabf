// The actions that fill the fixed working file: print, preview, mail, the
// report-style print of a continuous run, and the template check.
#include <optional>

#include "actions/action_core.h"
#include "actions/action_messages.h"
#include "actions/working_file.h"
#include "context/desktop.h"
#include "context/file_utils.h"
#include "context/login.h"
#include "context/message_box.h"
#include "context/spreadsheet_detection.h"
#include "foundation/utf8_text.h"
#include "host/spreadsheet/spreadsheet_interfaces.h"
#include "host/store/template_store.h"

namespace vemo::actions::detail {
namespace {

// A spreadsheet application is there and can write the working file's
// format (.xlsx needs version 12 or later); otherwise the user is told.
bool SpreadsheetCanWrite(const std::string& workingFile) {
  auto found = context::GetSpreadsheetApp();
  if (!found) {
    context::ShowHostMessage(std::string(text::kNoSpreadsheetForPrint));
    return false;
  }
  auto app = std::dynamic_pointer_cast<host::IApplication>(found);
  if (!app) throw HostError(HostError::kObjectRequired, "the spreadsheet application found offers no automation interface");
  const double version = LeadingNumber(app->Version());
  if (version < 12.0 && ToUpperAscii(context::GetExtensionName(workingFile)) == "XLSX") {
    context::ShowHostMessage(std::string(text::kNoXlsxSupport));
    return false;
  }
  return true;  // the application object is released here
}

bool SpreadsheetPresentForCheck() {
  if (context::GetSpreadsheetApp()) return true;
  context::ShowHostMessage(std::string(text::kNoSpreadsheetForCheck));
  return false;
}

}  // namespace

bool ActionCore::PrintOrPreviewBill(PrintTypeEnum mode) {
  std::optional<context::WaitCursor> hourglass;
  hourglass.emplace();
  WorkingFile working(family_.workingTemplateIsXlsx(in_));
  if (family_.checksSpreadsheetOnPrint && !SpreadsheetCanWrite(working.Path())) return false;
  if (!working.Claim()) return false;
  if (!PrepareTemplateFile(working.Path())) return false;
  auto engine = NewFillEngine(working.Path());
  if (!engine->ExportSingleRecordDataToExcel()) return false;
  hourglass.reset();
  return mode == PrintTypeEnum::PrintAction ? engine->PrintTo() : engine->PrintPreview();
}

bool ActionCore::EmailBill() {
  std::optional<context::WaitCursor> hourglass;
  hourglass.emplace();
  WorkingFile working(family_.workingTemplateIsXlsx(in_));
  if (!working.Claim()) return false;
  if (!PrepareTemplateFile(working.Path())) return false;
  auto engine = NewFillEngine(working.Path());
  if (!engine->ExportSingleRecordDataToExcel()) return false;
  hourglass.reset();
  return ToEmailAction(working.Path());
}

bool ActionCore::PreCheck() {
  try {
    WorkingFile working(family_.exportTemplateIsXlsx(in_));
    if (!SpreadsheetPresentForCheck()) return false;
    if (!working.Claim()) return false;
    return PrepareTemplateFile(working.Path());
  } catch (const std::exception& e) {
    context::ReportCause(e.what());
    return false;
  }
}

bool ActionCore::PrintRpt(bool isPreview) {
  try {
    if (!in_.batchEngine) return false;  // PrintInitial comes first
    WorkingFile working(host::IsReportTemplateXlsx(context::GetPropsString(), in_.rptId, in_.labelMode));
    if (!SpreadsheetPresentForCheck()) return false;
    if (!working.Claim()) return false;
    if (!PrepareTemplateFile(working.Path())) return false;
    SetUpBatchEngine(working.Path());
    if (!in_.batchEngine->ExportSingleRecordDataToExcel()) return false;
    return isPreview ? in_.batchEngine->PrintPreview() : in_.batchEngine->PrintTo();
  } catch (const std::exception& e) {
    context::ReportCause(e.what());
    return false;
  }
}

void ActionCore::SetUpBatchEngine(const std::string& file) {
  EngineJob& engine = *in_.batchEngine;
  engine.SetFileAllName(file);
  engine.SetDataSourceType(1);
  engine.SetRptHeadData(in_.rptHeadData);
  engine.SetRptEntryData(in_.rptEntryData);
  if (in_.labelMode == 1) engine.SetPrintHandlerType("1");
}

}  // namespace vemo::actions::detail
