// Every .xls workbook of the corpus opens, and saving it as .xls without an
// edit gives a workbook an independent reader finds equal (values, types,
// number formats, merges); LibreOffice opens what we write. The example
// templates saved from .xlsx look like their .xls twins.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "support/test_paths.h"
#include "workbook/workbook.h"
#include "workbook/workbook_error.h"
#include "workbook/workbook_test_util.h"

namespace vemo::wb {
namespace {

std::filesystem::path CorpusDir() { return vemo::test::SharedDir() / "corpus" / "xls"; }

std::vector<std::string> CorpusFiles() {
  std::vector<std::string> names;
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(CorpusDir(), ec))
    if (entry.path().extension() == ".xls") names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

std::filesystem::path CompareTool() { return vemo::test::SourceDir() / "tests/workbook/xls/xls_compare.py"; }

// Excel 5.0/95 workbooks are refused by design, saying so.
bool OlderFormat(const std::string& name) { return name == "testEXCEL_95.xls"; }

class XlsCorpus : public ::testing::TestWithParam<std::string> {};

TEST_P(XlsCorpus, SaveWithoutEditIsEqual) {
  const std::filesystem::path in = CorpusDir() / GetParam();
  if (OlderFormat(GetParam())) {
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

std::string TestName(const ::testing::TestParamInfo<std::string>& info) {
  std::string name;
  for (char c : info.param.substr(0, info.param.size() - 4)) name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
  return name.substr(0, 60);
}

INSTANTIATE_TEST_SUITE_P(Xls, XlsCorpus, ::testing::ValuesIn(CorpusFiles()), TestName);

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

// LibreOffice is slow (about 5 s a file): VEMO_LO_CHECK=1 turns this on.
constexpr int kShards = 4;
class XlsCorpusLibreOffice : public ::testing::TestWithParam<int> {};

TEST_P(XlsCorpusLibreOffice, SavedFilesOpen) {
  const char* flag = std::getenv("VEMO_LO_CHECK");
  if (!flag || std::string(flag) != "1") GTEST_SKIP() << "set VEMO_LO_CHECK=1 to run";
  vemo::test::TempDir temp;
  int index = 0;
  for (const std::string& name : CorpusFiles()) {
    if (index++ % kShards != GetParam() || OlderFormat(name)) continue;
    if (!test::LibreOfficeOpensOriginal("xls/" + name)) continue;
    const std::filesystem::path out = temp / name;
    Workbook::Open(CorpusDir() / name)->Save(out);
    auto check = test::RunPythonTool(vemo::test::SharedDir() / "tools" / "lo_check.py", test::Quote(out));
    EXPECT_EQ(check.exitCode, 0) << name << ": " << check.output;
  }
}
INSTANTIATE_TEST_SUITE_P(Shards, XlsCorpusLibreOffice, ::testing::Range(0, kShards));

}  // namespace
}  // namespace vemo::wb
