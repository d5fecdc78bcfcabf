#include "context/machine_config.h"
#include "foundation/json_convert.h"

#include <cstdlib>
#include <fstream>

namespace vemo::context {
namespace {

std::filesystem::path EnvironmentDefault() {
  if (const char* dir = std::getenv("VEMO_MACHINE_CONFIG"); dir && *dir) return dir;
  if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg)
    return std::filesystem::path(xdg) / "vemoprint" / "machine";
  if (const char* home = std::getenv("HOME"); home && *home)
    return std::filesystem::path(home) / ".config" / "vemoprint" / "machine";
  return std::filesystem::path("/etc/vemoprint/machine");
}

// An empty folder goes back to the environment's.
std::optional<std::filesystem::path> Normalised(const std::filesystem::path& folder) {
  if (folder.empty()) return std::nullopt;
  return std::filesystem::absolute(folder);
}

}  // namespace

std::filesystem::path MachineConfigFolder() {
  if (auto folder = InstalledMachineConfigFolder().Get()) return *folder;
  return EnvironmentDefault();
}

Installed<std::optional<std::filesystem::path>>& InstalledMachineConfigFolder() {
  static Installed<std::optional<std::filesystem::path>> folder;
  return folder;
}

void SetMachineConfigFolder(std::filesystem::path folder) { InstalledMachineConfigFolder().Set(Normalised(folder)); }

std::optional<Json> ReadMachineConfigFile(const std::string& fileName) {
  std::ifstream in(MachineConfigFolder() / fileName, std::ios::binary);
  if (!in) return std::nullopt;
  Json json = Json::parse(in, nullptr, /*allow_exceptions=*/false);
  if (!json.is_object()) return std::nullopt;
  return json;
}

bool MachineSwitch(const std::string& name, bool fallback) {
  auto machine = ReadMachineConfigFile("machine.json");
  if (!machine) return fallback;
  auto it = machine->find(name);
  if (it == machine->end() || !it->is_boolean()) return fallback;
  return it->get<bool>();
}

ScopedMachineConfig::ScopedMachineConfig(std::filesystem::path folder) : install_(Normalised(folder)) {}

}  // namespace vemo::context
