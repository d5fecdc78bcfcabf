#include "session_setup.h"

#include <cstdlib>
#include <filesystem>
#include <iostream>

#include "automation/components.h"
#include "context/console_desktop.h"
#include "context/machine_config.h"
#include "host/database/database_address.h"
#include "host/database/pq_library.h"
#include "program_qt_module.h"

namespace vemo::app {
namespace {

bool g_assumeYes = false;
bool g_gui = false;
bool g_progress = false;

}  // namespace

void ApplySessionOptions(const GlobalOptions& options, bool assumeYes) {
  if (!options.machineConfig.empty()) {
    std::error_code ec;
    if (!std::filesystem::is_directory(options.machineConfig, ec))
      throw UsageError("--machine-config " + options.machineConfig +
                       ": no such folder; give the folder that holds registry.json and the drive folders");
    context::SetMachineConfigFolder(options.machineConfig);
  }
  if (!options.server.empty()) {
    try {
      host::ServerAddress(options.server, "");
    } catch (const std::exception& e) {
      throw UsageError(std::string("--server: ") + e.what());
    }
    // The command line's props string (host::CommandLineProps) reads it.
    ::setenv("VEMO_SERVER", options.server.c_str(), 1);
  }
  if (const char* server = std::getenv("VEMO_SERVER"); server && *server) host::LoadPqInBackground();
  automation::RegisterComponents();
  try {
    automation::OpenSession(options.sessionFile);
  } catch (const std::exception& e) {
    throw UsageError(std::string(e.what()) + " (the session file format is in docs/session-and-machine-config.md)");
  }
  context::ConsoleDesktop::Options desktop;
  desktop.assumeYes = assumeYes;
  // Asked for while standard error is no terminal (a log): one line per update.
  if (g_progress && context::ProgressLine::StyleOfStandardError() == context::ProgressLine::Style::Hidden)
    desktop.progress = context::ProgressLine::Style::Lines;
  context::SetDesktop(std::make_shared<context::ConsoleDesktop>(desktop));
}

void InstallSessionOptions(CLI::App& root, GlobalOptions& options) {
  root.add_flag("--yes", g_assumeYes, "answer Yes to questions when there is no terminal to ask (default: No)");
  root.add_flag("--gui", g_gui,
                "show message boxes and file dialogs in windows when there is a display (the Qt user interface)");
  root.add_flag("--progress", g_progress,
                "show the progress of long work (long fills, the render) also when standard error is no terminal");
  root.parse_complete_callback([&options] {
    ApplySessionOptions(options, g_assumeYes);
    std::string why;
    if (g_gui && !window_system::InstallQtUserInterface(ProgramQtModule(), window_system::kQtDesktop, why))
      std::cerr << "vemoprint: --gui: " << why << "; messages stay on the console\n";
  });
}

}  // namespace vemo::app
