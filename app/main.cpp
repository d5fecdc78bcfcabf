// vemoprint: the command line that plays the host for VemoPrintExport.
// Exit status: 0 success, 1 the action answered False, 2 bad usage (with a
// one-line reason on stderr; no arguments at all print the help).
#include <CLI/CLI.hpp>
#include <iostream>

#include "build_info.h"
#include "command_registry.h"
#include "process_heap.h"
#include "session_setup.h"

int main(int argc, char** argv) {
  vemo::app::BackHeapWithHugePages();
  CLI::App app{"vemoprint: fills spreadsheet templates with bills, reports and waybills", "vemoprint"};
  app.require_subcommand(0, 1);
  vemo::app::GlobalOptions options;
  app.add_option("--session", options.sessionFile, "JSON session file the host publishes (login properties, settings)");
  app.add_option("--machine-config", options.machineConfig,
                 "folder of the machine configuration (registry values, ini files)");
  app.add_option("--server", options.server,
                 "company database server HOST[:PORT] when no session file names one (default: $VEMO_SERVER, else "
                 "this desk's own database; see docs/company-database.md)");
  vemo::app::InstallSessionOptions(app, options);  // applies the options above before any command runs
  app.set_version_flag("--version", std::string("vemoprint " VEMO_VERSION "\n") + VEMO_BUILD_OPTIONS);
  vemo::app::InstallCommandsFor(app, options, argc, argv);
  if (argc < 2) {
    // Nothing asked: say what can be asked, as a usage error.
    std::cerr << app.help() << "Start with \"vemoprint demo\" (the sample company, its templates and invoice).\n";
    return vemo::app::kExitUsage;
  }
  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp& e) {
    return app.exit(e);
  } catch (const CLI::CallForAllHelp& e) {
    return app.exit(e);
  } catch (const CLI::CallForVersion& e) {
    return app.exit(e);
  } catch (const CLI::ParseError& e) {
    std::cerr << "vemoprint: " << e.what() << "\n";
    return vemo::app::kExitUsage;
  } catch (const vemo::app::UsageError& e) {
    std::cerr << "vemoprint: " << e.what() << "\n";
    return vemo::app::kExitUsage;
  } catch (const std::exception& e) {
    std::cerr << "vemoprint: " << e.what() << "\n";
    return vemo::app::kExitActionFailed;
  }
  return vemo::app::ExitCode();
}
