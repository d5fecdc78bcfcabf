// Every real workbook of the corpus opens, and saving it without an edit gives
// a workbook the independent comparer finds identical; LibreOffice opens what
// we write, .xlsx and .xls alike.
#include <gtest/gtest.h>

#include "support/files.h"
#include "support/run_command.h"
#include "support/test_paths.h"
#include "workbook/workbook.h"
#include "workbook/workbook_test_util.h"

namespace vemo::wb {
namespace {

std::filesystem::path CorpusFile(const std::string& name) { return vemo::test::SharedDir() / "corpus" / "xlsx" / name; }

class CorpusRoundTrip : public ::testing::TestWithParam<std::string> {};

TEST_P(CorpusRoundTrip, SaveWithoutEditIsIdentical) {
  vemo::test::TempDir temp;
  Workbook::Open(CorpusFile(GetParam()))->Save(temp / "out.xlsx");
  if (vemo::test::CorpusComparerSkipped()) GTEST_SKIP() << "saved; the comparer runs in the normal test run";
  auto diff = vemo::test::RunPython(vemo::test::XlsxDiffTool(), vemo::test::ShellQuote(CorpusFile(GetParam())) + " " + vemo::test::ShellQuote(temp / "out.xlsx"));
  EXPECT_EQ(diff.status, 0) << diff.output;
}

TEST_P(CorpusRoundTrip, SavingTwiceGivesTheSameBytes) {
  vemo::test::TempDir temp;
  Workbook::Open(CorpusFile(GetParam()))->Save(temp / "a.xlsx");
  Workbook::Open(CorpusFile(GetParam()))->Save(temp / "b.xlsx");
  EXPECT_EQ(vemo::test::ReadFileBytes(temp / "a.xlsx"), vemo::test::ReadFileBytes(temp / "b.xlsx"));
}

INSTANTIATE_TEST_SUITE_P(Xlsx, CorpusRoundTrip, ::testing::ValuesIn(test::CorpusFiles("xlsx", ".xlsx")),
                         [](const auto& info) { return test::ParamName(info.param); });

// LibreOffice opening the saved files is slow (about 5 s a file): VEMO_LO_CHECK=1 turns it on.
// The corpus is checked in four shards so that a parallel test run spreads
// the work over every core.
constexpr int kLibreOfficeShards = 4;
class CorpusLibreOffice : public ::testing::TestWithParam<int> {};

TEST_P(CorpusLibreOffice, SavedFilesOpen) {
  if (!test::LibreOfficeChecks()) GTEST_SKIP() << "set VEMO_LO_CHECK=1 to run";
  vemo::test::TempDir temp;
  int index = 0;
  for (const auto& [folder, extension] : {std::pair{"xlsx", ".xlsx"}, {"xls", ".xls"}}) {
    for (const std::string& name : test::CorpusFiles(folder, extension)) {
      const std::string entry = folder + ("/" + name);
      if (index++ % kLibreOfficeShards != GetParam() || entry == "xls/testEXCEL_95.xls") continue;  // refused by design
      if (!test::LibreOfficeOpensOriginal(entry)) continue;  // the manifest says the input itself does not open
      Workbook::Open(vemo::test::SharedDir() / "corpus" / entry)->Save(temp / name);
      auto check = vemo::test::RunPython(vemo::test::SharedDir() / "tools" / "lo_check.py", vemo::test::ShellQuote(temp / name));
      EXPECT_EQ(check.status, 0) << entry << ": " << check.output;
    }
  }
}
INSTANTIATE_TEST_SUITE_P(Shards, CorpusLibreOffice, ::testing::Range(0, kLibreOfficeShards));

}  // namespace
}  // namespace vemo::wb
