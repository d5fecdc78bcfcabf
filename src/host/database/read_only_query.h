// Running a statement that template text may have built. Templates are user
// material, so a query can only ever read:
//   - the file is opened SQLITE_OPEN_READONLY, with PRAGMA query_only = ON;
//   - an authorizer allows reading (SELECT, column reads, functions other
//     than load_extension) and denies everything else, including ATTACH,
//     PRAGMA, transactions, writes through CTEs and recursive CTEs;
//   - extension loading is switched off;
//   - one statement only (the dialect translation refuses a second one and
//     the text after the prepared statement must be empty);
//   - a statement running longer than the time limit is interrupted;
//   - no value may be longer than kQueryValueLimit bytes (SQLite stops the
//     function making it) and the rows answered together no larger than the
//     result limit, so a query cannot take the process's memory.
// On a server (pg_read_only_query.h) the same rules hold by the server's
// means: a read-only transaction, statement_timeout, a query-only role when
// the machine sets one, only a statement that starts as a query.
// Refusals raise HostError; the database is never changed.
#pragma once
#include <chrono>
#include <string_view>
#include <vector>

#include "foundation/recordset.h"
#include "foundation/variant.h"
#include "host/database/database_address.h"

namespace vemo::host {

inline constexpr std::chrono::milliseconds kQueryTimeLimit{10000};
inline constexpr int kQueryValueLimit = 32 << 20;             // bytes of one text or blob
inline constexpr std::size_t kQueryResultLimit = 256u << 20;  // bytes of all rows answered

// hostSql is in the host's dialect (see sql_dialect.h).
RecordsetRef RunReadOnlyQuery(const DatabaseAddress& database, std::string_view hostSql,
                              std::chrono::milliseconds timeLimit = kQueryTimeLimit,
                              std::size_t resultLimit = kQueryResultLimit);

// The same for a statement in the SQL both databases share, with values
// bound to its "?" parameters: for queries the components build themselves
// from caller-supplied keys.
RecordsetRef RunReadOnlyStatement(const DatabaseAddress& database, std::string_view sql,
                              const std::vector<Variant>& parameters, std::chrono::milliseconds timeLimit = kQueryTimeLimit);

}  // namespace vemo::host
