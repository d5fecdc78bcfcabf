#include "host/database/sqlite_connection.h"

#include <sys/stat.h>

namespace vemo::host {

FileIdentity FileIdentity::Of(const std::filesystem::path& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return {};
  return FileIdentity{st.st_dev, st.st_ino, true};
}

namespace {
[[noreturn]] void Raise(sqlite3* db, int rc, std::string_view what) {
  std::string message = "company database: " + std::string(what) + " failed: ";
  message += db ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
  throw HostError(message);
}
}  // namespace

SqliteStatement::SqliteStatement(sqlite3* db, std::string_view sql) : db_(db) {
  int rc = sqlite3_prepare_v2(db, sql.data(), static_cast<int>(sql.size()), &stmt_, nullptr);
  if (rc != SQLITE_OK) Raise(db, rc, "preparing \"" + std::string(sql.substr(0, 200)) + "\"");
}

SqliteStatement::~SqliteStatement() { sqlite3_finalize(stmt_); }

void SqliteStatement::Check(int rc, const char* what) const {
  if (rc != SQLITE_OK) Raise(db_, rc, what);
}

void SqliteStatement::BindInteger(int index, std::int64_t value) {
  Check(sqlite3_bind_int64(stmt_, index, value), "binding an integer");
}
void SqliteStatement::BindReal(int index, double value) {
  Check(sqlite3_bind_double(stmt_, index, value), "binding a number");
}
void SqliteStatement::BindText(int index, std::string_view text) {
  Check(sqlite3_bind_text64(stmt_, index, text.data(), text.size(), SQLITE_TRANSIENT, SQLITE_UTF8), "binding a text");
}
void SqliteStatement::BindBytes(int index, const Bytes& blob) {
  // A zero-length blob must still be a blob, not NULL: an empty template
  // file is stored as zero bytes and comes back as zero bytes.
  static const std::uint8_t kNothing = 0;
  const void* data = blob.empty() ? &kNothing : blob.data();
  Check(sqlite3_bind_blob64(stmt_, index, data, blob.size(), SQLITE_TRANSIENT), "binding a byte array");
}
void SqliteStatement::BindNull(int index) {
  Check(sqlite3_bind_null(stmt_, index), "binding null");
}

bool SqliteStatement::Step() {
  int rc = sqlite3_step(stmt_);
  if (rc == SQLITE_ROW) return true;
  if (rc == SQLITE_DONE) return false;
  Raise(db_, rc, "running \"" + std::string(sqlite3_sql(stmt_)).substr(0, 200) + "\"");
}

void SqliteStatement::Reset() {
  sqlite3_reset(stmt_);
  sqlite3_clear_bindings(stmt_);
}

std::string SqliteStatement::ColumnName(int column) const {
  const char* name = sqlite3_column_name(stmt_, column);
  return name ? name : "";
}

std::string SqliteStatement::Text(int column) const {
  const unsigned char* text = sqlite3_column_text(stmt_, column);
  if (!text) return {};
  return std::string(reinterpret_cast<const char*>(text), static_cast<std::size_t>(sqlite3_column_bytes(stmt_, column)));
}

Bytes SqliteStatement::Blob(int column) const {
  const auto* data = static_cast<const std::uint8_t*>(sqlite3_column_blob(stmt_, column));
  auto size = static_cast<std::size_t>(sqlite3_column_bytes(stmt_, column));
  if (!data) return {};
  return Bytes(data, data + size);
}

Variant SqliteStatement::Value(int column) const {
  switch (sqlite3_column_type(stmt_, column)) {
    case SQLITE_INTEGER: return Variant(static_cast<std::int64_t>(Int(column)));
    case SQLITE_FLOAT: return Variant(Real(column));
    case SQLITE_TEXT: return Variant(Text(column));
    case SQLITE_BLOB: return Variant(Blob(column));
    default: return Variant::Null();
  }
}

SqliteConnection::SqliteConnection(const std::filesystem::path& path, int flags) : path_(path) {
  int rc = sqlite3_open_v2(path.c_str(), &db_, flags, nullptr);
  if (rc != SQLITE_OK) {
    std::string reason = db_ ? sqlite3_errmsg(db_) : sqlite3_errstr(rc);
    sqlite3_close(db_);
    db_ = nullptr;
    throw HostError("company database: cannot open " + path.string() + ": " + reason);
  }
  sqlite3_extended_result_codes(db_, 1);
  // Two processes (the command line and a host) may use one file; wait for
  // a writer instead of failing at once.
  sqlite3_busy_timeout(db_, 5000);
}

SqliteConnection::~SqliteConnection() { sqlite3_close_v2(db_); }

void SqliteConnection::Exec(std::string_view sql) {
  std::string text(sql);
  char* error = nullptr;
  int rc = sqlite3_exec(db_, text.c_str(), nullptr, nullptr, &error);
  if (rc != SQLITE_OK) {
    std::string message = "company database: \"" + text.substr(0, 200) + "\" failed: " + (error ? error : sqlite3_errstr(rc));
    sqlite3_free(error);
    throw HostError(message);
  }
}

Statement SqliteConnection::Prepare(std::string_view sql) {
  return Statement(std::make_unique<SqliteStatement>(db_, sql));
}

bool SqliteConnection::HasTable(std::string_view name) {
  return Prepare("SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = ?").Bind(1, name).Step();
}

}  // namespace vemo::host
