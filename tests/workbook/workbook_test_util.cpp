#include "workbook/workbook_test_util.h"

#include "support/run_command.h"
#include "support/test_paths.h"

namespace vemo::wb::test {

std::string Quote(const std::filesystem::path& path) { return vemo::test::ShellQuote(path); }

ToolResult RunPythonTool(const std::filesystem::path& tool, const std::string& arguments) {
  const auto run = vemo::test::RunCommand("/usr/bin/python3 " + Quote(tool) + " " + arguments);
  return ToolResult{run.status, run.output};
}

std::filesystem::path XlsxDiffTool() { return vemo::test::SharedDir() / "tools" / "xlsxdiff.py"; }

}  // namespace vemo::wb::test
