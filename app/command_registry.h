// Subcommands of vemoprint register themselves here, one file per command
// family, so adding a command never edits main.cpp:
//
//   static vemo::app::CommandRegistration reg{"fill", [](CLI::App& root, vemo::app::GlobalOptions& g) {
//     auto* cmd = root.add_subcommand("fill", "...");
//     ...
//     cmd->callback([&g] { vemo::app::SetExitCode(RunFill(g)); });
//   }};
#pragma once
#include <CLI/CLI.hpp>
#include <functional>
#include <string>

namespace vemo::app {

// Options every command sees, parsed before the subcommand runs.
struct GlobalOptions {
  std::string sessionFile;    // --session FILE
  std::string machineConfig;  // --machine-config DIR
  std::string server;         // --server HOST[:PORT]
};

using CommandInstaller = std::function<void(CLI::App& root, GlobalOptions& options)>;

struct CommandRegistration {
  CommandRegistration(std::string name, CommandInstaller installer);
};

// Installs every registered command, in name order.
void InstallCommands(CLI::App& root, GlobalOptions& options);
// Installs only the command the arguments name, when that is certain, else
// every command: setting up all of them cost a small bill's export a tenth
// of its time, and a run uses one. Help and every error message read the
// same either way.
void InstallCommandsFor(CLI::App& root, GlobalOptions& options, int argc, const char* const* argv);

// Exit status: 0 success, 1 the action answered False, 2 bad usage.
constexpr int kExitOk = 0;
constexpr int kExitActionFailed = 1;
constexpr int kExitUsage = 2;
void SetExitCode(int code);
int ExitCode();

// Thrown by a command for a usage problem found after parsing (a missing
// file, contradicting options); main prints the reason and exits with 2.
struct UsageError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

}  // namespace vemo::app
