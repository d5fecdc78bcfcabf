// Every real workbook of the corpus opens, and saving it without an edit gives
// a workbook the independent comparer finds identical.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>

#include "support/test_paths.h"
#include "workbook/workbook.h"
#include "workbook/workbook_error.h"
#include "workbook/workbook_test_util.h"

namespace vemo::wb {
namespace {

std::vector<std::string> CorpusFiles() {
  std::vector<std::string> names;
  std::filesystem::path dir = vemo::test::SharedDir() / "corpus" / "xlsx";
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(dir, ec))
    if (entry.path().extension() == ".xlsx") names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

class CorpusRoundTrip : public ::testing::TestWithParam<std::string> {};

TEST_P(CorpusRoundTrip, SaveWithoutEditIsIdentical) {
  std::filesystem::path in = vemo::test::SharedDir() / "corpus" / "xlsx" / GetParam();
  vemo::test::TempDir temp;
  std::filesystem::path out = temp / "out.xlsx";
  auto book = Workbook::Open(in);
  book->Save(out);
  if (vemo::test::CorpusComparerSkipped()) GTEST_SKIP() << "saved; the comparer runs in the normal test run";
  auto diff = test::RunPythonTool(test::XlsxDiffTool(), test::Quote(in) + " " + test::Quote(out));
  EXPECT_EQ(diff.exitCode, 0) << diff.output;
}

TEST_P(CorpusRoundTrip, SavingTwiceGivesTheSameBytes) {
  std::filesystem::path in = vemo::test::SharedDir() / "corpus" / "xlsx" / GetParam();
  vemo::test::TempDir temp;
  Workbook::Open(in)->Save(temp / "a.xlsx");
  Workbook::Open(in)->Save(temp / "b.xlsx");
  auto read = [](const std::filesystem::path& p) {
    std::ifstream f(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), {});
  };
  EXPECT_EQ(read(temp / "a.xlsx"), read(temp / "b.xlsx"));
}

std::string TestName(const ::testing::TestParamInfo<std::string>& info) {
  std::string name;
  for (char c : info.param.substr(0, info.param.size() - 5)) name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
  return name.substr(0, 60);
}

INSTANTIATE_TEST_SUITE_P(Xlsx, CorpusRoundTrip, ::testing::ValuesIn(CorpusFiles()), TestName);

// LibreOffice opening the saved files is slow (about 5 s a file): VEMO_LO_CHECK=1 turns it on.
// The corpus is checked in four shards so that a parallel test run spreads
// the work over every core.
constexpr int kLibreOfficeShards = 4;
class CorpusLibreOffice : public ::testing::TestWithParam<int> {};

TEST_P(CorpusLibreOffice, SavedFilesOpen) {
  const char* flag = std::getenv("VEMO_LO_CHECK");
  if (!flag || std::string(flag) != "1") GTEST_SKIP() << "set VEMO_LO_CHECK=1 to run";
  vemo::test::TempDir temp;
  int index = 0;
  for (const std::string& name : CorpusFiles()) {
    if (index++ % kLibreOfficeShards != GetParam()) continue;
    if (!test::LibreOfficeOpensOriginal("xlsx/" + name)) continue;  // the manifest says the input itself does not open
    std::filesystem::path out = temp / name;
    Workbook::Open(vemo::test::SharedDir() / "corpus" / "xlsx" / name)->Save(out);
    auto check = test::RunPythonTool(vemo::test::SharedDir() / "tools" / "lo_check.py", test::Quote(out));
    EXPECT_EQ(check.exitCode, 0) << name << ": " << check.output;
  }
}
INSTANTIATE_TEST_SUITE_P(Shards, CorpusLibreOffice, ::testing::Range(0, kLibreOfficeShards));

}  // namespace
}  // namespace vemo::wb
