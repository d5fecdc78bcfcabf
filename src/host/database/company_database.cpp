#include "host/database/company_database.h"

#include <chrono>
#include <map>
#include <mutex>

#include "foundation/utf8_text.h"
#include "host/database/pg_connection.h"
#include "host/database/schema.h"
#include "host/database/sqlite_connection.h"

namespace vemo::host {
namespace {

// The embedded connection the last Existing-mode open made, kept for the
// rest of the process: a bill export asks components for the database
// seven times, and each new connection read and parsed the whole schema
// again (about 0.9 million instructions each). It is used again only while
// the path still names the very file it has open (FileIdentity).
struct KeptFile {
  std::filesystem::path path;
  FileIdentity identity;
  std::shared_ptr<Connection> connection;
};

std::mutex keptMutex;
KeptFile& KeptEmbedded() {
  static KeptFile kept;
  return kept;
}
// Server connections: a new one costs a network round trip and the server
// a process; a lost one is replaced.
KeptServerConnections& KeptServers() {
  static KeptServerConnections kept;
  return kept;
}

bool SameFile(const KeptFile& kept, const std::filesystem::path& path) {
  return kept.connection && kept.path == path && kept.identity.exists && FileIdentity::Of(path) == kept.identity;
}

std::shared_ptr<Connection> OpenFile(const std::filesystem::path& path, OpenMode mode) {
  if (mode == OpenMode::Existing && !std::filesystem::exists(path))
    throw HostError("the company database " + path.string() +
                    " does not exist; create it with \"vemoprint init\" (or set VEMO_DATA_DIR to the data folder)");
  if (mode == OpenMode::Create && path.has_parent_path()) std::filesystem::create_directories(path.parent_path());
  int flags = SQLITE_OPEN_READWRITE | (mode == OpenMode::Create ? SQLITE_OPEN_CREATE : 0);
  auto connection = std::make_shared<SqliteConnection>(path, flags);
  connection->Exec("PRAGMA foreign_keys = ON");
  return connection;
}

std::shared_ptr<Connection> KeptFileConnection(const std::filesystem::path& path, OpenMode mode, bool& reused) {
  if (mode == OpenMode::Create) return OpenFile(path, mode);
  std::lock_guard lock(keptMutex);
  KeptFile& kept = KeptEmbedded();
  reused = SameFile(kept, path);
  if (reused) return kept.connection;
  kept = KeptFile{};
  auto connection = OpenFile(path, mode);
  if (auto identity = FileIdentity::Of(path); identity.exists) kept = KeptFile{path, identity, connection};
  return connection;
}

// The server's maintenance database, where databases are created.
DatabaseAddress Maintenance(const DatabaseAddress& address) {
  DatabaseAddress maintenance = address;
  maintenance.database = "postgres";
  return maintenance;
}

std::string QuotedName(const std::string& name) { return "\"" + ReplaceAll(name, "\"", "\"\"") + "\""; }

void CreateServerDatabase(const DatabaseAddress& address) {
  PgConnection server(Maintenance(address), ServerRole::Writer);
  if (server.Prepare("SELECT 1 FROM pg_database WHERE datname = ?").Bind(1, address.database).Step()) return;
  server.Exec("CREATE DATABASE " + QuotedName(address.database) + " ENCODING 'UTF8' TEMPLATE template0");
}

std::shared_ptr<Connection> KeptServerConnection(const DatabaseAddress& address, OpenMode mode, bool& reused) {
  std::lock_guard lock(keptMutex);
  auto& kept = KeptServers()[address];
  reused = kept && kept->Usable();
  if (reused) return kept;
  kept.reset();
  if (mode == OpenMode::Create) CreateServerDatabase(address);
  kept = std::make_shared<PgConnection>(address, ServerRole::Writer);
  return kept;
}

// When each kept server connection last read the schema version. A server
// answers every statement with a round trip, and a bill export asks the
// components for the database nine times in a few milliseconds: the
// version is read again once a second has passed, not on every call.
std::map<const Connection*, std::chrono::steady_clock::time_point>& VersionReadAt() {
  static std::map<const Connection*, std::chrono::steady_clock::time_point> readAt;
  return readAt;
}
constexpr std::chrono::seconds kVersionFresh{1};

bool VersionReadRecently(const Connection& connection) {
  std::lock_guard lock(keptMutex);
  auto it = VersionReadAt().find(&connection);
  return it != VersionReadAt().end() && std::chrono::steady_clock::now() - it->second < kVersionFresh;
}

void NoteVersionRead(const Connection& connection) {
  if (connection.Kind() != DatabaseKind::Server) return;
  std::lock_guard lock(keptMutex);
  VersionReadAt()[&connection] = std::chrono::steady_clock::now();
}

void Forget(const DatabaseAddress& address) {
  std::lock_guard lock(keptMutex);
  if (address.kind == DatabaseKind::Embedded)
    KeptEmbedded() = KeptFile{};
  else
    KeptServers().Erase(address);
}

}  // namespace

std::shared_ptr<Connection> OpenCompanyDatabase(const DatabaseAddress& address, OpenMode mode) {
  bool reused = false;
  std::shared_ptr<Connection> connection = address.kind == DatabaseKind::Embedded
                                               ? KeptFileConnection(address.file, mode, reused)
                                               : KeptServerConnection(address, mode, reused);
  // Every open still checks the schema version: a database a newer program
  // wrote meanwhile is refused. On a kept connection one read of the
  // version does (the table was there when it was opened); a server answers
  // each statement with a round trip.
  if (reused) {
    if (VersionReadRecently(*connection)) return connection;
    try {
      auto version = connection->Prepare("SELECT version FROM schema_version");
      if (version.Step() && version.Int(0) == LatestSchemaVersion()) {
        NoteVersionRead(*connection);
        return connection;
      }
    } catch (const HostError&) {
      // Checked in full below.
    }
  }
  int version = 0;
  try {
    version = SchemaVersion(*connection);
  } catch (const HostError& e) {
    Forget(address);
    throw HostError("the company database " + address.Describe() + " cannot be read (" + e.Description() +
                    "); restore it from a backup");
  }
  // An existing database without our schema (an empty file, another
  // program's) is refused, not given a schema: only init creates one.
  if (mode == OpenMode::Existing && version == 0) {
    Forget(address);
    throw HostError("the company database " + address.Describe() +
                    " is empty or not a company database; create it with \"vemoprint init\"");
  }
  Migrate(*connection, version);
  NoteVersionRead(*connection);
  return connection;
}

std::shared_ptr<Connection> OpenAccountDatabase(std::string_view props) {
  return OpenCompanyDatabase(AccountDatabase(props));
}

void CloseCompanyDatabase(const DatabaseAddress& address) { Forget(address); }

void DropServerDatabase(const DatabaseAddress& address) {
  Forget(address);
  PgConnection server(Maintenance(address), ServerRole::Writer);
  server.Exec("DROP DATABASE IF EXISTS " + QuotedName(address.database) + " WITH (FORCE)");
}

}  // namespace vemo::host
