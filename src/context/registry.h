// The machine registry (HKEY_LOCAL_MACHINE), kept in the machine
// configuration folder as <folder>/registry.json:
//
//   {
//     "SOFTWARE\\Quorvan\\TRADON\\VemoSTD": {"Path": "C:\\Program Files\\Quorvan\\Tradon"},
//     "SOFTWARE\\Microsoft\\Office\\12.0\\Excel\\InstallRoot": {"Path": "C:\\Office12\\"}
//   }
//
// One member per key (the full key path below HKEY_LOCAL_MACHINE), holding
// its string values by name. Key paths and value names ignore case, as the
// registry does; leading, trailing and doubled "\" in a key path are ignored.
// Only string values exist: any other JSON value reads as a failure.
#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace vemo::context {

// The string value `valueName` under `keyPath`, trimmed; "" on any failure
// (no file, no key, no value, not a string). In a 32-bit process on 64-bit
// Windows every "SOFTWARE" of the key path (case-sensitive) first becomes
// "SOFTWARE\Wow6432Node", so such a process reads the registry's 32-bit view.
std::string RegRead(std::string_view keyPath, std::string_view valueName);

// Whether this process counts as a 32-bit process on 64-bit Windows. Never,
// natively; the switch exists so the Wow6432Node rule can be exercised.
bool IsProcess32On64();
void SetProcess32On64(bool value);

// The key path as RegRead opens it (after the Wow6432Node rule).
std::string RegistryViewPath(std::string_view keyPath);

// Office installed: for each version in order, the value "Path" of the key
// "SOFTWARE\Microsoft\Office\<version>\<appName>\InstallRoot\" and True as
// soon as the file Path + appName + ".exe" exists (through the path mapping).
// A version without a Path is skipped (an empty Path would otherwise look
// for the program in the current folder).
bool IsOfficeAppInstalledForVersions(std::string_view appName, const std::vector<std::string>& versions);
// The older check the engine asks for "Excel": versions 12.0, 14.0, 15.0 only.
bool IsOfficeAppInstalledLegacy(std::string_view appName);

}  // namespace vemo::context
