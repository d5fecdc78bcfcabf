// Opening an account's company database for writing. Components open it
// per call (they are created and released per operation, like the host's)
// and every write runs in one Transaction. The process keeps its
// connections and hands them out again: the embedded file's while the path
// still names the same file, a server's while the connection is alive, so a
// call costs no new connection (and no schema parse).
#pragma once
#include <memory>
#include <string_view>

#include "host/database/connection.h"
#include "host/database/database_address.h"

namespace vemo::host {

enum class OpenMode {
  Existing,  // the database must exist already (components)
  Create     // create it when missing (vemoprint init, tests)
};

// Opens the database read-write and brings its schema to the latest
// version. Raises HostError naming the database and what to do when it is
// missing or was written by a newer program.
std::shared_ptr<Connection> OpenCompanyDatabase(const DatabaseAddress& address, OpenMode mode = OpenMode::Existing);

// The database of the account that a props string names.
std::shared_ptr<Connection> OpenAccountDatabase(std::string_view props);

// Closes the connection this process kept to the database (the next open
// makes a new one).
void CloseCompanyDatabase(const DatabaseAddress& address);

// Removes a server database (tests and benchmarks that made their own);
// connections this process kept to it are closed first.
void DropServerDatabase(const DatabaseAddress& address);

}  // namespace vemo::host
