// Running a shell command (vemoprint, the python3 checkers) from a test and
// collecting its exit status and merged output.
#pragma once
#include <filesystem>
#include <string>

namespace vemo::test {

struct CommandResult {
  int status = -1;  // exit status; -1 when the command did not exit normally
  std::string output;  // standard output and standard error
};

// Runs `command` through the shell with stderr merged into stdout and no input.
CommandResult RunCommand(const std::string& command);

// The built vemoprint ($VEMO_BINARY_DIR/vemoprint, else build/vemoprint).
std::filesystem::path VemoprintPath();

// Runs vemoprint on a private installation kept in `folder`: its data
// (VEMO_DATA_DIR), temporary files (folder/tmp) and machine configuration
// (folder/machine), with the user's database, user and spreadsheet switches
// and the display cleared, so nothing of the machine's own setup leaks into
// the test (with a display the setup commands would open dialogs).
// `environment` ("NAME=value ...", shell words) is set last: it overrides
// any of these, e.g. VEMO_NO_SPREADSHEET=1.
CommandResult RunVemoprintIn(const std::filesystem::path& folder, const std::string& arguments,
                             const std::string& environment = "");

// A path quoted for the shell.
std::string ShellQuote(const std::filesystem::path& path);

// Runs `/usr/bin/python3 SCRIPT ARGUMENTS`.
CommandResult RunPython(const std::filesystem::path& script, const std::string& arguments);
// Runs an inline python3 program with `arguments`.
CommandResult RunPythonCode(const std::string& code, const std::string& arguments);
// The independent workbook comparer of the shared material.
std::filesystem::path XlsxDiffTool();

}  // namespace vemo::test
