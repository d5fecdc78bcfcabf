#include "context/registry.h"

#include <atomic>

#include "context/file_utils.h"
#include "context/machine_config.h"
#include "foundation/json_convert.h"
#include "foundation/utf8_text.h"

namespace vemo::context {
namespace {

std::atomic<bool> g_process32On64{false};

// "\SOFTWARE\\Quorvan\" -> "SOFTWARE\Quorvan", for comparing key paths.
std::string NormalisedKey(std::string_view keyPath) {
  std::string out;
  for (char c : Trim(keyPath)) {
    if (c == '\\' || c == '/') {
      if (!out.empty() && out.back() != '\\') out.push_back('\\');
    } else {
      out.push_back(c);
    }
  }
  if (!out.empty() && out.back() == '\\') out.pop_back();
  return out;
}

}  // namespace

bool IsProcess32On64() { return g_process32On64.load(); }
void SetProcess32On64(bool value) { g_process32On64.store(value); }

std::string RegistryViewPath(std::string_view keyPath) {
  if (!IsProcess32On64()) return std::string(keyPath);
  return ReplaceAll(keyPath, "SOFTWARE", "SOFTWARE\\Wow6432Node");
}

std::string RegRead(std::string_view keyPath, std::string_view valueName) {
  try {
    auto registry = ReadMachineConfigFile("registry.json");
    if (!registry) return "";
    const std::string wanted = NormalisedKey(RegistryViewPath(keyPath));
    if (wanted.empty()) return "";
    for (const auto& [key, values] : registry->items()) {
      if (!EqualsIgnoreCase(NormalisedKey(key), wanted) || !values.is_object()) continue;
      for (const auto& [name, value] : values.items()) {
        if (!EqualsIgnoreCase(name, valueName)) continue;
        return value.is_string() ? Trim(value.get<std::string>()) : "";
      }
      return "";
    }
  } catch (const std::exception&) {
    // A broken registry file reads like a missing key.
  }
  return "";
}

bool IsOfficeAppInstalledForVersions(std::string_view appName, const std::vector<std::string>& versions) {
  for (const auto& version : versions) {
    const std::string key = ReplaceAll("SOFTWARE\\Microsoft\\Office\\" + version + "\\{0}\\InstallRoot\\", "{0}", appName);
    const std::string path = RegRead(key, "Path");
    if (path.empty()) continue;
    if (FileExists(path + std::string(appName) + ".exe")) return true;
  }
  return false;
}

bool IsOfficeAppInstalledLegacy(std::string_view appName) {
  return IsOfficeAppInstalledForVersions(appName, {"12.0", "14.0", "15.0"});
}

}  // namespace vemo::context
