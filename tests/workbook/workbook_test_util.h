// Helpers shared by the workbook tests: running the independent checking tools.
#pragma once
#include <filesystem>
#include <string>
#include <string_view>

namespace vemo::wb::test {

struct ToolResult {
  int exitCode = -1;
  std::string output;
};

// Runs `/usr/bin/python3 TOOL ARGS...` and captures stdout+stderr.
ToolResult RunPythonTool(const std::filesystem::path& tool, const std::string& arguments);
std::string Quote(const std::filesystem::path& path);
std::filesystem::path XlsxDiffTool();

// Whether the corpus manifest's "opens_with" column names LibreOffice
// ("soffice") for `entry` ("xlsx/NAME"), i.e. whether the original opens there.
bool LibreOfficeOpensOriginal(const std::string& entry);

// zlib's raw deflate of the whole input in one stream at `level`: what
// another writer would store, to compare ours with.
std::string DeflateInOneStream(std::string_view input, int level);

}  // namespace vemo::wb::test
