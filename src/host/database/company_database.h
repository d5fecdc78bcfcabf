// Opening an account's company database for writing. Components open it
// per call (they are created and released per operation, like the host's)
// and every write runs in one Transaction. The process keeps the connection
// of the last database opened and hands it out again while the file is the
// same, so a call costs no new connection (and no schema parse).
#pragma once
#include <filesystem>
#include <memory>
#include <string_view>

#include "host/database/sqlite_connection.h"

namespace vemo::host {

enum class OpenMode {
  Existing,  // the file must exist already (components)
  Create     // create it when missing (vemoprint init, tests)
};

// Opens the file read-write and brings its schema to the latest version.
// Raises HostError naming the file and what to do when it is missing or
// was written by a newer program.
std::shared_ptr<Connection> OpenCompanyDatabase(const std::filesystem::path& path, OpenMode mode = OpenMode::Existing);

// The database of the account that a props string names.
std::shared_ptr<Connection> OpenAccountDatabase(std::string_view props);

}  // namespace vemo::host
