// How this machine connects to a company database server: libpq connection
// keywords from <machine config>/database.json, never from the props string
// or anything a template designer writes.
//
//   {"connect": {"user": "vemo_desk", "sslmode": "verify-full", ...},
//    "query":   {"user": "vemo_reader"}}
//
// "connect" applies to every connection; "query" adds to it for the
// connection that runs template queries, so that one can use a role that
// may only read. Passwords belong in the standard password file
// (PGPASSFILE, ~/.pgpass) and whole settings may name a service of the
// standard service file (PGSERVICE, "service"). "host", "port" and
// "dbname" come from the connection string and are refused here.
#pragma once
#include <string>
#include <utility>
#include <vector>

namespace vemo::host {

enum class ServerRole { Writer, Reader };

using ServerKeywords = std::vector<std::pair<std::string, std::string>>;

// Raises HostError when database.json sets a keyword it may not.
ServerKeywords ServerSettings(ServerRole role);

// True when database.json gives queries settings of their own ("query"):
// then they need a connection of their own; else they share the writing one.
bool QueriesConnectApart();

}  // namespace vemo::host
