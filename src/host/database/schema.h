// The company database schema as ordered migrations. Version n is reached
// by running step n on a database at version n-1; the version is kept in
// the one-row table schema_version. Steps are only ever appended: a shipped
// step is never edited, so every account file upgrades the same way.
#pragma once
#include <optional>
#include <string_view>
#include <vector>

#include <string>

#include "host/database/connection.h"

namespace vemo::host {

// The SQL of every step, in order (step i brings the schema to version i+1).
const std::vector<std::string_view>& SchemaMigrations();
int LatestSchemaVersion();
// Step `step` (0-based) as the given database writes it (the same tables;
// the server names some types differently).
std::string SchemaStep(DatabaseKind kind, int step);

// The version a database file is at (0 for a new, empty file).
int SchemaVersion(Connection& connection);

// Brings the database to the latest version, each step in its own
// transaction. Raises HostError, leaving the file untouched, when the file
// was written by a newer program (a version above LatestSchemaVersion()).
// `known`: the version the caller has just read, saving the server a round trip.
void Migrate(Connection& connection, std::optional<int> known = std::nullopt);

}  // namespace vemo::host
