#include "host/database/company_database.h"

#include "host/database/account_location.h"
#include "host/database/schema.h"

namespace vemo::host {

std::unique_ptr<Connection> OpenCompanyDatabase(const std::filesystem::path& path, OpenMode mode) {
  if (mode == OpenMode::Existing && !std::filesystem::exists(path))
    throw HostError("the company database " + path.string() +
                    " does not exist; create it with \"vemoprint init\" (or set VEMO_DATA_DIR to the data folder)");
  if (mode == OpenMode::Create && path.has_parent_path()) std::filesystem::create_directories(path.parent_path());
  int flags = SQLITE_OPEN_READWRITE | (mode == OpenMode::Create ? SQLITE_OPEN_CREATE : 0);
  auto connection = std::make_unique<Connection>(path, flags);
  connection->Exec("PRAGMA foreign_keys = ON");
  Migrate(*connection);
  return connection;
}

std::unique_ptr<Connection> OpenAccountDatabase(std::string_view props) {
  return OpenCompanyDatabase(DatabasePath(AccountName(props)));
}

}  // namespace vemo::host
