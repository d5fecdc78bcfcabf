#include "session_setup.h"

#include <filesystem>
#include <iostream>

#include "actions/register_actions.h"
#include "context/console_desktop.h"
#include "context/machine_config.h"
#include "context/session_components.h"
#include "context/props_string.h"
#include "setup/template_validator.h"
#include "context/session_store.h"
#include "host/database/account_location.h"
#include "host/components/database_components.h"
#include "host/output/output_print_service.h"
#include "host/spreadsheet/spreadsheet_application.h"
#include "window_system.h"

namespace vemo::app {
namespace {

bool g_assumeYes = false;
bool g_gui = false;

// Without a session file the command line logs in as the host would for a
// clerk at this machine: the account $VEMO_DATABASE (else the sample
// company) and the user $VEMO_USER (else Administrator).
void PublishCommandLineSession() {
  const std::string props = host::CommandLineProps("", "");
  context::SessionData session;
  session.login = HostDictionary::Create();
  session.login->Set("UserName", Variant(context::GetPropValue(props, "UserName", ";")));
  session.login->Set("PropsString", Variant(props));
  context::PublishSession(std::move(session));
}

}  // namespace

void ApplySessionOptions(const GlobalOptions& options, bool assumeYes) {
  if (!options.machineConfig.empty()) {
    std::error_code ec;
    if (!std::filesystem::is_directory(options.machineConfig, ec))
      throw UsageError("--machine-config " + options.machineConfig +
                       ": no such folder; give the folder that holds registry.json and the drive folders");
    context::SetMachineConfigFolder(options.machineConfig);
  }
  // Every component the system creates by identifier: the login services,
  // the company database's components and our spreadsheet application.
  context::RegisterSessionComponents(/*replace=*/false);
  host::RegisterDatabaseComponents();
  host::RegisterSpreadsheetApplication();
  actions::RegisterExportActions();
  // Printing and previewing through the renderer, CUPS and the preview folder.
  host::InstallOutputPrintService();
  // The setup dialogs check imported templates with the engines.
  setup::SetTemplateValidatorProvider(setup::EngineTemplateValidator);
  if (!options.sessionFile.empty()) {
    try {
      context::PublishSession(context::LoadSessionFile(options.sessionFile));
    } catch (const std::exception& e) {
      throw UsageError(std::string(e.what()) + " (the session file format is in docs/session-and-machine-config.md)");
    }
  } else {
    PublishCommandLineSession();
  }
  context::ConsoleDesktop::Options desktop;
  desktop.assumeYes = assumeYes;
  context::SetDesktop(std::make_shared<context::ConsoleDesktop>(desktop));
}

void InstallSessionOptions(CLI::App& root, GlobalOptions& options) {
  root.add_flag("--yes", g_assumeYes, "answer Yes to questions when there is no terminal to ask (default: No)");
  root.add_flag("--gui", g_gui,
                "show message boxes and file dialogs in windows when there is a display (the Qt user interface)");
  root.parse_complete_callback([&options] {
    ApplySessionOptions(options, g_assumeYes);
    std::string why;
    if (g_gui && !InstallQtUserInterface(kQtDesktop, why))
      std::cerr << "vemoprint: --gui: " << why << "; messages stay on the console\n";
  });
}

}  // namespace vemo::app
