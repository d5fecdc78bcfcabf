#include "host/database/account_location.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>

#include "context/login.h"
#include "context/props_string.h"
#include "foundation/host_error.h"
#include "foundation/utf8_text.h"
#include "host/database/database_address.h"

namespace vemo::host {

std::string AccountName(std::string_view props) {
  std::string name = context::DatabaseNameOf(props);
  return name.empty() ? std::string(kSampleAccount) : name;
}

std::string UserName(std::string_view props) { return context::GetPropValue(props, "UserName", ";"); }

std::filesystem::path DataFolder() {
  if (const char* dir = std::getenv("VEMO_DATA_DIR"); dir && *dir) return dir;
  if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg)
    return std::filesystem::path(xdg) / "vemoprint" / "data";
  const char* home = std::getenv("HOME");
  if (!home || !*home) {
    // A service or cron job may run without HOME; the account's own entry
    // still knows the home folder, where the current folder would scatter
    // databases wherever the program happened to be started.
    const passwd* entry = ::getpwuid(::getuid());
    home = entry && entry->pw_dir && *entry->pw_dir ? entry->pw_dir : nullptr;
  }
  if (!home || home[0] != '/')
    throw HostError("no home folder to keep the company database in (HOME is unset and the user has none); "
                    "set VEMO_DATA_DIR to the data folder");
  return std::filesystem::path(home) / ".local" / "share" / "vemoprint" / "data";
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

std::string MakePropsString(std::string_view account, std::string_view user, std::string_view server) {
  std::string source = server.empty() ? "" : "Data Source=" + std::string(server) + ";";
  return "UserName=" + std::string(user) + ";ConnectString={Provider=" + (server.empty() ? "SQLite" : "PostgreSQL") +
         ";" + source + "Initial Catalog=" + std::string(account) + "}";
}

}  // namespace vemo::host

namespace vemo::host {

std::string CommandLineProps(std::string_view account, std::string_view user, std::string_view server) {
  std::string session;
  try {
    session = context::GetPropsString();
  } catch (const std::exception&) {
    // No session published: the options and defaults decide.
  }
  auto pick = [](std::string_view given, const char* variable, std::string fromSession, std::string fallback) {
    if (!given.empty()) return std::string(given);
    if (const char* value = std::getenv(variable); value && *value) return std::string(value);
    return fromSession.empty() ? fallback : fromSession;
  };
  std::string sessionAccount = session.empty() ? "" : context::DatabaseNameOf(session);
  std::string sessionUser = session.empty() ? "" : context::GetPropValue(session, "UserName", ";");
  std::string sessionServer =
      session.empty() ? "" : context::GetPropValue(context::GetPropValue(session, "ConnectString", ";"), "Data Source", ";");
  if (IsLocalDataSource(sessionServer)) sessionServer.clear();
  return MakePropsString(pick(account, "VEMO_DATABASE", sessionAccount, std::string(kSampleAccount)),
                         pick(user, "VEMO_USER", sessionUser, "Administrator"),
                         pick(server, "VEMO_SERVER", sessionServer, ""));
}

}  // namespace vemo::host
