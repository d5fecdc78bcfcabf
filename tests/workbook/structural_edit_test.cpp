// Row and column insertion checked by explicit expectations on a bill
// template and by the independent comparer on real workbooks.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "support/test_paths.h"
#include "workbook/structural_edit.h"
#include "workbook/workbook.h"
#include "workbook/workbook_error.h"
#include "workbook/workbook_test_util.h"

namespace vemo::wb {
namespace {

using vemo::test::SharedDir;
using vemo::test::SourceDir;
using vemo::test::TempDir;

std::filesystem::path MakeBillTemplate(const TempDir& temp) {
  std::filesystem::path out = temp / "bill.xlsx";
  auto made = test::RunPythonTool(SourceDir() / "tests" / "workbook" / "fixtures" / "make_bill_template.py",
                                  test::Quote(out));
  EXPECT_EQ(made.exitCode, 0) << made.output;
  return out;
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
  auto in = MakeBillTemplate(temp);
  auto book = Workbook::Open(in);
  Sheet& bill = book->GetSheet(0);
  InsertRows(*book, bill, 8, 4, 8);

  for (int row = 8; row <= 12; ++row) {
    std::string r = std::to_string(row);
    EXPECT_EQ(FormulaAt(bill, row, 5), "C" + r + "*D" + r);
    EXPECT_EQ(bill.GetValue(row, 2).text, "&Item");
    EXPECT_EQ(bill.RowHeight(row), 18.0);
  }
  EXPECT_EQ(FormulaAt(bill, 13, 5), "SUM(E7:E12)");
  EXPECT_EQ(FormulaAt(bill, 13, 6), "E13*$C$3");
  auto merges = bill.MergedRanges();
  for (const char* expected : {"A1:G1", "B3:D3", "F8:G8", "F10:G10", "F12:G12", "A15:C15"})
    EXPECT_NE(std::find(merges.begin(), merges.end(), expected), merges.end()) << expected;
  bool nameMoved = false;
  for (const DefinedName& n : book->DefinedNames()) {
    if (n.name == "BillTotal") nameMoved = n.text == "Bill!$E$13";
    if (n.name == "_xlnm.Print_Area") {
      EXPECT_EQ(n.text, "'Bill'!$A$1:$G$15");
    }
  }
  EXPECT_TRUE(nameMoved);

  book->Save(temp / "out.xlsx");
  auto diff = Compare(in, temp / "out.xlsx", "--insert-rows 8:4:copy");
  EXPECT_EQ(diff.exitCode, 0) << diff.output;
}

TEST(InsertRows, FilledBillFramedAndAlone) {
  // What the bill engine does: copy the entry row, fill the lines, delete the
  // other sheets, add a thin first row and column.
  TempDir temp;
  auto in = MakeBillTemplate(temp);
  auto book = Workbook::Open(in);
  Sheet& bill = book->GetSheet(0);
  InsertRows(*book, bill, 8, 2, 8);
  for (int line = 0; line < 3; ++line) {
    bill.SetNumber(8 + line, 1, line + 1);
    bill.SetString(8 + line, 2, "Item " + std::to_string(line + 1));
    bill.SetNumber(8 + line, 3, 10 * (line + 1));
    bill.SetNumber(8 + line, 4, 2.5);
  }
  book->DeleteSheet(1);
  InsertRows(*book, bill, 1, 1);
  bill.SetRowHeight(1, 10);
  InsertColumns(*book, bill, 1, 1);
  bill.SetColumnWidth(1, 1);
  book->Save(temp / "out.xlsx");

  auto reopened = Workbook::Open(temp / "out.xlsx");
  const Sheet& out = reopened->GetSheet(0);
  EXPECT_EQ(out.GetValue(10, 3).text, "Item 2");
  EXPECT_EQ(FormulaAt(out, 12, 6), "SUM(F8:F11)");
  EXPECT_EQ(out.ColumnWidth(1), 1.0);
  EXPECT_EQ(out.RowHeight(1), 10.0);

  auto diff = Compare(in, temp / "out.xlsx",
                      "--first-sheet-only --insert-rows 8:2:copy 1:1 --insert-cols 1:1 --ignore-cells B9:E11");
  EXPECT_EQ(diff.exitCode, 0) << diff.output;
}

TEST(InsertRows, SharedInvoiceFixtureSequence) {
  TempDir temp;
  std::filesystem::path in = temp / "invoice.xlsx";
  std::string script = "import sys; sys.path[:0]=[" + test::Quote(SharedDir() / "tools" / "tests") + "," +
                       test::Quote(SharedDir() / "tools") +
                       "]; import invoice_fixture; invoice_fixture.build(sys.argv[1])";
  std::ofstream(temp / "make.py") << script;
  auto made = test::RunPythonTool(temp / "make.py", test::Quote(in));
  ASSERT_EQ(made.exitCode, 0) << made.output;

  auto book = Workbook::Open(in);
  Sheet& sheet = book->GetSheet(0);
  InsertRows(*book, sheet, 6, 3, 6);
  InsertRows(*book, sheet, 1, 1);
  InsertColumns(*book, sheet, 1, 1);
  while (book->SheetCount() > 1) book->DeleteSheet(book->SheetCount() - 1);
  book->Save(temp / "out.xlsx");
  auto diff = Compare(in, temp / "out.xlsx", "--first-sheet-only --insert-rows 6:3:copy 1:1 --insert-cols 1:1");
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
  std::ifstream manifest(SharedDir() / "corpus" / "MANIFEST.tsv");
  for (std::string line; std::getline(manifest, line);) {
    std::vector<std::string> fields;
    std::stringstream split(line);
    for (std::string field; std::getline(split, field, '\t');) fields.push_back(field);
    if (fields.size() > 6 && fields[0] == "xlsx/" + file)
      return ParseCellRange(fields[6].substr(0, fields[6].find(' ')));  // "A1 (dimension)"
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
  std::string name;
  for (char ch : info.param.file.substr(0, info.param.file.size() - 5))
    name += std::isalnum(static_cast<unsigned char>(ch)) ? ch : '_';
  return name + (info.param.rows ? "_rows" : "_cols") + (info.param.copy ? "_copy" : "_blank");
}

INSTANTIATE_TEST_SUITE_P(Corpus, CorpusInsertion, ::testing::ValuesIn(CorpusCases()), CaseName);

}  // namespace
}  // namespace vemo::wb
