#include "support/run_command.h"

#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "support/test_paths.h"

namespace vemo::test {

CommandResult RunCommand(const std::string& command) {
  CommandResult result;
  FILE* pipe = ::popen((command + " 2>&1 </dev/null").c_str(), "r");
  if (!pipe) return result;
  char buffer[4096];
  while (std::size_t n = std::fread(buffer, 1, sizeof buffer, pipe)) result.output.append(buffer, n);
  const int status = ::pclose(pipe);
  result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return result;
}

std::filesystem::path VemoprintPath() {
  const char* dir = std::getenv("VEMO_BINARY_DIR");
  return std::filesystem::path(dir ? dir : "build") / "vemoprint";
}

CommandResult RunVemoprintIn(const std::filesystem::path& folder, const std::string& arguments,
                             const std::string& environment) {
  // env clears the display first; the caller's `environment` comes after the
  // defaults, so it may set any of them again.
  return RunCommand("env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM VEMO_DATA_DIR=" + ShellQuote(folder) +
                    " TMPDIR=" + ShellQuote(folder / "tmp") + " VEMO_MACHINE_CONFIG=" + ShellQuote(folder / "machine") +
                    " VEMO_NO_SPREADSHEET= VEMO_DATABASE= VEMO_USER= " + environment + " " + ShellQuote(VemoprintPath()) +
                    " " + arguments);
}

std::string ShellQuote(const std::filesystem::path& path) {
  std::string out = "'";
  for (char c : path.string()) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}

CommandResult RunPython(const std::filesystem::path& script, const std::string& arguments) {
  return RunCommand("/usr/bin/python3 " + ShellQuote(script) + " " + arguments);
}

CommandResult RunPythonCode(const std::string& code, const std::string& arguments) {
  TempDir dir;
  std::ofstream(dir / "snippet.py") << code;
  return RunPython(dir / "snippet.py", arguments);
}

std::filesystem::path XlsxDiffTool() { return SharedDir() / "tools" / "xlsxdiff.py"; }

}  // namespace vemo::test
