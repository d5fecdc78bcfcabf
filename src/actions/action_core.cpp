// DoAction: prerequisites, the action itself, the behaviour log.
#include "actions/action_core.h"

#include <vector>

#include "actions/action_messages.h"
#include "context/desktop.h"
#include "context/login.h"
#include "context/registry.h"
#include "context/spreadsheet_detection.h"
#include "foundation/creation_service.h"
#include "host/components/behavior_log.h"
#include "host/components/bill_data_service.h"
#include "host/components/prog_ids.h"
#include "host/mail/mail_program.h"
#include "host/mail/smtp_sender.h"

namespace vemo::actions::detail {
namespace {

// Office versions whose install keys tell whether a program is installed:
// 11, 12, 14, 15, 16, then 17 to 30 (13 never existed).
const std::vector<std::string>& OfficeVersions() {
  static const std::vector<std::string> versions = [] {
    std::vector<std::string> v = {"11.0", "12.0", "14.0", "15.0", "16.0"};
    for (int n = 17; n <= 30; ++n) v.push_back(std::to_string(n) + ".0");
    return v;
  }();
  return versions;
}

bool IsOfficeAppInstalled(std::string_view appName) {
  return context::IsOfficeAppInstalledForVersions(appName, OfficeVersions());
}

// Mail can go somewhere: an SMTP server in the machine configuration, a
// mail program (xdg-email), or Outlook's install keys.
bool MailRouteAvailable() {
  return host::ConfiguredSmtpServer() || !host::FindMailProgram().empty() || IsOfficeAppInstalled("Outlook");
}

bool IsMailAction(int actionType) {
  return actionType == static_cast<int>(ActionTypeEnum::SingleExpToEmail) ||
         actionType == static_cast<int>(ActionTypeEnum::MultiExpToEmial);
}

}  // namespace

std::int32_t DataSrvClassTypeID(const ActionInputs& inputs) {
  auto service = std::dynamic_pointer_cast<host::BillDataService>(inputs.dataSrv);
  if (!service) throw HostError(HostError::kObjectRequired, "no bill data service (DataSrv) was handed over");
  return service->classTypeID();
}

DictionaryRef HeadCell(const ActionInputs& inputs, std::string_view key) {
  auto fields = std::dynamic_pointer_cast<HostDictionary>(inputs.tableInfo);
  auto values = std::dynamic_pointer_cast<HostDictionary>(inputs.data);
  if (!fields || !values) return nullptr;
  auto map = fields->Value("Map").AsObject<HostDictionary>();
  if (!map || !map->Lookup(std::string(key))) return nullptr;
  const std::string internalKey = map->Value(std::string(key)).ToText();
  auto info = fields->Value(internalKey).AsObject<HostDictionary>();
  if (!info) return nullptr;
  auto page = values->Value("Page" + info->Value("FPage").ToText()).AsObject<HostDictionary>();
  return page ? page->Value(internalKey).AsObject<HostDictionary>() : nullptr;
}

ActionCore::ActionCore(DocumentKind kind) : family_(FamilyOf(kind)) {}
ActionCore::~ActionCore() = default;

void ActionCore::SetDataSrv(const ObjectRef& dataSrv, bool readClassType) {
  in_.dataSrv = dataSrv;
  if (!readClassType) return;
  auto service = std::dynamic_pointer_cast<host::BillDataService>(dataSrv);
  in_.classType = service ? service->classtype() : nullptr;
  in_.classTypeEntry = service ? service->ClassTypeEntry() : nullptr;
  in_.classTypeId = 0;
  try {
    if (in_.classType) in_.classTypeId = in_.classType->Value("FID").ToInt32();
  } catch (const std::exception&) {
    in_.classTypeId = 0;  // a class type id that is not a number selects no template
  }
}

bool ActionCore::DoAction(int actionType) {
  try {
    if (!CheckActionPrerequisites(actionType)) return false;
    const bool result = RunAction(actionType);
    if (result) WriteBehaviorLog();
    return result;
  } catch (const std::exception& e) {
    context::ReportCause(e.what());
    return false;
  }
}

bool ActionCore::CheckActionPrerequisites(int actionType) {
  if (!context::IsSpreadsheetAppAvailable()) {
    context::ShowHostMessage(std::string(text::kNoSpreadsheetBeforeAction));
    return false;
  }
  if (IsMailAction(actionType) && !MailRouteAvailable()) {
    context::ShowHostMessage(std::string(text::kNoOutlook));
    return false;
  }
  return true;
}

bool ActionCore::RunAction(int actionType) {
  switch (static_cast<ActionTypeEnum>(actionType)) {
    case ActionTypeEnum::SingleExpToEmail: return EmailBill();
    case ActionTypeEnum::SingleExpToFile:
      switch (family_.fileExport) {
        case FileExportStyle::TimedWorkingCopy: return ExportBillToFile();
        case FileExportStyle::StraightToFile: return ExportStraightToFile();
        case FileExportStyle::None: return true;
      }
      return true;
    case ActionTypeEnum::SinglePrint: return PrintOrPreviewBill(PrintTypeEnum::PrintAction);
    case ActionTypeEnum::SinglePrintView: return PrintOrPreviewBill(PrintTypeEnum::PrintViewAction);
    default: return true;  // the multi-bill codes (and unknown ones) do nothing here
  }
}

void ActionCore::WriteBehaviorLog() {
  try {
    std::string code, entry;
    if (in_.labelMode == 1) {
      code = text::kLogCodeLabel;
      entry = text::kLogTextLabel;
    } else {
      code = family_.logCode;
      entry = std::string(text::kLogTextBillPrefix) + std::to_string(in_.classTypeId) +
              std::string(text::kLogTextBillSuffix);
    }
    auto log = CreateObjectAs<host::IBehaviorLog>(host::progid::kBehaviorLog);
    log->SetPropsString(context::GetPropsString());
    log->WriteMGLog(code, entry);
  } catch (const std::exception&) {
    // Logging never changes the action's result.
  }
}

std::unique_ptr<EngineJob> ActionCore::NewFillEngine(const std::string& file) {
  auto engine = CreateEngineJob(family_.kind);
  engine->SetFileAllName(file);
  if (in_.labelMode == 1) {
    engine->SetPrintHandlerType("1");
    engine->SetItemInfoDict(in_.itemInfo);
  } else {
    family_.handOverBillData(*engine, in_);
  }
  return engine;
}

}  // namespace vemo::actions::detail
