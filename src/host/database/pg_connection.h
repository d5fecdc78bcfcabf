// The company database on a server: the Connection interface over one libpq
// connection. Statements keep our "?" parameters (turned into $1, $2, ...);
// values travel as text, byte arrays as binary. Writers of one database run
// one at a time: a write transaction first takes a transaction-scoped lock
// of the whole company database, as the embedded file's write lock does.
#pragma once
#include <libpq-fe.h>
#include <unistd.h>

#include <map>
#include <memory>

#include <optional>
#include <vector>

#include "host/database/connection.h"
#include "host/database/database_address.h"
#include "host/database/server_settings.h"

namespace vemo::host {

class PgConnection final : public Connection {
 public:
  // Raises HostError naming the server and what to check when it cannot connect.
  PgConnection(const DatabaseAddress& address, ServerRole role);
  ~PgConnection() override;

  DatabaseKind Kind() const override { return DatabaseKind::Server; }
  std::string Describe() const override { return address_.Describe(); }
  void Exec(std::string_view sql) override;
  Statement Prepare(std::string_view sql) override;
  bool HasTable(std::string_view name) override;
  int Changes() const override { return changes_; }
  // Statements report the rows their command changed here.
  void SetChanges(int rows) { changes_ = rows; }
  void BeginWrite() override;
  void Commit() override { Exec("COMMIT"); }
  void Rollback() noexcept override;

  // False once the server went away; such a connection is never used again.
  bool Usable() const;
  PGconn* handle() const { return conn_; }
  const DatabaseAddress& address() const { return address_; }
  // Raises the HostError for a failed `what`, with the server's reason and,
  // when the connection is gone, what the user should do.
  [[noreturn]] void Raise(std::string_view what, const PGresult* result) const;

 private:
  DatabaseAddress address_;
  PGconn* conn_ = nullptr;
  int changes_ = 0;
};

// Connections kept by key for the rest of the process. A child of fork()
// shares its parent's sockets: it must neither use nor close them, so in a
// child the map forgets them (without finishing them) and connects anew.
class KeptServerConnections {
 public:
  std::shared_ptr<PgConnection>& operator[](const DatabaseAddress& address) { return Owned()[Key(address)]; }
  void Erase(const DatabaseAddress& address) { Owned().erase(Key(address)); }

 private:
  static std::string Key(const DatabaseAddress& a) { return a.host + '\n' + a.port + '\n' + a.database; }
  std::map<std::string, std::shared_ptr<PgConnection>>& Owned() {
    if (owner_ != ::getpid()) {
      for (auto& [key, connection] : connections_) new std::shared_ptr<PgConnection>(std::move(connection));
      connections_.clear();
      owner_ = ::getpid();
    }
    return connections_;
  }
  std::map<std::string, std::shared_ptr<PgConnection>> connections_;
  pid_t owner_ = ::getpid();
};

// Our "?" parameters as $1, $2, ... (texts, names and comments untouched).
std::string NumberedParameters(std::string_view sql, int* count = nullptr);

// A column value of a text-format result as a host value, by the column's type.
Variant ServerValue(const PGresult* result, int row, int column);

}  // namespace vemo::host
