#include "host/database/pg_connection.h"

#include <cstdio>
#include <cstdlib>

#include "foundation/utf8_text.h"
#include "host/database/pq_library.h"
#include "host/database/sql_dialect.h"

namespace vemo::host {

namespace {

// Type ids of the server's catalogue that answer numbers or bytes.
constexpr Oid kBool = 16, kBytea = 17, kInt8 = 20, kInt2 = 21, kInt4 = 23, kOid = 26;
constexpr Oid kFloat4 = 700, kFloat8 = 701, kNumeric = 1700;

// The lock every writer of one company database takes first (any number,
// the same in every process; "VEMO" in ASCII).
constexpr const char* kWriteLock = "SELECT pg_advisory_xact_lock(1447382351)";

struct ResultGuard {
  PGresult* result;
  ~ResultGuard() { Pq().clear(result); }
};

bool Succeeded(const PGresult* result) {
  auto status = Pq().resultStatus(result);
  return status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK || status == PGRES_SINGLE_TUPLE;
}

std::string Trimmed(std::string text) {
  while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) text.pop_back();
  return text;
}

class PgStatement final : public StatementBackend {
 public:
  PgStatement(PgConnection& connection, std::string_view sql) : connection_(connection) {
    int count = 0;
    sql_ = NumberedParameters(sql, &count);
    values_.resize(static_cast<std::size_t>(count));
    binary_.resize(values_.size());
  }
  ~PgStatement() override { Clear(); }

  void BindInteger(int index, std::int64_t value) override { Set(index, std::to_string(value)); }
  void BindReal(int index, double value) override {
    char text[32];
    std::snprintf(text, sizeof text, "%.17g", value);
    Set(index, text);
  }
  void BindText(int index, std::string_view text) override { Set(index, std::string(text)); }
  void BindBytes(int index, const Bytes& blob) override {
    Set(index, std::string(blob.begin(), blob.end()));
    binary_[Slot(index)] = true;
  }
  void BindNull(int index) override { values_[Slot(index)].reset(); }

  bool Step() override {
    if (!result_) Execute();
    return ++row_ < Pq().ntuples(result_);
  }
  void Reset() override {
    Clear();
    for (auto& value : values_) value.reset();
    std::fill(binary_.begin(), binary_.end(), false);
  }
  int ColumnCount() const override { return result_ ? Pq().nfields(result_) : 0; }
  std::string ColumnName(int column) const override { return Pq().fname(result_, column); }
  std::int64_t Int(int column) const override {
    const char* text = Raw(column);
    if (*text == 't') return 1;  // a Boolean column
    return std::strtoll(text, nullptr, 10);
  }
  double Real(int column) const override { return std::strtod(Raw(column), nullptr); }
  std::string Text(int column) const override {
    return std::string(Raw(column), static_cast<std::size_t>(Pq().getlength(result_, row_, column)));
  }
  Bytes Blob(int column) const override { return ServerValue(result_, row_, column).ToBytes(); }
  bool IsNull(int column) const override { return Pq().getisnull(result_, row_, column) != 0; }
  Variant Value(int column) const override { return ServerValue(result_, row_, column); }

 private:
  std::size_t Slot(int index) {
    if (index < 1 || index > static_cast<int>(values_.size()))
      throw HostError("company database: parameter " + std::to_string(index) + " of \"" + sql_.substr(0, 200) +
                      "\" does not exist");
    return static_cast<std::size_t>(index - 1);
  }
  void Set(int index, std::string value) {
    values_[Slot(index)] = std::move(value);
    binary_[Slot(index)] = false;
  }
  const char* Raw(int column) const { return Pq().getvalue(result_, row_, column); }
  void Clear() {
    if (result_) Pq().clear(result_);
    result_ = nullptr;
    row_ = -1;
  }
  void Execute() {
    std::vector<const char*> values;
    std::vector<int> lengths, formats;
    std::vector<Oid> types;
    for (std::size_t i = 0; i < values_.size(); ++i) {
      values.push_back(values_[i] ? values_[i]->data() : nullptr);
      lengths.push_back(values_[i] ? static_cast<int>(values_[i]->size()) : 0);
      formats.push_back(binary_[i] ? 1 : 0);
      // Texts and numbers leave their type to the server (it knows the
      // column); bytes must say they are bytes.
      types.push_back(binary_[i] ? kBytea : 0);
    }
    result_ = Pq().execParams(connection_.handle(), sql_.c_str(), static_cast<int>(values.size()), types.data(),
                              values.data(), lengths.data(), formats.data(), 0);
    if (!Succeeded(result_)) {
      ResultGuard failed{result_};
      result_ = nullptr;
      connection_.Raise("running \"" + sql_.substr(0, 200) + "\"", failed.result);
    }
    row_ = -1;
    connection_.SetChanges(std::atoi(Pq().cmdTuples(result_)));
  }

  PgConnection& connection_;
  std::string sql_;
  std::vector<std::optional<std::string>> values_;
  std::vector<bool> binary_;
  PGresult* result_ = nullptr;
  int row_ = -1;
};

}  // namespace

std::string NumberedParameters(std::string_view sql, int* count) {
  std::string out;
  int n = 0;
  for (const auto& token : TokenizeSql(sql)) {
    if (token.kind == SqlTokenKind::Parameter && token.text == "?") {
      out += "$" + std::to_string(++n);
    } else if (token.kind == SqlTokenKind::QuotedName) {
      // Our tables were created with names the server folds to lower case.
      out += "\"" + ReplaceAll(ToLowerAscii(token.text), "\"", "\"\"") + "\"";
    } else {
      out += token.text;
    }
  }
  if (count) *count = n;
  return out;
}

Variant ServerValue(const PGresult* result, int row, int column) {
  const auto& pq = Pq();
  if (pq.getisnull(result, row, column)) return Variant::Null();
  const char* text = pq.getvalue(result, row, column);
  switch (pq.ftype(result, column)) {
    case kBool: return Variant(static_cast<std::int64_t>(*text == 't' ? 1 : 0));
    case kInt2:
    case kInt4:
    case kInt8:
    case kOid: return Variant(static_cast<std::int64_t>(std::strtoll(text, nullptr, 10)));
    case kFloat4:
    case kFloat8:
    case kNumeric: return Variant(std::strtod(text, nullptr));
    case kBytea: {
      std::size_t size = 0;
      unsigned char* bytes = pq.unescapeBytea(reinterpret_cast<const unsigned char*>(text), &size);
      if (!bytes) throw HostError("company database: a byte array from the server could not be read (out of memory)");
      Bytes out(bytes, bytes + size);
      pq.freemem(bytes);
      return Variant(std::move(out));
    }
    default: return Variant(std::string(text, static_cast<std::size_t>(pq.getlength(result, row, column))));
  }
}

PgConnection::PgConnection(const DatabaseAddress& address, ServerRole role) : address_(address) {
  ServerKeywords keywords = ServerSettings(role);
  keywords.emplace_back("host", address.host);
  if (!address.port.empty()) keywords.emplace_back("port", address.port);
  keywords.emplace_back("dbname", address.database);
  std::vector<const char*> names, values;
  for (const auto& [name, value] : keywords) {
    names.push_back(name.c_str());
    values.push_back(value.c_str());
  }
  names.push_back(nullptr);
  values.push_back(nullptr);
  conn_ = Pq().connectdbParams(names.data(), values.data(), 0);
  if (!conn_ || Pq().status(conn_) != CONNECTION_OK) {
    std::string reason = conn_ ? Trimmed(Pq().errorMessage(conn_)) : "out of memory";
    if (conn_) Pq().finish(conn_);
    conn_ = nullptr;
    throw HostError("cannot connect to the company database " + address.Describe() + ": " + reason +
                    "; check that the server runs, that the database exists (\"vemoprint init --server\") and the "
                    "user, password and TLS settings of this machine (database.json, PGPASSFILE, PGSERVICE)");
  }
}

PgConnection::~PgConnection() {
  if (conn_) Pq().finish(conn_);
}

bool PgConnection::Usable() const { return conn_ && Pq().status(conn_) == CONNECTION_OK; }

void PgConnection::Raise(std::string_view what, const PGresult* result) const {
  std::string reason = Trimmed(result ? Pq().resultErrorMessage(result) : "");
  if (reason.empty()) reason = Trimmed(Pq().errorMessage(conn_));
  if (!Usable())
    throw HostError("the connection to the company database " + address_.Describe() + " was lost (" + reason +
                    "); nothing of the unfinished step was saved; check the network and the server, then try again");
  throw HostError("company database: " + std::string(what) + " failed: " + reason);
}

void PgConnection::Exec(std::string_view sql) {
  std::string text(sql);
  ResultGuard result{Pq().exec(conn_, text.c_str())};
  if (!Succeeded(result.result)) Raise("\"" + text.substr(0, 200) + "\"", result.result);
}

Statement PgConnection::Prepare(std::string_view sql) { return Statement(std::make_unique<PgStatement>(*this, sql)); }

bool PgConnection::HasTable(std::string_view name) {
  // A name of the search path, as our statements name tables.
  auto exists = Prepare("SELECT to_regclass(lower(?)) IS NOT NULL");
  return exists.Bind(1, name).Step() && exists.Int(0) != 0;
}

void PgConnection::BeginWrite() {
  try {
    Exec(std::string("BEGIN; ") + kWriteLock);  // one round trip
  } catch (...) {
    Rollback();
    throw;
  }
}

void PgConnection::Rollback() noexcept {
  if (!Usable()) return;
  if (PGresult* result = Pq().exec(conn_, "ROLLBACK")) Pq().clear(result);
}

}  // namespace vemo::host
