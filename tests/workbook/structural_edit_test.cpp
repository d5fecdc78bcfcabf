// Row and column insertion checked by explicit expectations on an invoice
// template and by the independent comparer on real workbooks.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <map>

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
  const std::string script = "import sys; sys.path[:0]=[" + test::Quote(SharedDir() / "tools" / "tests") + "," +
                             test::Quote(SharedDir() / "tools") + "]; import invoice_fixture; invoice_fixture.build(sys.argv[1])";
  std::ofstream(temp / "invoice.py") << script;
  auto made = test::RunPythonTool(temp / "invoice.py", test::Quote(temp / "invoice.xlsx"));
  EXPECT_EQ(made.exitCode, 0) << made.output;
  return temp / "invoice.xlsx";
}

test::ToolResult Compare(const std::filesystem::path& a, const std::filesystem::path& b, const std::string& edits) {
  return test::RunPythonTool(test::XlsxDiffTool(), test::Quote(a) + " " + test::Quote(b) + " " + edits);
}

std::string FormulaAt(const Sheet& sheet, int row, int col) {
  const Formula* f = sheet.GetFormula(row, col);
  return f ? f->text : "<none>";
}

TEST(InsertRows, BillEntryRowCopiedMovesEverythingBelow) {
  TempDir temp;
  auto in = MakeInvoice(temp);
  auto book = Workbook::Open(in);
  Sheet& bill = book->GetSheet(0);
  InsertRows(*book, bill, 6, 4, 6);

  for (int row = 6; row <= 10; ++row) {
    std::string r = std::to_string(row);
    EXPECT_EQ(FormulaAt(bill, row, 5), "C" + r + "*D" + r);
    EXPECT_EQ(bill.GetValue(row, 2).text, "&Item");
    EXPECT_EQ(bill.RowHeight(row), 18.0);
  }
  EXPECT_EQ(FormulaAt(bill, 11, 5), "SUM(E5:E10)");
  EXPECT_EQ(FormulaAt(bill, 11, 7), "$E$10*2");
  auto merges = bill.MergedRanges();
  for (const char* expected : {"A1:F1", "B3:D3", "F6:G6", "F8:G8", "F10:G10", "A13:F13"})
    EXPECT_NE(std::find(merges.begin(), merges.end(), expected), merges.end()) << expected;
  std::map<std::string, std::string> names;
  for (const DefinedName& n : book->DefinedNames()) names[n.name] = n.text;
  EXPECT_EQ(names["InvoiceTotal"], "Invoice!$E$11");
  EXPECT_EQ(names["_xlnm.Print_Area"], "'Invoice'!$A$1:$G$18");

  book->Save(temp / "out.xlsx");
  auto diff = Compare(in, temp / "out.xlsx", "--insert-rows 6:4:copy");
  EXPECT_EQ(diff.exitCode, 0) << diff.output;
}

// What the bill engine does: copy the entry row, fill the lines, delete the
// other sheets, add a thin first row and column.
TEST(InsertRows, FilledBillFramedAndAlone) {
  TempDir temp;
  auto in = MakeInvoice(temp);
  auto book = Workbook::Open(in);
  Sheet& bill = book->GetSheet(0);
  InsertRows(*book, bill, 6, 2, 6);
  for (int line = 0; line < 3; ++line) {
    bill.SetString(6 + line, 2, "Item " + std::to_string(line + 1));
    bill.SetNumber(6 + line, 3, 10 * (line + 1));
    bill.SetNumber(6 + line, 4, 2.5);
  }
  book->DeleteSheet(1);
  InsertRows(*book, bill, 1, 1);
  bill.SetRowHeight(1, 10);
  InsertColumns(*book, bill, 1, 1);
  bill.SetColumnWidth(1, 1);
  book->Save(temp / "out.xlsx");

  auto reopened = Workbook::Open(temp / "out.xlsx");
  const Sheet& out = reopened->GetSheet(0);
  EXPECT_EQ(out.GetValue(8, 3).text, "Item 2");
  EXPECT_EQ(FormulaAt(out, 10, 6), "SUM(F6:F9)");
  EXPECT_EQ(out.ColumnWidth(1), 1.0);
  EXPECT_EQ(out.RowHeight(1), 10.0);
  auto diff = Compare(in, temp / "out.xlsx",
                      "--first-sheet-only --insert-rows 6:2:copy 1:1 --insert-cols 1:1 --ignore-cells C7:E9");
  EXPECT_EQ(diff.exitCode, 0) << diff.output;
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
  EXPECT_EQ(diff.exitCode, 0) << edit << "\n" << diff.output;
}

std::string CaseName(const ::testing::TestParamInfo<CorpusCase>& info) {
  return test::ParamName(info.param.file) + (info.param.rows ? "_rows" : "_cols") + (info.param.copy ? "_copy" : "_blank");
}

INSTANTIATE_TEST_SUITE_P(Corpus, CorpusInsertion, ::testing::ValuesIn(CorpusCases()), CaseName);

}  // namespace
}  // namespace vemo::wb
