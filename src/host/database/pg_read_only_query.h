// A read-only query on a company database server. The connection for these
// is kept apart from the writing one and connects with the machine's query
// settings (server_settings.h: "query", a role that may only read). Each
// query runs in a read-only transaction with statement_timeout set to the
// time limit, its rows are fetched one by one and counted against the value
// and result limits, and the transaction is rolled back afterwards, with
// any session lock the query took released.
#pragma once
#include <chrono>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/recordset.h"
#include "host/database/database_address.h"

namespace vemo::host {

// sql is already in the server's dialect, "$n" parameters numbered.
RecordsetRef RunServerQuery(const DatabaseAddress& database, const std::string& sql,
                            const std::vector<Variant>& parameters, std::chrono::milliseconds timeLimit,
                            std::size_t resultLimit, std::string_view shownSql);

}  // namespace vemo::host
