#include "context/machine_config.h"
#include "foundation/json_convert.h"

#include <cstdlib>
#include <fstream>
#include <mutex>

namespace vemo::context {
namespace {

std::mutex g_mutex;
std::optional<std::filesystem::path> g_override;

std::filesystem::path EnvironmentDefault() {
  if (const char* dir = std::getenv("VEMO_MACHINE_CONFIG"); dir && *dir) return dir;
  if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg)
    return std::filesystem::path(xdg) / "vemoprint" / "machine";
  if (const char* home = std::getenv("HOME"); home && *home)
    return std::filesystem::path(home) / ".config" / "vemoprint" / "machine";
  return std::filesystem::path("/etc/vemoprint/machine");
}

}  // namespace

std::filesystem::path MachineConfigFolder() {
  {
    std::lock_guard lock(g_mutex);
    if (g_override) return *g_override;
  }
  return EnvironmentDefault();
}

void SetMachineConfigFolder(std::filesystem::path folder) {
  std::lock_guard lock(g_mutex);
  if (folder.empty()) {
    g_override.reset();
  } else {
    g_override = std::filesystem::absolute(folder);
  }
}

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

ScopedMachineConfig::ScopedMachineConfig(std::filesystem::path folder) {
  {
    std::lock_guard lock(g_mutex);
    previous_ = g_override;
  }
  SetMachineConfigFolder(std::move(folder));
}

ScopedMachineConfig::~ScopedMachineConfig() {
  std::lock_guard lock(g_mutex);
  g_override = previous_;
}

}  // namespace vemo::context
