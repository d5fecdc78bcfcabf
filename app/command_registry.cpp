#include "command_registry.h"

#include <map>

namespace vemo::app {
namespace {

std::map<std::string, CommandInstaller>& Installers() {
  static std::map<std::string, CommandInstaller> installers;
  return installers;
}

int g_exitCode = kExitOk;

}  // namespace

CommandRegistration::CommandRegistration(std::string name, CommandInstaller installer) {
  Installers()[std::move(name)] = std::move(installer);
}

void InstallCommands(CLI::App& root, GlobalOptions& options) {
  for (auto& [name, install] : Installers()) install(root, options);
}

void InstallCommandsFor(CLI::App& root, GlobalOptions& options, int argc, const char* const* argv) {
  // The command is the first word that is no option and follows no option
  // (which might take it as its value). Anything unsure installs them all.
  for (int i = 1; i < argc; ++i) {
    const std::string_view word = argv[i];
    if (word == "-h" || word == "--help" || word == "--help-all") break;
    if (word.empty() || word.front() == '-') continue;
    if (i > 1 && argv[i - 1][0] == '-') continue;
    auto found = Installers().find(std::string(word));
    if (found == Installers().end()) break;
    found->second(root, options);
    return;
  }
  InstallCommands(root, options);
}

void SetExitCode(int code) { g_exitCode = code; }
int ExitCode() { return g_exitCode; }

}  // namespace vemo::app
