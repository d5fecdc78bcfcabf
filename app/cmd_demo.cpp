// vemoprint demo [--out DIR]: what a clerk does with the sample company, in
// one command: the company database (created when missing), the sample
// templates registered (the item label's too, with its blank pictures), the
// sample sales invoice exported into DIR and
// printed on the default printer, or, without one, its preview PDF written
// into DIR.
#include <cstdlib>
#include <filesystem>
#include <iostream>

#include "automation/late_binding.h"
#include "command_line_desktop.h"
#include "command_registry.h"
#include "host/database/account_location.h"
#include "host/database/sample_account.h"
#include "host/output/cups_printer.h"
#include "request_file.h"
#include "sample_templates.h"

namespace vemo::app {
namespace {

struct DemoOptions {
  std::string out = "out";
};

// Created by identifier and called by member name, as any host calls it.
bool RunInvoice(const Request& request, bool preview, bool exportFile) {
  const automation::LateBound action("VemoPrintExport.ExportAction");
  action.Set("DataSourceType", request.dataSourceType);
  action.Set("DataSrv", request.dataSrv);
  action.Set("Data", request.data);
  action.Set("TableInfo", request.tableInfo);
  return action.Call("PrintBill", {preview, exportFile});
}

int RunDemo(const DemoOptions& options) {
  const std::string props = host::CommandLineProps("", "");
  const auto database = host::DatabasePath(host::AccountName(props));
  if (host::InitializeSampleAccount(database, false).created)
    std::cout << "created the sample company database " << database.string() << "\n";
  const auto templates = SampleTemplateFolder();
  if (templates.empty()) throw UsageError("the sample templates were not found; set VEMO_SAMPLES_DIR to examples/templates");
  // One line for the setup, then one per document made.
  const int registered = RegisterSampleTemplates(props, templates, false);
  const bool label = !InstallSampleLabelTemplate(templates).empty();
  InstallLabelPlaceholders();
  if (registered > 0 || label)
    std::cout << "registered " << registered << " sample templates" << (label ? " and the item label template" : "")
              << " (vemoprint templates list --bill-type 1020002 shows the invoices')\n";

  const auto requestFile = templates.parent_path() / "requests" / "sales_invoice_vat.json";
  const Request request = LoadRequest(requestFile.string());
  const std::filesystem::path out = std::filesystem::absolute(options.out);
  std::filesystem::create_directories(out);

  const auto exported = out / "销售发票.xlsx";
  {
    // The save dialog answered with the file; "open it now?" answered No.
    CommandLineAnswers answers({.saveFile = exported.string(), .no = true, .passUnanswered = true});
    if (!RunInvoice(request, false, true)) {
      std::cout << "the export of the sample invoice failed (see the message above)\n";
      return kExitActionFailed;
    }
  }
  std::cout << "exported the sample sales invoice to " << exported.string() << "\n";

  const std::string printer = host::DefaultPrinterName();
  if (!printer.empty()) {
    if (!RunInvoice(request, false, false)) return kExitActionFailed;
    std::cout << "printed the sample sales invoice on " << printer << "\n";
    return kExitOk;
  }
  // No printer: the preview, written as a PDF into the output folder.
  setenv("VEMO_PREVIEW_TO_FOLDER", "1", 1);
  setenv("VEMO_PREVIEW_DIR", out.c_str(), 1);
  if (!RunInvoice(request, true, false)) return kExitActionFailed;
  std::cout << "no default printer is set up: the print preview of the sample sales invoice is in " << out.string()
            << "\n";
  return kExitOk;
}

CommandRegistration registration{"demo", [](CLI::App& root, GlobalOptions&) {
  auto options = std::make_shared<DemoOptions>();
  auto* cmd = root.add_subcommand("demo", "export and print the sample sales invoice of the sample company");
  cmd->add_option("--out", options->out, "folder for the exported invoice and the preview (default: out)");
  cmd->callback([options] { SetExitCode(RunDemo(*options)); });
}};

}  // namespace
}  // namespace vemo::app
