// Thin RAII layer over the SQLite C interface: one connection, prepared
// statements with typed binds, and a transaction guard that rolls back
// unless committed. Every failure raises HostError with SQLite's own message,
// so component callers see one error type.
#pragma once
#include <sqlite3.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "foundation/host_error.h"
#include "foundation/variant.h"

namespace vemo::host {

class Statement {
 public:
  Statement(sqlite3* db, std::string_view sql);
  // Takes ownership of a statement prepared elsewhere.
  Statement(sqlite3* db, sqlite3_stmt* prepared) : db_(db), stmt_(prepared) {}
  ~Statement();
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;
  Statement(Statement&& other) noexcept : db_(other.db_), stmt_(other.stmt_) { other.stmt_ = nullptr; }

  // Binds are 1-based, as in SQLite. Binding returns *this for chaining.
  Statement& Bind(int index, std::int64_t value);
  Statement& Bind(int index, int value) { return Bind(index, static_cast<std::int64_t>(value)); }
  Statement& Bind(int index, double value);
  Statement& Bind(int index, std::string_view text);
  Statement& Bind(int index, const char* text) { return Bind(index, std::string_view(text)); }
  Statement& Bind(int index, const Bytes& blob);
  Statement& BindNull(int index);

  // True while a row is available; false when done.
  bool Step();
  // Runs a statement that answers no rows.
  void Run();
  void Reset();

  int ColumnCount() const { return sqlite3_column_count(stmt_); }
  std::string ColumnName(int column) const;
  std::int64_t Int(int column) const { return sqlite3_column_int64(stmt_, column); }
  double Real(int column) const { return sqlite3_column_double(stmt_, column); }
  std::string Text(int column) const;
  Bytes Blob(int column) const;
  bool IsNull(int column) const { return sqlite3_column_type(stmt_, column) == SQLITE_NULL; }
  // The column as a host value: INTEGER -> Integer (Double beyond 32 bits),
  // REAL -> Double, TEXT -> String, BLOB -> byte array, NULL -> Null.
  Variant Value(int column) const;

  sqlite3_stmt* handle() const { return stmt_; }

 private:
  void Check(int rc, const char* what) const;
  sqlite3* db_;
  sqlite3_stmt* stmt_ = nullptr;
};

class Connection {
 public:
  // flags: SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, or SQLITE_OPEN_READONLY.
  Connection(const std::filesystem::path& path, int flags);
  ~Connection();
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;

  void Exec(std::string_view sql);
  Statement Prepare(std::string_view sql) { return Statement(db_, sql); }
  std::int64_t LastInsertRowId() const { return sqlite3_last_insert_rowid(db_); }
  int Changes() const { return sqlite3_changes(db_); }
  sqlite3* handle() const { return db_; }
  const std::filesystem::path& path() const { return path_; }

 private:
  sqlite3* db_ = nullptr;
  std::filesystem::path path_;
};

// BEGIN IMMEDIATE on construction; ROLLBACK on destruction unless Commit()
// ran. Every write of a component runs inside one of these, so a process
// killed half-way leaves the database as it was before the call.
class Transaction {
 public:
  explicit Transaction(Connection& connection);
  ~Transaction();
  Transaction(const Transaction&) = delete;
  Transaction& operator=(const Transaction&) = delete;
  void Commit();

 private:
  Connection& connection_;
  bool done_ = false;
};

}  // namespace vemo::host
