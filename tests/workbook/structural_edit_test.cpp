// Structural edits: row and column insertion checked by the independent
// comparer on an invoice template and on real workbooks, and at the edge of
// the sheet; sheet deletion, its names and the references it breaks.
#include <gtest/gtest.h>

#include <cstdlib>
#include <set>

#include "support/run_command.h"
#include "support/test_paths.h"
#include "workbook/structural_edit.h"
#include "workbook/workbook.h"
#include "workbook/workbook_error.h"
#include "workbook/workbook_test_util.h"

namespace vemo::wb {
namespace {

using vemo::test::SharedDir;
using vemo::test::TempDir;

// The shared invoice template: entry row 6 (=C6*D6, F6:G6 merged, height
// 18), totals in row 7, print area A1:G14, name InvoiceTotal = $E$7.
std::filesystem::path MakeInvoice(const TempDir& temp) {
  auto made = vemo::test::RunPythonCode("import sys; sys.path[:0] = sys.argv[2:]; import invoice_fixture; invoice_fixture.build(sys.argv[1])",
                                        vemo::test::ShellQuote(temp / "invoice.xlsx") + " " + vemo::test::ShellQuote(SharedDir() / "tools" / "tests") +
                                            " " + vemo::test::ShellQuote(SharedDir() / "tools"));
  EXPECT_EQ(made.status, 0) << made.output;
  return temp / "invoice.xlsx";
}

vemo::test::CommandResult Compare(const std::filesystem::path& a, const std::filesystem::path& b, const std::string& edits) {
  return vemo::test::RunPython(vemo::test::XlsxDiffTool(), vemo::test::ShellQuote(a) + " " + vemo::test::ShellQuote(b) + " " + edits);
}

// The entry row copied four times and a margin column put in front, as a
// bill is filled: the comparer checks every category (cells and formulas,
// merges, row heights, names, print area) against the edits it is told of.
TEST(InsertRows, BillEntryRowCopiedAndMarginColumnMoveEverything) {
  TempDir temp;
  auto in = MakeInvoice(temp);
  auto book = Workbook::Open(in);
  InsertRows(*book, book->GetSheet(0), 6, 4, 6);
  InsertColumns(*book, book->GetSheet(0), 1, 1);
  book->Save(temp / "out.xlsx");
  auto diff = Compare(in, temp / "out.xlsx", "--insert-rows 6:4:copy --insert-cols 1:1");
  EXPECT_EQ(diff.status, 0) << diff.output;
}

// A file formatted out to XFD1048576 (cells and rows with a style only)
// takes insertions: what only carries a format falls off the end. A value or
// formula at the edge refuses the insertion, naming its cell, and leaves the
// sheet as it was.
TEST(InsertRows, FormatOnlyCellsFallOffTheEdgeCellsWithContentRefuse) {
  auto book = Workbook::Open(SharedDir() / "corpus" / "xlsx" / "issue_174.xlsx");
  Sheet& sheet = book->GetSheet(0);
  const std::string first = sheet.GetValue(1, 1).text;
  InsertRows(*book, sheet, 2, 5);
  InsertColumns(*book, sheet, 2, 5);
  EXPECT_EQ(sheet.GetValue(1, 1).text, first);
  EXPECT_EQ(sheet.FindRow(1048576), nullptr);
  for (const Row& row : sheet.rows()) EXPECT_LE(row.cells.empty() ? 0u : row.cells.back().col, 16384u);
  struct Case {
    int row, col;
    bool formula, rows;
    const char* cell;
  };
  for (const Case& c : {Case{1048576, 2, false, true, "B1048576"}, Case{4, 16384, true, false, "XFD4"}}) {
    c.formula ? sheet.SetFormula(c.row, c.col, "1+1") : sheet.SetNumber(c.row, c.col, 7);
    const auto before = sheet.UsedRange();
    try {
      c.rows ? InsertRows(*book, sheet, 2, 1) : InsertColumns(*book, sheet, 2, 1);
      ADD_FAILURE() << c.cell << " was pushed off the sheet";
    } catch (const WorkbookError& e) {
      EXPECT_NE(std::string(e.what()).find(std::string("cell ") + c.cell + " holds"), std::string::npos) << e.what();
    }
    EXPECT_EQ(FormatCellRange(*before), FormatCellRange(*sheet.UsedRange()));
    sheet.ClearValue(c.row, c.col);
  }
  EXPECT_THROW(InsertRows(*book, sheet, 0, 1), WorkbookError);
}

// Corpus files with merges, conditional formats, validations, pictures,
// charts, print titles, shared formulas, tables, comments and hyperlinks; the
// insertion goes into the middle of the first sheet's used range.
struct CorpusCase {
  std::string file;
  bool rows;
  bool copy;
};

std::vector<CorpusCase> CorpusCases() {
  const char* files[] = {"45540_form_Footer.xlsx", "ConditionalFormattingSamples.xlsx", "DataValidation.xlsx",
                         "WithDrawing.xlsx", "WithThreeCharts.xlsx", "RepeatingRowsCols.xlsx",
                         "TestShiftRowSharedFormula.xlsx", "ImageAnchors.xlsx", "NewStyleConditionalFormattings.xlsx",
                         "Tables.xlsx", "commentTest.xlsx", "hyperlinks.xlsx", "57893-many-merges.xlsx",
                         "simple-monthly-budget.xlsx", "GroupTest.xlsx", "49156.xlsx", "56644.xlsx", "45544.xlsx",
                         "cell-anchored-hidden-shapes.xlsx", "WithEmbeded.xlsx", "StructuredRefs-lots-with-lookups.xlsx"};
  std::vector<CorpusCase> cases;
  for (const char* f : files)
    for (bool rows : {true, false})
      for (bool copy : {false, true}) cases.push_back({f, rows, copy});
  return cases;
}

std::optional<CellRange> ManifestUsedRange(const std::string& file) {
  for (const auto& row : test::Manifest())
    if (row.at("file") == "xlsx/" + file && row.count("first_sheet_used_range")) {
      const std::string& used = row.at("first_sheet_used_range");  // "A1 (dimension)"
      return ParseCellRange(used.substr(0, used.find(' ')));
    }
  return std::nullopt;
}

void PrintTo(const CorpusCase& c, std::ostream* os) {
  *os << c.file << (c.rows ? " rows" : " columns") << (c.copy ? " copy" : " blank");
}

class CorpusInsertion : public ::testing::TestWithParam<CorpusCase> {};

TEST_P(CorpusInsertion, MatchesTheComparer) {
  const CorpusCase& c = GetParam();
  std::filesystem::path in = SharedDir() / "corpus" / "xlsx" / c.file;
  auto used = ManifestUsedRange(c.file);
  ASSERT_TRUE(used) << c.file;
  int at = c.rows ? (used->first.row + used->last.row) / 2 : (used->first.col + used->last.col) / 2;
  TempDir temp;
  auto book = Workbook::Open(in);
  Sheet* sheet = nullptr;
  for (std::size_t i = 0; i < book->SheetCount() && !sheet; ++i)
    if (book->GetSheet(i).kind() == SheetKind::Worksheet) sheet = &book->GetSheet(i);
  ASSERT_NE(sheet, nullptr);
  std::optional<int> copy = c.copy ? std::optional<int>(at) : std::nullopt;
  if (c.rows) InsertRows(*book, *sheet, at, 3, copy);
  else InsertColumns(*book, *sheet, at, 3, copy);
  book->Save(temp / "out.xlsx");
  if (vemo::test::CorpusComparerSkipped()) GTEST_SKIP() << "saved; the comparer runs in the normal test run";
  std::string edit = std::string(c.rows ? "--insert-rows " : "--insert-cols ") + std::to_string(at) + ":3" +
                     (c.copy ? ":copy" : "");
  auto diff = Compare(in, temp / "out.xlsx", edit);
  EXPECT_EQ(diff.status, 0) << edit << "\n" << diff.output;
}

std::string CaseName(const ::testing::TestParamInfo<CorpusCase>& info) {
  return test::ParamName(info.param.file) + (info.param.rows ? "_rows" : "_cols") + (info.param.copy ? "_copy" : "_blank");
}

INSTANTIATE_TEST_SUITE_P(Corpus, CorpusInsertion, ::testing::ValuesIn(CorpusCases()), CaseName);

// Deleting every sheet but the first, as the bill engine does before saving.
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
  std::filesystem::path in = SharedDir() / "corpus" / "xlsx" / GetParam();
  TempDir temp;
  auto book = Workbook::Open(in);
  while (book->SheetCount() > 1) book->DeleteSheet(book->SheetCount() - 1);
  book->Save(temp / "out.xlsx");
  auto diff = Compare(in, temp / "out.xlsx", "--first-sheet-only");
  EXPECT_EQ(diff.status, 0) << diff.output;
  // The saved package holds no part of the deleted sheets any more.
  auto reopened = Workbook::Open(temp / "out.xlsx");
  EXPECT_EQ(reopened->SheetCount(), 1u);
}

INSTANTIATE_TEST_SUITE_P(Corpus, DeleteAllButFirst, ::testing::ValuesIn(MultiSheetCorpusFiles()),
                         [](const auto& info) { return test::ParamName(info.param); });

TEST(SheetDeletion, LocalNamesFollowAndReferencesBreak) {
  std::filesystem::path in = SharedDir() / "corpus" / "xlsx" / "RepeatingRowsCols.xlsx";
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
  auto book = Workbook::Open(SharedDir() / "corpus" / "xlsx" / "49156.xlsx");
  ASSERT_EQ(book->SheetCount(), 1u);
  EXPECT_THROW(book->DeleteSheet(0), WorkbookError);
  EXPECT_THROW(book->DeleteSheet(3), WorkbookError);
}

}  // namespace
}  // namespace vemo::wb
