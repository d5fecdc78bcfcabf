// vemoprint bill|report|waybill|batch <verb> REQUEST: the export actions as
// the host calls them, with the request file standing in for what the host
// hands over (docs/request-file.md).
//
//   bill    print|preview|export|mail   ExportAction.PrintBill / DoAction(1)
//   report  print|preview|export        ExportActionRpt: PreCheck, PrintInitial,
//                                       PrintRpt / SingleRecordExportToFileAction4Rpt
//   waybill print|preview|export|mail   ExportActionLM (dataFrom set first)
//   label   print|preview|export|edit   ExportAction.PrintItemInfo / OpenExcel (item labels)
//   batch   print|preview|export        ExportAction's continuous print of the
//                                       request's PrintData (one transaction type)
//
// bill print and waybill print take several request files: the bills are
// printed one after another in this one process, one print job each, with a
// line of progress per bill on the error stream (the first failure does not
// stop the rest; the exit status then says 1).
// --out FILE answers the save dialog, --no answers questions with No (the
// global --yes answers Yes). label export --embed-pictures stores the
// label's pictures in the workbook instead of linking to c:\ItemPhotos\.
// Exit status 0 when the action answers True, 1
// when it answers False (the reason has been shown on the error stream).
#include <iostream>
#include <memory>
#include <optional>
#include <vector>

#include "actions/action_types.h"
#include "actions/label_template.h"
#include "context/file_utils.h"
#include "context/settings.h"
#include "automation/late_binding.h"
#include "command_line_desktop.h"
#include "command_registry.h"
#include "request_file.h"

namespace vemo::app {
namespace {

using actions::ActionTypeEnum;

enum class Verb { Print, Preview, Export, Mail };

struct ActionOptions {
  std::vector<std::string> requestPaths;  // one, or several for bill and waybill print
  std::optional<std::string> out;
  bool no = false;
  bool embedPictures = false;  // label export only
};

// The actions are created by identifier and called by member name, as the
// host calls them (automation/late_binding.h).
using automation::LateBound;
constexpr std::string_view kBill = "VemoPrintExport.ExportAction";
constexpr std::string_view kReport = "VemoPrintExport.ExportActionRpt";
constexpr std::string_view kWaybill = "VemoPrintExport.ExportActionLM";

void HandOver(const LateBound& action, const Request& request) {
  action.Set("DataSourceType", request.dataSourceType);
  action.Set("RptID", request.rptId);
  action.Set("RptHeadData", request.rptHeadData);
  action.Set("RptEntryData", request.rptEntryData);
  action.Set("DataSrv", request.dataSrv);
  action.Set("Data", request.data);
  action.Set("TableInfo", request.tableInfo);
}

// One bill or waybill: PrintBill, or DoAction for mail.
bool RunSingle(const LateBound& action, Verb verb) {
  switch (verb) {
    case Verb::Print: return action.Call("PrintBill", {false});
    case Verb::Preview: return action.Call("PrintBill", {true});
    case Verb::Export: return action.Call("PrintBill", {false, true});
    case Verb::Mail: return action.Call("DoAction", {static_cast<int>(ActionTypeEnum::SingleExpToEmail)});
  }
  return false;
}

// A request of another kind (a report's, a label's) would only get False
// from the action: say what the command needs and which command takes it.
void RequireBillValues(const char* command, const Request& request) {
  if (request.dataSrv || request.data) return;
  throw UsageError(std::string(command) +
                   " needs the bill's values (\"DataSrv\", or \"Data\" and \"TableInfo\"; docs/request-file.md); "
                   "a report prints with \"vemoprint report\", a continuous print with \"vemoprint batch\", "
                   "an item label with \"vemoprint label\"");
}

bool RunBill(Verb verb, const Request& request, const ActionOptions&) {
  RequireBillValues("bill", request);
  const LateBound action(kBill);
  HandOver(action, request);
  return RunSingle(action, verb);
}

// The host's order for a report or a continuous print: check, hand over the
// bills, then print, preview or export on the engine PrintInitial made.
bool RunContinuous(const LateBound& action, Verb verb, const Request& request, const ObjectRef& bills) {
  HandOver(action, request);
  if (!action.Call("PreCheck")) return false;
  if (!action.Call("PrintInitial", {bills})) return false;
  return verb == Verb::Export ? action.Call("SingleRecordExportToFileAction4Rpt")
                              : action.Call("PrintRpt", {verb == Verb::Preview});
}

bool RunReport(Verb verb, const Request& request, const ActionOptions&) {
  ObjectRef bills = request.printData;
  if (!bills) {
    // A report screen prints its one report: one document of no particular type.
    auto one = HostVector::Create();
    auto document = HostDictionary::Create();
    document->Add("FTranType", 0);
    one->Add(document);
    bills = one;
  }
  return RunContinuous(LateBound(kReport), verb, request, bills);
}

bool RunBatch(Verb verb, const Request& request, const ActionOptions&) {
  // A continuous print is a report-style fill: the report's values, and the
  // list of bills it stands for.
  std::string missing;
  if (request.dataSourceType != 1) missing += ", \"DataSourceType\": 1";
  if (request.rptId == 0) missing += ", \"RptID\"";
  if (!request.rptHeadData) missing += ", \"RptHeadData\"";
  if (!request.rptEntryData) missing += ", \"RptEntryData\"";
  if (!request.printData) missing += ", \"PrintData\" (the bills, [{\"FTranType\": 1}, ...], all of one type)";
  if (!missing.empty())
    throw UsageError("batch needs a continuous-print request; this one lacks " + missing.substr(2) +
                     ". See examples/requests/continuous_print.json; one bill prints with \"vemoprint bill\"");
  return RunContinuous(LateBound(kBill), verb, request, request.printData);
}

bool RunWaybill(Verb verb, const Request& request, const ActionOptions&) {
  RequireBillValues("waybill", request);
  const LateBound action(kWaybill);
  action.Set("dataFrom", request.dataFrom);  // before DataSrv, which only a waybill from a bill keeps
  action.Set("DataSrv", request.dataSrv);
  action.Set("Data", request.data);
  action.Set("TableInfo", request.tableInfo);
  return RunSingle(action, verb);
}

// Before init the label workbook is in neither place the label job takes it
// from (the user's copy, the installed sample): say what installs it,
// rather than the action's "no template set".
void RequireLabelTemplate() {
  const std::string name = actions::detail::kLabelTemplateName;
  const std::string sample = context::JoinPath(context::GetInstallPath(3), "Graphics\\ItemPhotos\\" + name);
  if (context::FileExists(context::JoinPath(context::GetPictureFolder(), name)) || context::FileExists(sample)) return;
  throw HostError("the item label template " + sample +
                  " is not installed; run \"vemoprint init\" (or \"vemoprint demo\") to install the sample one");
}

// Item labels: the request's ItemInfoDict on the label template.
bool RunLabel(Verb verb, const Request& request, const ActionOptions& options) {
  if (!request.itemInfoDict) throw UsageError("the request has no \"ItemInfoDict\": a label needs the item's values");
  RequireLabelTemplate();
  const LateBound action(kBill);
  action.Set("EmbedLabelPictures", options.embedPictures);
  return action.Call("PrintItemInfo", {verb == Verb::Preview, verb == Verb::Export, request.itemInfoDict});
}

using Runner = bool (*)(Verb, const Request&, const ActionOptions&);

struct VerbInfo {
  Verb verb;
  const char* name;
  const char* help;
};

constexpr VerbInfo kVerbs[] = {
    {Verb::Print, "print", "print on the default printer"},
    {Verb::Preview, "preview", "fill and show the print preview"},
    {Verb::Export, "export", "fill a workbook file (--out FILE answers the save dialog)"},
    {Verb::Mail, "mail", "fill the workbook and mail it (SMTP server of machine.json, else the mail program)"},
};

CLI::App* InstallFamily(CLI::App& root, const char* name, const char* help, Runner run, bool withMail) {
  auto* family = root.add_subcommand(name, help);
  family->require_subcommand(1);
  for (const VerbInfo& info : kVerbs) {
    if (info.verb == Verb::Mail && !withMail) continue;
    auto options = std::make_shared<ActionOptions>();
    auto* cmd = family->add_subcommand(info.name, info.help);
    const bool several = info.verb == Verb::Print && (run == RunBill || run == RunWaybill);
    cmd->add_option("request", options->requestPaths,
                    several ? "request files (JSON, docs/request-file.md), one bill each, printed one job per bill"
                            : "request file (JSON, docs/request-file.md)")
        ->required()
        ->expected(1, several ? CLI::detail::expected_max_vector_size : 1);
    cmd->add_option("--out", options->out, "answer the save dialog with this file");
    cmd->add_flag("--no", options->no, "answer No to every question");
    if (info.verb == Verb::Export && run == RunLabel)
      cmd->add_flag("--embed-pictures", options->embedPictures,
                    "store the item's pictures in the workbook instead of linking to c:\\ItemPhotos\\ "
                    "(session setting EmbedLabelPictures=1 does the same)");
    cmd->callback([options, run, verb = info.verb, label = std::string(name) + " " + info.name] {
      // Every request is read first, so a mistyped file refuses the run
      // before anything is printed.
      std::vector<Request> requests;
      for (const std::string& path : options->requestPaths) requests.push_back(LoadRequest(path));
      CommandLineAnswers answers({.saveFile = options->out,
                                  .no = options->no,
                                  .passUnanswered = true,
                                  .log = &std::cerr});
      std::size_t failed = 0;
      for (std::size_t i = 0; i < requests.size(); ++i) {
        const bool done = run(verb, requests[i], *options);
        if (!done) ++failed;
        if (requests.size() > 1)
          std::cerr << label << " " << i + 1 << " of " << requests.size() << " (" << options->requestPaths[i]
                    << "): " << (done ? "printed" : "the action answered False") << std::endl;
      }
      if (requests.size() == 1)
        std::cout << label << ": " << (failed ? "the action answered False" : "done") << "\n";
      else
        std::cout << label << ": " << requests.size() - failed << " of " << requests.size() << " printed\n";
      SetExitCode(failed ? kExitActionFailed : kExitOk);
    });
  }
  return family;
}

CommandRegistration bill{"bill", [](CLI::App& root, GlobalOptions&) {
  InstallFamily(root, "bill", "print, preview, export or mail one bill (ExportAction)", RunBill, true);
}};
CommandRegistration report{"report", [](CLI::App& root, GlobalOptions&) {
  InstallFamily(root, "report", "print, preview or export a report (ExportActionRpt)", RunReport, false);
}};
CommandRegistration waybill{"waybill", [](CLI::App& root, GlobalOptions&) {
  InstallFamily(root, "waybill", "print, preview, export or mail a courier waybill (ExportActionLM)", RunWaybill, true);
}};
CommandRegistration label{"label", [](CLI::App& root, GlobalOptions&) {
  CLI::App* family = InstallFamily(root, "label", "print, preview or export an item label (ExportAction.PrintItemInfo)",
                                   RunLabel, false);
  auto* edit = family->add_subcommand("edit", "open the user's label template for editing (ExportAction.OpenExcel)");
  edit->callback([] {
    RequireLabelTemplate();
    const bool done = LateBound(kBill).Call("OpenExcel", {""});
    std::cout << "label edit: " << (done ? "done" : "the action answered False") << "\n";
    SetExitCode(done ? kExitOk : kExitActionFailed);
  });
}};
CommandRegistration batch{"batch", [](CLI::App& root, GlobalOptions&) {
  InstallFamily(root, "batch", "continuous print of several bills of one type (ExportAction.PrintInitial)", RunBatch, false);
}};

}  // namespace
}  // namespace vemo::app
