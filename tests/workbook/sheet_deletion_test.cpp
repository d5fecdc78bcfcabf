// Deleting every sheet but the first, as the bill engine does before saving.
#include <gtest/gtest.h>

#include <cstdlib>
#include <set>

#include "support/test_paths.h"
#include "workbook/workbook.h"
#include "workbook/workbook_error.h"
#include "workbook/workbook_test_util.h"

namespace vemo::wb {
namespace {

std::vector<std::string> MultiSheetCorpusFiles() {
  std::vector<std::string> names;
  for (const auto& row : test::Manifest()) {
    const std::string& file = row.at("file");
    // DrawingSizeInPx takes the comparer minutes; the round-trip test covers it.
    if (file.starts_with("xlsx/") && file != "xlsx/DrawingSizeInPx.xlsx" && row.count("sheets") &&
        std::atoi(row.at("sheets").c_str()) > 1)
      names.push_back(file.substr(5));
  }
  return names;
}

class DeleteAllButFirst : public ::testing::TestWithParam<std::string> {};

TEST_P(DeleteAllButFirst, MatchesTheComparerExpectation) {
  std::filesystem::path in = vemo::test::SharedDir() / "corpus" / "xlsx" / GetParam();
  vemo::test::TempDir temp;
  auto book = Workbook::Open(in);
  while (book->SheetCount() > 1) book->DeleteSheet(book->SheetCount() - 1);
  book->Save(temp / "out.xlsx");
  auto diff = test::RunPythonTool(test::XlsxDiffTool(),
                                  test::Quote(in) + " " + test::Quote(temp / "out.xlsx") + " --first-sheet-only");
  EXPECT_EQ(diff.exitCode, 0) << diff.output;
  // The saved package holds no part of the deleted sheets any more.
  auto reopened = Workbook::Open(temp / "out.xlsx");
  EXPECT_EQ(reopened->SheetCount(), 1u);
}

INSTANTIATE_TEST_SUITE_P(Corpus, DeleteAllButFirst, ::testing::ValuesIn(MultiSheetCorpusFiles()),
                         [](const auto& info) { return test::ParamName(info.param); });

TEST(SheetDeletion, LocalNamesFollowAndReferencesBreak) {
  std::filesystem::path in = vemo::test::SharedDir() / "corpus" / "xlsx" / "RepeatingRowsCols.xlsx";
  auto book = Workbook::Open(in);
  ASSERT_GE(book->SheetCount(), 3u);
  std::string second = book->GetSheet(1).name();
  std::set<std::pair<std::string, int>> expectedLocal;
  for (const DefinedName& n : book->DefinedNames()) {
    if (n.localSheetId == 0) expectedLocal.emplace(n.name, 0);
    if (n.localSheetId > 1) expectedLocal.emplace(n.name, n.localSheetId - 1);
  }
  ASSERT_FALSE(expectedLocal.empty());
  book->GetSheet(0).SetFormula(1, 1, "'" + second + "'!B2+1");
  book->DeleteSheet(1);
  EXPECT_EQ(book->GetSheet(0).GetFormula(1, 1)->text, "#REF!+1");
  std::set<std::pair<std::string, int>> local;
  for (const DefinedName& n : book->DefinedNames())
    if (n.localSheetId >= 0) local.emplace(n.name, n.localSheetId);
  EXPECT_EQ(local, expectedLocal);
}

TEST(SheetDeletion, TheOnlySheetCannotBeDeleted) {
  auto book = Workbook::Open(vemo::test::SharedDir() / "corpus" / "xlsx" / "49156.xlsx");
  ASSERT_EQ(book->SheetCount(), 1u);
  EXPECT_THROW(book->DeleteSheet(0), WorkbookError);
  EXPECT_THROW(book->DeleteSheet(3), WorkbookError);
}

}  // namespace
}  // namespace vemo::wb
