// Puts the global options into the session context before any command runs:
// --machine-config DIR points the machine configuration there, --session
// FILE publishes the session file for this process, --yes makes the
// console desktop answer Yes (or OK) when there is no terminal to ask, and
// --gui puts the Qt desktop in its place when there is a display
// (window_system/qt_user_interface.h).
#pragma once
#include <CLI/CLI.hpp>

#include "command_registry.h"

namespace vemo::app {

// Adds --yes and --gui and has the root apply the options once parsing is complete
// (before the subcommand's callback). A problem with the options raises
// UsageError.
void InstallSessionOptions(CLI::App& root, GlobalOptions& options);

// What InstallSessionOptions runs after parsing; public for tests.
void ApplySessionOptions(const GlobalOptions& options, bool assumeYes);

}  // namespace vemo::app
