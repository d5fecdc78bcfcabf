// Every .xls workbook of the corpus opens, and saving it as .xls without an
// edit gives a workbook an independent reader finds equal (values, types,
// number formats, merges). The example templates saved from .xlsx look like
// their .xls twins. (LibreOffice opening them: xlsx_roundtrip_test.cpp.)
#include <gtest/gtest.h>

#include "support/test_paths.h"
#include "workbook/workbook.h"
#include "workbook/workbook_error.h"
#include "workbook/workbook_test_util.h"

namespace vemo::wb {
namespace {

std::filesystem::path CorpusDir() { return vemo::test::SharedDir() / "corpus" / "xls"; }

std::filesystem::path CompareTool() { return vemo::test::SourceDir() / "tests/workbook/xls/xls_compare.py"; }

class XlsCorpus : public ::testing::TestWithParam<std::string> {};

TEST_P(XlsCorpus, SaveWithoutEditIsEqual) {
  const std::filesystem::path in = CorpusDir() / GetParam();
  if (GetParam() == "testEXCEL_95.xls") {  // refused by design, saying so
    try {
      Workbook::Open(in);
      FAIL() << "opened an Excel 5.0/95 workbook";
    } catch (const WorkbookError& e) {
      EXPECT_NE(std::string(e.what()).find("BIFF5"), std::string::npos) << e.what();
    }
    return;
  }
  vemo::test::TempDir temp;
  const std::filesystem::path out = temp / "out.xls";
  Workbook::Open(in)->Save(out);
  EXPECT_NO_THROW(Workbook::Open(out));
  if (vemo::test::CorpusComparerSkipped()) GTEST_SKIP() << "saved; the comparer runs in the normal test run";
  auto diff = test::RunPythonTool(CompareTool(), test::Quote(in) + " " + test::Quote(out));
  EXPECT_EQ(diff.exitCode, 0) << diff.output;
}

INSTANTIATE_TEST_SUITE_P(Xls, XlsCorpus, ::testing::ValuesIn(test::CorpusFiles("xls", ".xls")),
                         [](const auto& info) { return test::ParamName(info.param); });

// An example template saved from .xlsx as .xls has the borders, fills and
// font colours of its .xls twin made by another program.
TEST(XlsTemplates, SavedFromXlsxLookLikeTheirTwins) {
  vemo::test::TempDir temp;
  int compared = 0;
  for (const auto& entry : std::filesystem::directory_iterator(vemo::test::SourceDir() / "examples/templates")) {
    std::filesystem::path twin = entry.path();
    if (twin.replace_extension(".xls"); entry.path().extension() != ".xlsx" || !std::filesystem::exists(twin)) continue;
    Workbook::Open(entry.path())->Save(temp / "out.xls");
    auto diff = test::RunPythonTool(CompareTool(), test::Quote(twin) + " " + test::Quote(temp / "out.xls") + " --styles");
    EXPECT_EQ(diff.exitCode, 0) << entry.path() << ": " << diff.output;
    ++compared;
  }
  EXPECT_GT(compared, 0);
}

}  // namespace
}  // namespace vemo::wb
