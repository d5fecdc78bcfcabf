#include "host/database/pg_read_only_query.h"

#include <map>
#include <mutex>

#include "host/database/company_database.h"
#include "host/database/pg_connection.h"
#include "host/database/pq_library.h"
#include "host/database/read_only_query.h"
#include "host/database/schema.h"
#include "host/database/sql_dialect.h"
#include "foundation/utf8_text.h"

namespace vemo::host {
namespace {

std::mutex readersMutex;
KeptServerConnections& Readers() {
  static KeptServerConnections readers;
  return readers;
}

std::shared_ptr<PgConnection> Reader(const DatabaseAddress& database) {
  // Without a query role of its own a second connection would only cost
  // the server another process; the writing one runs the query.
  if (!QueriesConnectApart()) return std::static_pointer_cast<PgConnection>(OpenCompanyDatabase(database));
  std::lock_guard lock(readersMutex);
  auto& reader = Readers()[database];
  if (reader && reader->Usable()) return reader;
  reader = std::make_shared<PgConnection>(database, ServerRole::Reader);
  // A database written by a newer program may hold tables we misread.
  if (!reader->HasTable("schema_version"))
    throw HostError("the company database " + database.Describe() +
                    " is empty or not a company database; create it with \"vemoprint init --server\"");
  auto version = reader->Prepare("SELECT version FROM schema_version");
  if (version.Step() && version.Int(0) > LatestSchemaVersion())
    throw HostError("the company database " + database.Describe() + " has schema version " +
                    std::to_string(version.Int(0)) + ", newer than this program knows; use a newer vemoprint");
  return reader;
}

// Drops the kept reader: after a failure in the middle of a result the
// connection may still be busy with it.
void DropReader(const DatabaseAddress& database) {
  std::lock_guard lock(readersMutex);
  Readers().Erase(database);
}

// The server answers names written without quotes in lower case ("fname");
// the host reads fields without regard to case, but shows their names. They
// get back the spelling the query wrote, else the one of our schema.
void RestoreNameCase(std::vector<std::string>& fields, std::string_view shownSql) {
  std::map<std::string, std::string> spelling;
  auto learn = [&](std::string_view sql) {
    for (const auto& token : TokenizeSql(sql))
      if (token.kind == SqlTokenKind::Word || token.kind == SqlTokenKind::QuotedName)
        spelling.emplace(ToLowerAscii(token.text), token.text);
  };
  try {
    learn(shownSql);
  } catch (const HostError&) {
    // Not our tokenizer's dialect: the schema's names still apply.
  }
  static const std::map<std::string, std::string> schema = [] {
    std::map<std::string, std::string> names;
    for (auto step : SchemaMigrations())
      for (const auto& token : TokenizeSql(step))
        if (token.kind == SqlTokenKind::Word) names.emplace(ToLowerAscii(token.text), token.text);
    return names;
  }();
  for (auto& field : fields) {
    if (auto found = spelling.find(field); found != spelling.end())
      field = found->second;
    else if (auto known = schema.find(field); known != schema.end())
      field = known->second;
  }
}

struct Parameters {
  std::vector<std::string> texts;
  std::vector<const char*> values;
  std::vector<int> lengths, formats;
  std::vector<Oid> types;
};

Parameters TextParameters(const std::vector<Variant>& parameters) {
  Parameters out;
  out.texts.reserve(parameters.size());
  for (const auto& value : parameters) {
    bool null = value.Type() == VariantType::Empty || value.Type() == VariantType::Null;
    bool bytes = value.Type() == VariantType::Bytes;
    if (bytes) {
      Bytes data = value.ToBytes();
      out.texts.emplace_back(data.begin(), data.end());
    } else {
      out.texts.push_back(null ? std::string() : value.ToText());
    }
    out.lengths.push_back(static_cast<int>(out.texts.back().size()));
    out.formats.push_back(bytes ? 1 : 0);
    out.types.push_back(bytes ? 17 : 0);
    out.values.push_back(null ? nullptr : out.texts.back().data());
  }
  for (std::size_t i = 0; i < parameters.size(); ++i)
    if (out.values[i]) out.values[i] = out.texts[i].data();  // after every push_back
  return out;
}

struct Rows {
  std::vector<std::string> fields;
  std::vector<std::vector<Variant>> rows;
};

Rows Fetch(PgConnection& reader, const std::string& sql, const std::vector<Variant>& parameters,
           std::chrono::milliseconds timeLimit, std::size_t resultLimit, const std::string& shown) {
  const auto& pq = Pq();
  Parameters p = TextParameters(parameters);
  if (!pq.sendQueryParams(reader.handle(), sql.c_str(), static_cast<int>(p.values.size()), p.types.data(),
                          p.values.data(), p.lengths.data(), p.formats.data(), 0))
    reader.Raise("sending " + shown, nullptr);
  pq.setSingleRowMode(reader.handle());
  Rows out;
  std::size_t resultBytes = 0;
  std::string failure;
  while (PGresult* result = pq.getResult(reader.handle())) {
    auto status = pq.resultStatus(result);
    if (failure.empty() && status == PGRES_SINGLE_TUPLE) {
      if (out.fields.empty())
        for (int c = 0; c < pq.nfields(result); ++c) out.fields.push_back(pq.fname(result, c));
      std::vector<Variant> row;
      for (int c = 0; c < pq.nfields(result); ++c) {
        auto length = static_cast<std::size_t>(pq.getlength(result, 0, c));
        if (length > static_cast<std::size_t>(kQueryValueLimit))
          failure = shown + " makes a value longer than " + std::to_string(kQueryValueLimit >> 20) +
                    " MiB and was stopped; select shorter values";
        resultBytes += length + sizeof(Variant);
        row.push_back(ServerValue(result, 0, c));
      }
      if (failure.empty() && resultBytes > resultLimit)
        failure = shown + " answered more than " + std::to_string(resultLimit >> 10) +
                  " KiB and was stopped; select fewer rows or columns";
      if (failure.empty()) out.rows.push_back(std::move(row));
    } else if (status == PGRES_TUPLES_OK && out.fields.empty()) {
      for (int c = 0; c < pq.nfields(result); ++c) out.fields.push_back(pq.fname(result, c));
    } else if (status != PGRES_TUPLES_OK && status != PGRES_SINGLE_TUPLE && failure.empty()) {
      const char* state = pq.resultErrorField(result, PG_DIAG_SQLSTATE);
      if (!parameters.empty() && state && std::string_view(state) == "22P02") {
        // A bound value that cannot be of its column's type ("3 OR 1=1" for
        // an id) matches no row, as it does in the embedded database.
        out.rows.clear();
        pq.clear(result);
        continue;
      }
      std::string reason = pq.resultErrorMessage(result);
      while (!reason.empty() && reason.back() == '\n') reason.pop_back();
      // 57014: cancelled, here by statement_timeout.
      failure = state && std::string_view(state) == "57014"
                    ? shown + " ran longer than " + std::to_string(timeLimit.count()) + " ms and was stopped"
                    : shown + " was refused: " + reason + " (only one SELECT statement may run here)";
      if (!reader.Usable()) {
        pq.clear(result);
        reader.Raise("running " + shown, nullptr);
      }
    }
    pq.clear(result);
  }
  if (!failure.empty()) throw HostError(failure);
  return out;
}

}  // namespace

RecordsetRef RunServerQuery(const DatabaseAddress& database, const std::string& sql,
                            const std::vector<Variant>& parameters, std::chrono::milliseconds timeLimit,
                            std::size_t resultLimit, std::string_view shownSql) {
  const std::string shown = "the query \"" + std::string(shownSql.substr(0, 200)) + "\"";
  auto reader = Reader(database);
  Rows rows;
  try {
    // One round trip each for the start and the end: a loaded server
    // answers every statement after a switch to its process.
    reader->Exec("BEGIN TRANSACTION READ ONLY; SET LOCAL statement_timeout = " + std::to_string(timeLimit.count()));
    try {
      rows = Fetch(*reader, sql, parameters, timeLimit, resultLimit, shown);
    } catch (...) {
      reader->Rollback();
      throw;
    }
    // A session lock taken by the query would outlive its transaction.
    reader->Exec("ROLLBACK; SELECT pg_advisory_unlock_all()");
  } catch (const HostError&) {
    if (!reader->Usable()) DropReader(database);
    throw;
  }
  RestoreNameCase(rows.fields, shownSql);
  return Recordset::Create(std::move(rows.fields), std::move(rows.rows));
}

}  // namespace vemo::host
