#include "workbook/workbook_test_util.h"

#include <zlib.h>

#include <stdexcept>

#include "support/run_command.h"
#include "support/test_paths.h"

namespace vemo::wb::test {

std::string Quote(const std::filesystem::path& path) { return vemo::test::ShellQuote(path); }

ToolResult RunPythonTool(const std::filesystem::path& tool, const std::string& arguments) {
  const auto run = vemo::test::RunCommand("/usr/bin/python3 " + Quote(tool) + " " + arguments);
  return ToolResult{run.status, run.output};
}

std::filesystem::path XlsxDiffTool() { return vemo::test::SharedDir() / "tools" / "xlsxdiff.py"; }

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
