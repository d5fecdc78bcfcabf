// vemoprint convert: a round trip through the spreadsheet surface.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "support/test_paths.h"

namespace {

struct Run {
  int exitCode = -1;
  std::string output;
};

std::string Quote(const std::filesystem::path& p) { return "'" + p.string() + "'"; }

Run Execute(const std::string& command) {
  Run run;
  FILE* pipe = popen((command + " 2>&1").c_str(), "r");
  if (!pipe) return run;
  std::array<char, 4096> buffer;
  std::size_t n;
  while ((n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0) run.output.append(buffer.data(), n);
  int status = pclose(pipe);
  run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

std::filesystem::path Vemoprint() {
  const char* dir = std::getenv("VEMO_BINARY_DIR");
  return std::filesystem::path(dir ? dir : "build") / "vemoprint";
}

TEST(ConvertCommand, WritesAWorkbookEqualToItsInput) {
  vemo::test::TempDir dir;
  auto in = dir / "in.xlsx";
  auto out = dir / "out.xlsx";
  auto made = Execute("/usr/bin/python3 " +
                      Quote(vemo::test::SourceDir() / "tests/host/spreadsheet/data/make_invoice.py") + " " + Quote(in));
  ASSERT_EQ(made.exitCode, 0) << made.output;
  auto run = Execute(Quote(Vemoprint()) + " convert " + Quote(in) + " " + Quote(out));
  ASSERT_EQ(run.exitCode, 0) << run.output;
  auto diff = Execute("/usr/bin/python3 " + Quote(vemo::test::SharedDir() / "tools/xlsxdiff.py") + " " + Quote(in) +
                      " " + Quote(out));
  EXPECT_EQ(diff.exitCode, 0) << diff.output;
}

TEST(ConvertCommand, UnreadableInputExitsWithUsageAndAReason) {
  vemo::test::TempDir dir;
  auto junk = dir / "junk.xlsx";
  std::ofstream(junk) << "this is no workbook";
  auto run = Execute(Quote(Vemoprint()) + " convert " + Quote(junk) + " " + Quote(dir / "out.xlsx"));
  EXPECT_EQ(run.exitCode, 2);
  EXPECT_NE(run.output.find("junk.xlsx"), std::string::npos) << run.output;
  EXPECT_FALSE(std::filesystem::exists(dir / "out.xlsx"));
  auto missing = Execute(Quote(Vemoprint()) + " convert " + Quote(dir / "none.xlsx") + " " + Quote(dir / "o.xlsx"));
  EXPECT_EQ(missing.exitCode, 2);
  EXPECT_NE(missing.output.find("none.xlsx"), std::string::npos) << missing.output;
}

}  // namespace
