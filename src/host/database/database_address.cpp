#include "host/database/database_address.h"

#include <cctype>

#include "context/props_string.h"
#include "foundation/utf8_text.h"
#include "host/database/account_location.h"

namespace vemo::host {

std::string DatabaseAddress::Describe() const {
  if (kind == DatabaseKind::Embedded) return file.string();
  return database + " on " + host + (port.empty() ? "" : ":" + port);
}

bool IsLocalDataSource(std::string_view dataSource) {
  const std::string trimmed = Trim(dataSource);
  return trimmed.empty() || trimmed == "." || EqualsIgnoreCase(trimmed, "(local)");
}

DatabaseAddress ServerAddress(std::string_view dataSource, std::string_view database) {
  const std::string text = Trim(dataSource);
  DatabaseAddress address;
  address.kind = DatabaseKind::Server;
  address.database = database.empty() ? std::string(kSampleAccount) : std::string(database);
  // A socket folder is a path and may hold anything but a port.
  std::size_t split = text.starts_with("/") ? std::string::npos : text.find_last_of(",:");
  address.host = Trim(std::string_view(text).substr(0, split));
  if (split != std::string::npos) address.port = Trim(std::string_view(text).substr(split + 1));
  bool portOk = split == std::string::npos || !address.port.empty();
  for (char c : address.port) portOk = portOk && std::isdigit(static_cast<unsigned char>(c));
  if (address.host.empty() || !portOk)
    throw HostError("the Data Source \"" + std::string(dataSource) +
                    "\" names no database server; write HOST, HOST,PORT or HOST:PORT (or \".\" for this desk's own database)");
  return address;
}

DatabaseAddress AccountDatabase(std::string_view props) {
  std::string connect = context::GetPropValue(props, "ConnectString", ";");
  std::string dataSource = context::GetPropValue(connect, "Data Source", ";");
  if (IsLocalDataSource(dataSource)) return DatabaseAddress(DatabasePath(AccountName(props)));
  return ServerAddress(dataSource, context::DatabaseNameOf(props));
}

}  // namespace vemo::host
