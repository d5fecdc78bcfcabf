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

void SetExitCode(int code) { g_exitCode = code; }
int ExitCode() { return g_exitCode; }

}  // namespace vemo::app
