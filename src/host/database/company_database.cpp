#include "host/database/company_database.h"

#include <sys/stat.h>

#include <mutex>

#include "host/database/account_location.h"
#include "host/database/schema.h"

namespace vemo::host {
namespace {

// The connection the last Existing-mode open made, kept for the rest of the
// process: a bill export asks components for the database seven times, and
// each new connection read and parsed the whole schema again (about 0.9
// million instructions each). It is used again only while the path still
// names the very file it has open (same device and inode), so a database
// removed, replaced or restored from a backup is opened afresh.
struct KeptConnection {
  std::filesystem::path path;
  dev_t device = 0;
  ino_t inode = 0;
  std::shared_ptr<Connection> connection;
};

std::mutex keptMutex;
KeptConnection& Kept() {
  static KeptConnection kept;
  return kept;
}

bool SameFile(const KeptConnection& kept, const std::filesystem::path& path) {
  struct stat st {};
  return kept.connection && kept.path == path && ::stat(path.c_str(), &st) == 0 && st.st_dev == kept.device &&
         st.st_ino == kept.inode;
}

std::shared_ptr<Connection> OpenNew(const std::filesystem::path& path, OpenMode mode) {
  if (mode == OpenMode::Existing && !std::filesystem::exists(path))
    throw HostError("the company database " + path.string() +
                    " does not exist; create it with \"vemoprint init\" (or set VEMO_DATA_DIR to the data folder)");
  if (mode == OpenMode::Create && path.has_parent_path()) std::filesystem::create_directories(path.parent_path());
  int flags = SQLITE_OPEN_READWRITE | (mode == OpenMode::Create ? SQLITE_OPEN_CREATE : 0);
  auto connection = std::make_shared<Connection>(path, flags);
  connection->Exec("PRAGMA foreign_keys = ON");
  return connection;
}

}  // namespace

std::shared_ptr<Connection> OpenCompanyDatabase(const std::filesystem::path& path, OpenMode mode) {
  std::shared_ptr<Connection> connection;
  if (mode == OpenMode::Existing) {
    std::lock_guard lock(keptMutex);
    KeptConnection& kept = Kept();
    if (SameFile(kept, path)) {
      connection = kept.connection;
    } else {
      kept = KeptConnection{};
      connection = OpenNew(path, mode);
      struct stat st {};
      if (::stat(path.c_str(), &st) == 0) kept = KeptConnection{path, st.st_dev, st.st_ino, connection};
    }
  } else {
    connection = OpenNew(path, mode);
  }
  int version = 0;
  try {
    version = SchemaVersion(*connection);
  } catch (const HostError& e) {
    throw HostError("the company database " + path.string() + " cannot be read (" + e.Description() +
                    "); restore it from a backup");
  }
  // An existing file without our schema (empty, or another program's) is
  // refused, not given a schema: only init creates a company database.
  if (mode == OpenMode::Existing && version == 0) {
    std::lock_guard lock(keptMutex);
    Kept() = KeptConnection{};
    throw HostError("the company database " + path.string() +
                    " is empty or not a company database; create it with \"vemoprint init\"");
  }
  // Every open still checks the schema version (cheap on a kept connection,
  // whose schema is already parsed): a file a newer program wrote meanwhile
  // is refused as before.
  Migrate(*connection);
  return connection;
}

std::shared_ptr<Connection> OpenAccountDatabase(std::string_view props) {
  return OpenCompanyDatabase(DatabasePath(AccountName(props)));
}

}  // namespace vemo::host
