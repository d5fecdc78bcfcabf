// The embedded company database: the Connection interface over one SQLite
// file. Writes take the file's write lock at their start (BEGIN IMMEDIATE),
// so writers of one file run one at a time across processes.
#pragma once
#include <sqlite3.h>

#include <sys/types.h>

#include <filesystem>

#include "host/database/connection.h"

namespace vemo::host {

// Which file a path names now (device and inode), so a connection kept for
// a path is used again only while the path still names the file it has
// open: a database removed, replaced or restored from a backup is opened
// afresh. Empty when the path names nothing.
struct FileIdentity {
  dev_t device = 0;
  ino_t inode = 0;
  bool exists = false;
  static FileIdentity Of(const std::filesystem::path& path);
  bool operator==(const FileIdentity&) const = default;
};

class SqliteStatement final : public StatementBackend {
 public:
  SqliteStatement(sqlite3* db, std::string_view sql);
  // Takes ownership of a statement prepared elsewhere.
  SqliteStatement(sqlite3* db, sqlite3_stmt* prepared) : db_(db), stmt_(prepared) {}
  ~SqliteStatement() override;
  SqliteStatement(const SqliteStatement&) = delete;
  SqliteStatement& operator=(const SqliteStatement&) = delete;

  void BindInteger(int index, std::int64_t value) override;
  void BindReal(int index, double value) override;
  void BindText(int index, std::string_view text) override;
  void BindBytes(int index, const Bytes& blob) override;
  void BindNull(int index) override;
  bool Step() override;
  void Reset() override;
  int ColumnCount() const override { return sqlite3_column_count(stmt_); }
  std::string ColumnName(int column) const override;
  std::int64_t Int(int column) const override { return sqlite3_column_int64(stmt_, column); }
  double Real(int column) const override { return sqlite3_column_double(stmt_, column); }
  std::string Text(int column) const override;
  Bytes Blob(int column) const override;
  bool IsNull(int column) const override { return sqlite3_column_type(stmt_, column) == SQLITE_NULL; }
  Variant Value(int column) const override;

 private:
  void Check(int rc, const char* what) const;
  sqlite3* db_;
  sqlite3_stmt* stmt_ = nullptr;
};

class SqliteConnection final : public Connection {
 public:
  // flags: SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, or SQLITE_OPEN_READONLY.
  SqliteConnection(const std::filesystem::path& path, int flags);
  ~SqliteConnection() override;

  DatabaseKind Kind() const override { return DatabaseKind::Embedded; }
  std::string Describe() const override { return path_.string(); }
  void Exec(std::string_view sql) override;
  Statement Prepare(std::string_view sql) override;
  bool HasTable(std::string_view name) override;
  int Changes() const override { return sqlite3_changes(db_); }
  void BeginWrite() override { Exec("BEGIN IMMEDIATE"); }
  void Commit() override { Exec("COMMIT"); }
  void Rollback() noexcept override { sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr); }

  sqlite3* handle() const { return db_; }
  const std::filesystem::path& path() const { return path_; }

 private:
  sqlite3* db_ = nullptr;
  std::filesystem::path path_;
};

}  // namespace vemo::host
