// Which company database a session means. The connection string of the
// props string decides:
//   - "Data Source" empty, "." or "(local)": the embedded file of the
//     account "Initial Catalog" in the data folder (account_location.h);
//   - anything else names a server, "host", "host,port" or "host:port"
//     (an IPv6 address bare or as "[address]:port"; a folder path names the
//     folder of the server's local socket): the database "Initial Catalog"
//     on that server.
// Who connects (user, password, TLS) is the machine's business, never the
// props string's: see ServerSettings (server_settings.h).
#pragma once
#include <filesystem>
#include <string>
#include <string_view>

#include "host/database/connection.h"

namespace vemo::host {

struct DatabaseAddress {
  DatabaseKind kind = DatabaseKind::Embedded;
  std::filesystem::path file;  // Embedded
  std::string host;            // Server
  std::string port;            // Server; empty for the default
  std::string database;        // Server

  DatabaseAddress() = default;
  // The embedded file at `path`.
  DatabaseAddress(std::filesystem::path path) : file(std::move(path)) {}  // NOLINT: a file is an address
  DatabaseAddress(const char* path) : file(path) {}                      // NOLINT
  DatabaseAddress(const std::string& path) : file(path) {}               // NOLINT

  // "/data/VemoSample.db" or "VemoSample on db1:5432".
  std::string Describe() const;
  bool operator==(const DatabaseAddress&) const = default;
};

// True for a Data Source that keeps the embedded database.
bool IsLocalDataSource(std::string_view dataSource);
// Raises HostError for a malformed server ("host:", ":5432", "host:port x").
DatabaseAddress ServerAddress(std::string_view dataSource, std::string_view database);
// The database the props string names.
DatabaseAddress AccountDatabase(std::string_view props);

}  // namespace vemo::host
