#include "host/database/account_location.h"

#include <cstdlib>

#include "foundation/host_error.h"
#include "foundation/utf8_text.h"

namespace vemo::host {

std::string PropValue(std::string_view text, std::string_view key, std::string_view separator) {
  std::string all(text);
  if (!EndsWith(all, separator)) all += separator;
  std::string pattern = std::string(key) + "=";
  std::size_t at = FindIgnoreCase(all, pattern);
  if (at == std::string_view::npos) return {};
  std::size_t start = at + pattern.size();
  if (EqualsIgnoreCase(key, "ConnectString")) {
    std::size_t open = all.find('{', start);
    if (open == std::string::npos) return {};
    std::size_t close = all.find('}', open + 1);
    if (close == std::string::npos) return {};
    return Trim(all.substr(open + 1, close - open - 1));
  }
  std::size_t end = all.find(separator, start);
  return Trim(all.substr(start, end - start));
}

std::string AccountName(std::string_view props) {
  std::string name = PropValue(PropValue(props, "ConnectString", ";"), "Initial Catalog", ";");
  return name.empty() ? std::string(kSampleAccount) : name;
}

std::string UserName(std::string_view props) { return PropValue(props, "UserName", ";"); }

std::filesystem::path DataFolder() {
  if (const char* dir = std::getenv("VEMO_DATA_DIR"); dir && *dir) return dir;
  if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg)
    return std::filesystem::path(xdg) / "vemoprint" / "data";
  const char* home = std::getenv("HOME");
  return std::filesystem::path(home && *home ? home : ".") / ".local" / "share" / "vemoprint" / "data";
}

namespace {
void CheckAccountName(std::string_view account) {
  if (account == "." || account == ".." || account.find_first_of("/\\") != std::string_view::npos ||
      account.find('\0') != std::string_view::npos)
    throw HostError("the account name \"" + std::string(account) +
                    "\" cannot name a database file; use a name without slashes");
}
}  // namespace

std::filesystem::path DatabasePath(std::string_view account) {
  CheckAccountName(account);
  return DataFolder() / (std::string(account.empty() ? kSampleAccount : account) + ".db");
}

std::filesystem::path PictureCacheFolder(std::string_view account) {
  CheckAccountName(account);
  return DataFolder() / (std::string(account.empty() ? kSampleAccount : account) + ".pictures");
}

std::string MakePropsString(std::string_view account, std::string_view user) {
  return "UserName=" + std::string(user) + ";ConnectString={Provider=SQLite;Initial Catalog=" + std::string(account) + "}";
}

}  // namespace vemo::host
