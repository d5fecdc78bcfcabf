// vemoprint fill: a template and a request in, a filled workbook out, through
// the bill, report or waybill engine, as an export action would run it.
#include <filesystem>
#include <iostream>

#include "command_registry.h"
#include "context/pending_file.h"
#include "engine_setup.h"

namespace vemo::app {
namespace {

struct FillOptions {
  std::string templatePath, requestPath, outPath, engine = "bill";
  std::int32_t validateId = 0;
  bool validate = false;
};

int RunFill(const FillOptions& options) {
  if (!std::filesystem::is_regular_file(options.templatePath))
    throw UsageError("cannot read the template \"" + options.templatePath + "\": no such file");
  CheckEngineName(options.engine);
  const Request request = LoadRequest(options.requestPath);
  // Filled under a hidden name beside --out and renamed over it once saved:
  // a failed fill leaves --out as it was, never the unfilled template.
  context::PendingFile out(options.outPath);
  std::error_code error;
  std::filesystem::copy_file(options.templatePath, out.Path(), std::filesystem::copy_options::overwrite_existing, error);
  if (error) throw std::runtime_error("cannot write \"" + options.outPath + "\": " + error.message());

  auto engine = EngineForRequest(options.engine, request);
  if (options.validate && !engine->ValidateTemplate(out.Path(), options.validateId)) {
    std::cerr << "the template does not identify " << options.validateId
              << " (cell B3 of its third sheet); nothing was filled\n";
    return kExitActionFailed;
  }
  engine->SetFileAllName(out.Path());
  GiveBill(*engine, request);
  if (!engine->ExportSingleRecordDataToExcel()) {
    std::cerr << "the engine could not fill \"" << options.outPath
              << "\", which is left as it was. When no reason is given above, check that the request holds what the "
                 "engine needs (a bill with DataSrv and an FID above 0, report head values and rows, or item values)\n";
    return kExitActionFailed;
  }
  out.Commit();
  std::cout << "filled " << options.outPath << "\n";
  return kExitOk;
}

CommandRegistration registration{"fill", [](CLI::App& root, GlobalOptions&) {
  static FillOptions options;
  auto* cmd = root.add_subcommand("fill", "fill a template with a request's bill, report or waybill");
  cmd->add_option("--template", options.templatePath, "template workbook (.xlsx)")->required();
  cmd->add_option("--request", options.requestPath, "request file (JSON)")->required();
  cmd->add_option("--out", options.outPath, "filled workbook to write")->required();
  cmd->add_option("--engine", options.engine, "bill (default), report or waybill");
  cmd->add_option("--validate", options.validateId, "first check that the template identifies this id")
      ->each([](const std::string&) { options.validate = true; });
  cmd->callback([] { SetExitCode(RunFill(options)); });
}};

}  // namespace
}  // namespace vemo::app
