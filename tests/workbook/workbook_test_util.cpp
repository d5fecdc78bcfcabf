#include "workbook/workbook_test_util.h"

#include <zlib.h>

#include <algorithm>
#include <fstream>
#include <stdexcept>
#include <vector>

#include "support/run_command.h"
#include "support/test_paths.h"

namespace vemo::wb::test {

std::string Quote(const std::filesystem::path& path) { return vemo::test::ShellQuote(path); }

ToolResult RunPythonTool(const std::filesystem::path& tool, const std::string& arguments) {
  const auto run = vemo::test::RunPython(tool, arguments);
  return ToolResult{run.status, run.output};
}

std::filesystem::path XlsxDiffTool() { return vemo::test::XlsxDiffTool(); }

bool LibreOfficeOpensOriginal(const std::string& entry) {
  std::ifstream manifest(vemo::test::SharedDir() / "corpus" / "MANIFEST.tsv");
  auto columns = [](const std::string& line) {
    std::vector<std::string> out;
    std::size_t start = 0;
    for (std::size_t tab; (tab = line.find('\t', start)) != std::string::npos; start = tab + 1)
      out.push_back(line.substr(start, tab - start));
    out.push_back(line.substr(start));
    return out;
  };
  std::string line;
  if (!std::getline(manifest, line)) return true;
  const auto header = columns(line);
  const auto opensWith = std::find(header.begin(), header.end(), "opens_with") - header.begin();
  for (; std::getline(manifest, line);) {
    if (line.rfind(entry + "\t", 0) != 0) continue;
    const auto fields = columns(line);
    return static_cast<std::size_t>(opensWith) < fields.size() &&
           fields[static_cast<std::size_t>(opensWith)].find("soffice") != std::string::npos;
  }
  return true;
}

std::string DeflateInOneStream(std::string_view input, int level) {
  z_stream z{};
  if (deflateInit2(&z, level, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK)
    throw std::runtime_error("zlib refused to start a deflate stream");
  std::string out(deflateBound(&z, static_cast<uLong>(input.size())), '\0');
  z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(input.data()));
  z.avail_in = static_cast<uInt>(input.size());
  z.next_out = reinterpret_cast<Bytef*>(out.data());
  z.avail_out = static_cast<uInt>(out.size());
  const int status = deflate(&z, Z_FINISH);
  out.resize(z.total_out);
  deflateEnd(&z);
  if (status != Z_STREAM_END) throw std::runtime_error("zlib did not finish the deflate stream");
  return out;
}

}  // namespace vemo::wb::test
