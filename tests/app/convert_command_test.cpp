// vemoprint convert: a round trip through the spreadsheet surface.
#include "app_fixture.h"

namespace vemo::app::test {
namespace {

using ConvertCommand = VemoprintTest;

TEST_F(ConvertCommand, WritesAWorkbookEqualToItsInput) {
  const std::string in = ShellQuote(dir_ / "in.xlsx"), out = ShellQuote(dir_ / "out.xlsx");
  auto made = vemo::test::RunPython(vemo::test::SourceDir() / "tests/host/spreadsheet/data/make_invoice.py", in);
  ASSERT_EQ(made.status, 0) << made.output;
  auto run = Run("convert " + in + " " + out);
  ASSERT_EQ(run.status, 0) << run.output;
  auto diff = vemo::test::RunPython(vemo::test::XlsxDiffTool(), in + " " + out);
  EXPECT_EQ(diff.status, 0) << diff.output;
}

}  // namespace
}  // namespace vemo::app::test
