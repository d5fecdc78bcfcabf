// vemoprint init [--force] [--database NAME] [--server HOST[:PORT]]: creates
// the account's company database with the sample data, in this desk's own
// file or on the server (see docs/company-database.md). Without
// --force a second run changes nothing; with --force the file (on a server,
// the sample tables) is copied aside first and the sample tables are rebuilt, registered templates and
// the behaviour log kept. Then the sample templates of examples/templates are
// registered (those the account does not hold yet), unless --no-templates.
#include <iostream>

#include "command_registry.h"
#include "host/database/account_location.h"
#include "host/database/database_address.h"
#include "host/database/sample_account.h"
#include "sample_templates.h"

namespace vemo::app {
namespace {

struct InitOptions {
  bool force = false;
  bool templates = true;
  std::string database;
};

int RunInit(const InitOptions& options) {
  std::string props = host::CommandLineProps(options.database, "");
  auto database = host::AccountDatabase(props);
  const std::string name = database.Describe();
  auto outcome = host::InitializeSampleAccount(database, options.force);
  if (outcome.created)
    std::cout << "created the company database " << name << " with the sample data\n";
  else if (!outcome.backup.empty())
    std::cout << "rebuilt the sample data of " << name << " (templates and log kept); "
              << (database.kind == host::DatabaseKind::Embedded ? "the previous file is "
                                                                 : "the previous sample tables are in the schema ")
              << outcome.backup << "\n";
  else if (options.force)
    std::cout << "rebuilt the sample data of " << name << " (templates and log kept)\n";
  else if (outcome.seeded)
    std::cout << "added the sample data to " << name << "\n";
  else
    std::cout << name << " is up to date; nothing changed (use --force to rebuild the sample data)\n";
  for (const std::string& picture : InstallLabelPlaceholders())
    std::cout << "installed the blank label picture " << picture << "\n";
  if (options.templates) {
    const auto folder = SampleTemplateFolder();
    if (folder.empty())
      std::cout << "the sample templates were not found (set VEMO_SAMPLES_DIR to their folder); none registered\n";
    else {
      RegisterSampleTemplates(props, folder);
      const std::string label = InstallSampleLabelTemplate(folder);
      if (!label.empty()) std::cout << "installed the sample item label template as " << label << "\n";
    }
  }
  return kExitOk;
}

CommandRegistration registration{"init", [](CLI::App& root, GlobalOptions&) {
  auto options = std::make_shared<InitOptions>();
  auto* cmd = root.add_subcommand("init", "create the company database of an account with the sample data");
  cmd->add_flag("--force", options->force,
                "rebuild the sample data (the old file is copied aside first; registered templates are kept)");
  cmd->add_flag("!--no-templates", options->templates, "do not register the sample templates");
  cmd->add_option("--database", options->database,
                  "account name (default: $VEMO_DATABASE, the session's account, or VemoSample)");
  // "init --server HOST" reads as naturally as "--server HOST init".
  cmd->fallthrough();
  cmd->callback([options] { SetExitCode(RunInit(*options)); });
}};

}  // namespace
}  // namespace vemo::app
