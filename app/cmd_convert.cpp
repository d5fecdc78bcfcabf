// vemoprint convert IN OUT: opens a workbook (.xlsx or .xls) through the
// spreadsheet surface and saves it again unchanged, as .xls when OUT ends in
// .xls and as .xlsx otherwise (a round trip of the workbook engine).
#include <filesystem>
#include <iostream>

#include "command_registry.h"
#include "foundation/host_error.h"
#include "host/spreadsheet/spreadsheet_application.h"

namespace vemo::app {
namespace {

struct ConvertOptions {
  std::string input, output;
};

int RunConvert(const ConvertOptions& options) {
  if (!std::filesystem::is_regular_file(options.input))
    throw UsageError("cannot read \"" + options.input + "\": no such file");
  auto app = host::SurfaceApplication::Create();
  app->SetDisplayAlerts(false);
  std::shared_ptr<host::IWorkbook> book;
  try {
    book = app->Workbooks()->Open(options.input);
  } catch (const HostError& e) {
    app->Quit();
    throw UsageError(e.what());
  }
  try {
    book->SaveAs(options.output);
    book->Close(false);
  } catch (...) {
    app->Quit();
    throw;
  }
  app->Quit();
  return kExitOk;
}

CommandRegistration registration{"convert", [](CLI::App& root, GlobalOptions&) {
  static ConvertOptions options;
  auto* cmd = root.add_subcommand("convert", "open a workbook through the spreadsheet surface and save it unchanged");
  cmd->add_option("input", options.input, "workbook to read (.xlsx or .xls)")->required();
  cmd->add_option("output", options.output, "file to write (.xls when the name ends in .xls, else .xlsx)")->required();
  cmd->callback([] { SetExitCode(RunConvert(options)); });
}};

}  // namespace
}  // namespace vemo::app
