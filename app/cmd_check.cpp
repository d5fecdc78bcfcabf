// vemoprint check: what a fill of a template would do with a request, before
// anything is filled. Lists every keyword of the first sheet (cell, kind,
// page key, name), where each value comes from, which will come out empty and
// why, whether the identification text (B3 of the third sheet) matches, and
// which registered template the request's bill would print with.
// The workbook is opened read-only through the spreadsheet surface.
#include <cstdio>
#include <filesystem>
#include <iostream>

#include "actions/template_sub_type.h"
#include "command_registry.h"
#include "engine/template_check.h"
#include "engine_setup.h"
#include "foundation/creation_service.h"
#include "foundation/host_error.h"
#include "host/components/bill_data_service.h"
#include "host/database/account_location.h"
#include "host/spreadsheet/spreadsheet_application.h"
#include "request_file.h"
#include "template_forms.h"

namespace vemo::app {
namespace {

struct CheckCommandOptions {
  std::string templatePath, requestPath, engine = "bill";
};

std::string Padded(const std::string& text, std::size_t width) {
  return text.size() >= width ? text + " " : text + std::string(width - text.size(), ' ');
}

void PrintFinding(const engine::KeywordFinding& finding) {
  std::string kind = engine::KindName(finding.kind);
  if (finding.inFormula) kind = "formula/" + kind;
  std::string line = Padded(finding.cell, 7) + Padded(kind, 19) + Padded(finding.page, 7) + Padded(finding.name, 22);
  if (!finding.problem.empty()) {
    line += "EMPTY: " + finding.problem;
    if (finding.kind == engine::KeywordKind::None || finding.name == finding.keyword)
      line += " [" + finding.keyword + "]";
  } else if (finding.source == engine::ValueSource::NotChecked) {
    line += "(no request: not looked up)";
  } else {
    line += finding.resolvesTo;
    if (!finding.value.empty()) line += ": " + finding.value;
  }
  std::cout << line << "\n";
}

void PrintIdentification(const engine::IdentificationFinding& id, bool requestGiven) {
  std::cout << "identification (B3 of the third sheet): ";
  if (!id.present) {
    std::cout << "the workbook has no third sheet";
  } else {
    std::cout << (id.found.empty() ? "(empty)" : id.found);
  }
  if (!requestGiven) {
    std::cout << "\n";
    return;
  }
  if (id.expected.empty())
    std::cout << "; the request's data source type asks for none\n";
  else if (id.matches)
    std::cout << "; matches the request (" << id.expected << ")\n";
  else
    std::cout << "; DOES NOT MATCH the request, which needs " << id.expected << "\n";
}

// Which registered template the request's bill would print with, as the
// bill action chooses it: by bill type and sub-type, else the one without.
void PrintRegisteredTemplate(const Request& request) {
  auto service = std::dynamic_pointer_cast<host::BillDataService>(request.dataSrv);
  if (request.dataSourceType != 0 || !service) return;
  std::cout << "registered template for this bill: ";
  try {
    const std::string subType = actions::BillTemplateSubType(request.dataSrv, request.data, request.tableInfo);
    std::cout << "bill type " << service->classTypeID() << (subType.empty() ? "" : ", sub-type " + subType) << ": "
              << TemplateInUse(host::CommandLineProps("", ""), {DocumentKind::Bill, service->classTypeID(), 0},
                               subType)
              << "\n";
  } catch (const std::exception& error) {
    std::cout << "not known (" << error.what() << ")\n";
  }
}

int RunCheck(const CheckCommandOptions& options) {
  if (!std::filesystem::is_regular_file(options.templatePath))
    throw UsageError("cannot read the template \"" + options.templatePath + "\": no such file");
  CheckEngineName(options.engine);
  const bool requestGiven = !options.requestPath.empty();
  const Request request = requestGiven ? LoadRequest(options.requestPath) : Request{};
  auto engine = EngineForRequest(options.engine, request);
  GiveBill(*engine, request);

  auto app = CreateObjectAs<host::IApplication>(host::kSpreadsheetProgId);
  app->SetDisplayAlerts(false);
  engine::TemplateCheck check;
  try {
    auto book = app->Workbooks()->Open(options.templatePath);
    check = engine::CheckTemplate(*book, *engine, {requestGiven, request.rptId});
  } catch (const HostError& error) {
    app->Quit();  // discards the workbook: the template is never written
    throw UsageError(error.what());
  }
  app->Quit();

  std::cout << "template " << options.templatePath << ", " << options.engine << " engine";
  std::cout << (requestGiven ? ", request " + options.requestPath : ", no request (only the grammar is checked)")
            << "\n";
  std::cout << Padded("cell", 7) << Padded("kind", 19) << Padded("page", 7) << Padded("name", 22)
            << "what answers it: value\n";
  for (const engine::KeywordFinding& finding : check.keywords) PrintFinding(finding);
  PrintIdentification(check.identification, requestGiven);
  if (requestGiven) PrintRegisteredTemplate(request);
  const int problems = check.ProblemCount();
  std::cout << check.keywords.size() << " keywords; "
            << (problems == 0 ? std::string("everything resolves")
                              : std::to_string(problems) + " problem(s): the lines marked EMPTY" +
                                    (requestGiven && !check.identification.expected.empty() &&
                                             !check.identification.matches
                                         ? " and the identification"
                                         : ""))
            << "\n";
  return problems == 0 ? kExitOk : kExitActionFailed;
}

CommandRegistration registration{"check", [](CLI::App& root, GlobalOptions&) {
  static CheckCommandOptions options;
  auto* cmd = root.add_subcommand(
      "check",
      "list a template's keywords and which of them a request fills (exit 1 when one comes out empty or the "
      "identification does not match)");
  cmd->add_option("template", options.templatePath, "template workbook (.xlsx), read only")->required();
  cmd->add_option("--request", options.requestPath, "request file (JSON) to resolve the keywords against");
  cmd->add_option("--engine", options.engine, "bill (default), report or waybill");
  cmd->callback([] { SetExitCode(RunCheck(options)); });
}};

}  // namespace
}  // namespace vemo::app
