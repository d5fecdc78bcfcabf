// vemoprint convert: a round trip through the spreadsheet surface.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "support/run_command.h"
#include "support/test_paths.h"

namespace {

using vemo::test::CommandResult;
using vemo::test::RunCommand;

std::string Quote(const std::filesystem::path& p) { return vemo::test::ShellQuote(p); }
std::filesystem::path Vemoprint() { return vemo::test::VemoprintPath(); }

TEST(ConvertCommand, WritesAWorkbookEqualToItsInput) {
  vemo::test::TempDir dir;
  auto in = dir / "in.xlsx";
  auto out = dir / "out.xlsx";
  auto made = RunCommand("/usr/bin/python3 " +
                      Quote(vemo::test::SourceDir() / "tests/host/spreadsheet/data/make_invoice.py") + " " + Quote(in));
  ASSERT_EQ(made.status, 0) << made.output;
  auto run = RunCommand(Quote(Vemoprint()) + " convert " + Quote(in) + " " + Quote(out));
  ASSERT_EQ(run.status, 0) << run.output;
  auto diff = RunCommand("/usr/bin/python3 " + Quote(vemo::test::SharedDir() / "tools/xlsxdiff.py") + " " + Quote(in) +
                      " " + Quote(out));
  EXPECT_EQ(diff.status, 0) << diff.output;
}

}  // namespace
