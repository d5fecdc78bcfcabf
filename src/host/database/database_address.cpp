#include "host/database/database_address.h"

#include <algorithm>
#include <cctype>

#include "context/props_string.h"
#include "foundation/utf8_text.h"
#include "host/database/account_location.h"

namespace vemo::host {

std::string DatabaseAddress::Describe() const {
  if (kind == DatabaseKind::Embedded) return file.string();
  const bool ipv6 = host.find(':') != std::string::npos && !host.starts_with("/");
  return database + " on " + (ipv6 ? "[" + host + "]" : host) + (port.empty() ? "" : ":" + port);
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
  // Where the port starts: a socket folder is a path and may hold anything
  // but a port; an IPv6 address holds colons of its own, so it is written in
  // brackets when a port follows ("[::1]:5432"), and a bare one ("::1",
  // "fe80::1,5432") has no colon port.
  std::string_view host = text;
  std::size_t split = std::string::npos;
  bool wellFormed = true;
  if (text.starts_with("[")) {
    const std::size_t close = text.find(']');
    wellFormed = close != std::string::npos;
    host = std::string_view(text).substr(1, wellFormed ? close - 1 : 0);
    if (wellFormed && close + 1 < text.size()) {
      split = close + 1;
      wellFormed = text[split] == ',' || text[split] == ':';
    }
  } else if (!text.starts_with("/")) {
    split = std::count(text.begin(), text.end(), ':') > 1 ? text.find_last_of(',') : text.find_last_of(",:");
    if (split != std::string::npos) host = std::string_view(text).substr(0, split);
  }
  address.host = Trim(host);
  if (split != std::string::npos) address.port = Trim(std::string_view(text).substr(split + 1));
  bool portOk = split == std::string::npos || !address.port.empty();
  for (char c : address.port) portOk = portOk && std::isdigit(static_cast<unsigned char>(c));
  if (!wellFormed || address.host.empty() || !portOk)
    throw HostError("the Data Source \"" + std::string(dataSource) +
                    "\" names no database server; write HOST, HOST,PORT or HOST:PORT, an IPv6 address as "
                    "[ADDRESS]:PORT (or \".\" for this desk's own database)");
  return address;
}

DatabaseAddress AccountDatabase(std::string_view props) {
  std::string connect = context::GetPropValue(props, "ConnectString", ";");
  std::string dataSource = context::GetPropValue(connect, "Data Source", ";");
  if (IsLocalDataSource(dataSource)) return DatabaseAddress(DatabasePath(AccountName(props)));
  return ServerAddress(dataSource, context::DatabaseNameOf(props));
}

}  // namespace vemo::host
