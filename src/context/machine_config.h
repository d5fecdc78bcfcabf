// The machine configuration folder: what a Windows machine keeps in its
// registry and on its drives lives here on this host.
//
//   <folder>/registry.json   the machine registry (HKEY_LOCAL_MACHINE), see registry.h
//   <folder>/paths.json      drive letters -> host folders, see path_mapping.h
//   <folder>/machine.json    switches of this machine (e.g. {"noSpreadsheet": true})
//   <folder>/drive_c/        drive C: unless paths.json says otherwise
//
// The folder is, first found: SetMachineConfigFolder() (the command line's
// --machine-config), $VEMO_MACHINE_CONFIG, $XDG_CONFIG_HOME/vemoprint/machine,
// $HOME/.config/vemoprint/machine. Every reader reads its file anew on each
// call, so an edit takes effect at once.
#pragma once
#include <filesystem>
#include <optional>
#include <string>

#include "foundation/installed.h"
#include "foundation/json_fwd.h"

namespace vemo::context {

std::filesystem::path MachineConfigFolder();
// An empty path returns to the environment-based default.
void SetMachineConfigFolder(std::filesystem::path folder);

// The JSON object in <folder>/<fileName>; nullopt when the file is missing
// or is not a JSON object (readers then use their defaults).
std::optional<Json> ReadMachineConfigFile(const std::string& fileName);

// A Boolean switch of machine.json; `fallback` when absent or not a Boolean.
bool MachineSwitch(const std::string& name, bool fallback = false);

// Tests: points the machine configuration at `folder` for the object's lifetime.
Installed<std::optional<std::filesystem::path>>& InstalledMachineConfigFolder();
class ScopedMachineConfig {
 public:
  explicit ScopedMachineConfig(std::filesystem::path folder);

 private:
  ScopedInstall<std::optional<std::filesystem::path>, &InstalledMachineConfigFolder> install_;
};

}  // namespace vemo::context
