#include "workbook/workbook_test_util.h"

#include <sys/wait.h>

#include <array>
#include <cstdio>

#include "support/test_paths.h"

namespace vemo::wb::test {

std::string Quote(const std::filesystem::path& path) {
  std::string out = "'";
  for (char c : path.string()) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}

ToolResult RunPythonTool(const std::filesystem::path& tool, const std::string& arguments) {
  ToolResult result;
  std::string command = "/usr/bin/python3 " + Quote(tool) + " " + arguments + " 2>&1";
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return result;
  std::array<char, 4096> buffer;
  while (size_t n = fread(buffer.data(), 1, buffer.size(), pipe)) result.output.append(buffer.data(), n);
  int status = pclose(pipe);
  result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return result;
}

std::filesystem::path XlsxDiffTool() { return vemo::test::SharedDir() / "tools" / "xlsxdiff.py"; }

}  // namespace vemo::wb::test
