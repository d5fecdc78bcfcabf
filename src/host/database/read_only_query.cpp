#include "host/database/read_only_query.h"

#include <unistd.h>

#include <cstring>
#include <mutex>

#include "foundation/utf8_text.h"
#include "host/database/schema.h"
#include "host/database/sql_dialect.h"
#include "host/database/pg_connection.h"
#include "host/database/pg_read_only_query.h"
#include "host/database/sqlite_connection.h"

namespace vemo::host {

namespace {

int AuthorizeRead(void*, int action, const char* arg1, const char* arg2, const char*, const char*) {
  switch (action) {
    case SQLITE_SELECT:
    case SQLITE_READ:
      return SQLITE_OK;
    case SQLITE_FUNCTION: {
      // arg2 is the function name. load_extension is also disabled on the
      // connection; refusing it here gives a clear "not authorized".
      std::string_view name = arg2 ? arg2 : "";
      if (EqualsIgnoreCase(name, "load_extension") || EqualsIgnoreCase(name, "fts3_tokenizer")) return SQLITE_DENY;
      return SQLITE_OK;
    }
    default:
      (void)arg1;
      return SQLITE_DENY;
  }
}

struct Deadline {
  std::chrono::steady_clock::time_point end;
};

int CheckDeadline(void* data) {
  auto* deadline = static_cast<Deadline*>(data);
  return std::chrono::steady_clock::now() > deadline->end ? 1 : 0;
}

bool OnlyBlanks(const char* tail) {
  if (!tail) return true;
  for (const auto& token : TokenizeSql(tail))
    if (token.kind != SqlTokenKind::Blank && token.kind != SqlTokenKind::Comment &&
        !(token.kind == SqlTokenKind::Symbol && token.text == ";"))
      return false;
  return true;
}

// A write killed half-way leaves a hot rollback journal that only a writable
// connection may roll back; a read-only one fails with "attempt to write a
// readonly database". Reading once through a writable connection lets SQLite
// restore the file to its state before that write.
void RecoverInterruptedWrite(const std::filesystem::path& database) {
  std::filesystem::path journal = database;
  journal += "-journal";
  std::error_code ec;
  if (!std::filesystem::exists(journal, ec) || std::filesystem::file_size(journal, ec) == 0) return;
  try {
    SqliteConnection writable(database, SQLITE_OPEN_READWRITE);
    writable.Exec("SELECT count(*) FROM sqlite_master");
  } catch (const std::exception&) {
    // Another process holds the file; its own rollback or commit ends it.
  }
}

// The read-only connection of the last file queried, kept for the rest of
// the process (a bill with serial numbers asks once per line), used again
// only while the path names the same file and in the process that opened it.
struct KeptReader {
  std::filesystem::path path;
  FileIdentity identity;
  pid_t owner = 0;
  std::unique_ptr<SqliteConnection> connection;
};
std::mutex readerMutex;

SqliteConnection& ReaderFor(const std::filesystem::path& database) {
  static KeptReader kept;
  FileIdentity identity = FileIdentity::Of(database);
  if (kept.connection && kept.path == database && kept.identity == identity && kept.owner == ::getpid())
    return *kept.connection;
  // A connection a parent process opened is left to it, never closed here.
  if (kept.owner != ::getpid()) (void)kept.connection.release();
  kept = KeptReader{};
  auto connection = std::make_unique<SqliteConnection>(database, SQLITE_OPEN_READONLY);
  connection->Exec("PRAGMA query_only = ON");
  sqlite3_db_config(connection->handle(), SQLITE_DBCONFIG_ENABLE_LOAD_EXTENSION, 0, nullptr);
  sqlite3_set_authorizer(connection->handle(), AuthorizeRead, nullptr);
  sqlite3_limit(connection->handle(), SQLITE_LIMIT_LENGTH, kQueryValueLimit);
  kept = KeptReader{database, identity, ::getpid(), std::move(connection)};
  return *kept.connection;
}

RecordsetRef RunOnFile(const std::filesystem::path& database, const std::string& sql, const std::vector<Variant>& parameters,
                 std::chrono::milliseconds timeLimit, std::size_t resultLimit, std::string_view shownSql) {
  if (!std::filesystem::exists(database))
    throw HostError("the company database " + database.string() +
                    " does not exist; create it with \"vemoprint init\" (or set VEMO_DATA_DIR to the data folder)");
  RecoverInterruptedWrite(database);
  std::lock_guard lock(readerMutex);
  SqliteConnection& connection = ReaderFor(database);
  Deadline deadline{std::chrono::steady_clock::now() + timeLimit};
  sqlite3_progress_handler(connection.handle(), 1000, CheckDeadline, &deadline);
  struct ClearHandler {
    sqlite3* db;
    ~ClearHandler() { sqlite3_progress_handler(db, 0, nullptr, nullptr); }
  } clearHandler{connection.handle()};
  {
    // A file written by a newer program may hold tables we misread. The
    // authorizer lets this read of our own table through.
    auto version = SchemaVersion(connection);
    if (version > LatestSchemaVersion())
      throw HostError("the company database " + database.string() + " has schema version " + std::to_string(version) +
                      ", newer than this program knows; use a newer vemoprint");
  }

  sqlite3_stmt* raw = nullptr;
  const char* tail = nullptr;
  int rc = sqlite3_prepare_v2(connection.handle(), sql.c_str(), static_cast<int>(sql.size()), &raw, &tail);
  if (rc != SQLITE_OK) {
    std::string reason = sqlite3_errmsg(connection.handle());
    sqlite3_finalize(raw);
    throw HostError("the query \"" + std::string(shownSql.substr(0, 200)) + "\" was refused: " + reason +
                    " (only one SELECT statement may run here)");
  }
  std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt*)> guard(raw, sqlite3_finalize);
  if (!raw) throw HostError("the query is empty; give one SELECT statement");
  if (!OnlyBlanks(tail)) throw HostError("the query \"" + std::string(shownSql.substr(0, 200)) + "\" holds more than one statement; give one SELECT statement");
  if (!sqlite3_stmt_readonly(raw)) throw HostError("the query \"" + std::string(shownSql.substr(0, 200)) + "\" would write; only reading is allowed here");

  int count = sqlite3_bind_parameter_count(raw);
  std::vector<std::string> fields;
  std::vector<std::vector<Variant>> rows;
  {
    // Wrap the raw statement without taking ownership twice.
    Statement statement(std::make_unique<SqliteStatement>(connection.handle(), guard.release()));
    for (int i = 0; i < count && i < static_cast<int>(parameters.size()); ++i)
      statement.BindValue(i + 1, parameters[static_cast<std::size_t>(i)]);
    for (int c = 0; c < statement.ColumnCount(); ++c) fields.push_back(statement.ColumnName(c));
    const std::string shown = "the query \"" + std::string(shownSql.substr(0, 200)) + "\"";
    std::size_t resultBytes = 0;
    try {
      while (statement.Step()) {
        std::vector<Variant> row;
        row.reserve(fields.size());
        for (int c = 0; c < statement.ColumnCount(); ++c) {
          // Its bytes (before the conversion, which may double them) and its holder.
          resultBytes += static_cast<std::size_t>(sqlite3_column_bytes(raw, c)) + sizeof(Variant);
          row.push_back(statement.Value(c));
        }
        if (resultBytes > resultLimit)
          throw HostError(shown + " answered more than " + std::to_string(resultLimit >> 10) +
                          " KiB and was stopped; select fewer rows or columns");
        rows.push_back(std::move(row));
      }
    } catch (const HostError& e) {
      if (sqlite3_errcode(connection.handle()) == SQLITE_INTERRUPT)
        throw HostError(shown + " ran longer than " + std::to_string(timeLimit.count()) + " ms and was stopped");
      if (sqlite3_errcode(connection.handle()) == SQLITE_TOOBIG)
        throw HostError(shown + " makes a value longer than " + std::to_string(kQueryValueLimit >> 20) +
                        " MiB and was stopped; select shorter values");
      throw;
    }
  }
  return Recordset::Create(std::move(fields), std::move(rows));
}

}  // namespace

RecordsetRef RunReadOnlyQuery(const DatabaseAddress& database, std::string_view hostSql,
                              std::chrono::milliseconds timeLimit, std::size_t resultLimit) {
  if (database.kind == DatabaseKind::Server)
    return RunServerQuery(database, TranslateHostSql(hostSql, SqlTarget::Postgres), {}, timeLimit, resultLimit, hostSql);
  return RunOnFile(database.file, TranslateHostSql(hostSql), {}, timeLimit, resultLimit, hostSql);
}

RecordsetRef RunReadOnlyStatement(const DatabaseAddress& database, std::string_view sql,
                                  const std::vector<Variant>& parameters, std::chrono::milliseconds timeLimit) {
  if (database.kind == DatabaseKind::Server)
    return RunServerQuery(database, NumberedParameters(sql), parameters, timeLimit, kQueryResultLimit, sql);
  return RunOnFile(database.file, std::string(sql), parameters, timeLimit, kQueryResultLimit, sql);
}

}  // namespace vemo::host
