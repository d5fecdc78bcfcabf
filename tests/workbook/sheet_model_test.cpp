// The cell model and its surface: values in and out, shared formulas, styles,
// column widths, merges, shared strings; each change checked after a save and
// a fresh open.
#include <gtest/gtest.h>

#include <fstream>
#include <set>

#include "support/run_command.h"
#include "support/test_paths.h"
#include "workbook/model/xml_access.h"
#include "workbook/surface_support.h"
#include "workbook/workbook.h"
#include "workbook/workbook_error.h"

namespace vemo::wb {
namespace {

using vemo::test::SharedDir;
using vemo::test::TempDir;

std::filesystem::path Corpus(const char* name) { return SharedDir() / "corpus" / "xlsx" / name; }

std::unique_ptr<Workbook> SaveAndReopen(Workbook& book, const TempDir& temp) {
  book.Save(temp / "saved.xlsx");
  return Workbook::Open(temp / "saved.xlsx");
}

// Values of every kind, merges and row heights survive a save and a fresh
// open; so does a text XML cannot carry as it is, in a file a strict parser
// (Python's expat) reads; and a shared formula's cells keep it when its
// first cell is overwritten.
TEST(SheetModel, EditsOfEveryKindSurviveSaveAndOpen) {
  TempDir temp;
  auto book = Workbook::Open(Corpus("TestShiftRowSharedFormula.xlsx"));
  Sheet& sheet = book->GetSheet(0);
  EXPECT_EQ(sheet.GetFormula(5, 5)->kind, FormulaKind::Shared);
  EXPECT_TRUE(sheet.MergedRanges().empty());
  sheet.SetNumber(10, 1, 0.1);
  sheet.SetNumber(10, 2, -1234567.890123);
  sheet.SetString(10, 3, " leading space & <markup>\n");
  sheet.SetBoolean(10, 4, true);
  sheet.SetFormula(10, 5, "SUM(C2:C4)&\"<\"");
  sheet.SetNumber(11, 16384, 5);
  sheet.SetString(20, 1, std::string("\x00\x0B\xEF\xBF\xBE_x0041_ bad\xFF", 17));  // escapes: shared_strings_test
  sheet.SetFormula(21, 1, "\"a\x01" "b\"&\"_x0042_\"");
  sheet.SetNumber(5, 4, 99);  // D5 held the shared formula's text
  sheet.AddMergedRange(*ParseCellRange("B8:D8"));
  sheet.SetRowHeight(8, 30);
  EXPECT_THROW(sheet.SetNumber(1, 16385, 1), WorkbookError);
  EXPECT_THROW(sheet.SetNumber(0, 1, 1), WorkbookError);

  auto again = SaveAndReopen(*book, temp);
  const Sheet& out = again->GetSheet(0);
  EXPECT_EQ(out.GetValue(10, 1).number, 0.1);
  EXPECT_EQ(out.GetValue(10, 2).number, -1234567.890123);
  EXPECT_EQ(out.GetValue(10, 3).text, " leading space & <markup>\n");
  EXPECT_EQ(out.GetValue(10, 4).type, CellType::Boolean);
  EXPECT_TRUE(out.GetValue(10, 4).boolean);
  EXPECT_EQ(*out.FormulaText(10, 5), "SUM(C2:C4)&\"<\"");
  EXPECT_EQ(FormatCellRange(*out.UsedRange()), "A2:XFD21");
  EXPECT_EQ(out.GetValue(20, 1).text, std::string("\x00\x0B\xEF\xBF\xBE_x0041_ bad\xEF\xBF\xBD", 19));
  EXPECT_EQ(*out.FormulaText(21, 1), "\"a\x01" "b\"&\"_x0042_\"");
  EXPECT_FALSE(out.FormulaText(5, 4).has_value());
  EXPECT_EQ(*out.FormulaText(5, 5), "SUM(E2:E4)");
  EXPECT_EQ(out.MergedRanges(), std::vector<std::string>{"B8:D8"});
  EXPECT_EQ(out.RowHeight(8), 30.0);
  EXPECT_FALSE(out.RowHeight(9).has_value());
  const auto check = vemo::test::RunCommand(
      "/usr/bin/python3 -c 'import sys, zipfile, xml.dom.minidom as m\n"
      "z = zipfile.ZipFile(sys.argv[1])\n"
      "[m.parseString(z.read(n)) for n in z.namelist() if n.endswith((\".xml\", \".rels\"))]' " +
      vemo::test::ShellQuote(temp / "saved.xlsx"));
  EXPECT_EQ(check.status, 0) << check.output;
}

// A new number format makes (or reuses) a style copying the rest of the
// base style; the code table made at the first question follows it.
TEST(SheetModel, NewNumberFormatStyleCopiesTheRestOfTheStyle) {
  TempDir temp;
  auto book = Workbook::Open(Corpus("DateFormatTests.xlsx"));
  Styles& styles = book->styles();
  const std::string general = styles.NumberFormatCode(0);  // the code table is made here
  std::size_t before = styles.CellStyleCount();
  std::uint32_t base = before > 1 ? 1 : 0;
  std::uint32_t made = styles.WithNumberFormat(base, "#,##0.00;[Red]-#,##0.00");
  EXPECT_EQ(styles.WithNumberFormat(base, "#,##0.00;[Red]-#,##0.00"), made);  // reused
  EXPECT_EQ(styles.NumberFormatCode(made), "#,##0.00;[Red]-#,##0.00");
  EXPECT_EQ(styles.NumberFormatCode(styles.WithNumberFormat(base, "0.00%")), "0.00%");
  EXPECT_EQ(styles.NumberFormatId(styles.WithNumberFormat(base, "0.00%")), 10u);  // built-in id
  EXPECT_EQ(styles.NumberFormatCode(0), general);
  // A style index past the last one shows what style 0's format id 0 means.
  EXPECT_EQ(styles.NumberFormatCode(1000000), "General");
  book->GetSheet(0).SetNumber(1, 1, 3.5);
  book->GetSheet(0).SetStyle(1, 1, made);
  auto again = SaveAndReopen(*book, temp);
  EXPECT_EQ(again->styles().NumberFormatCode(again->GetSheet(0).FindCell(1, 1)->style), "#,##0.00;[Red]-#,##0.00");
  EXPECT_GT(again->styles().CellStyleCount(), before);
}

TEST(SheetModel, ColumnWidthSplitsASharedColumnSpan) {
  TempDir temp;
  auto book = Workbook::Open(Corpus("46535.xlsx"));  // columns E:F share one entry
  Sheet& sheet = book->GetSheet(0);
  double shared = *sheet.ColumnWidth(5);
  sheet.SetColumnWidth(6, 1);
  sheet.SetColumnWidth(30, 2.5);  // inside the open span S..XFD
  auto again = SaveAndReopen(*book, temp);
  const Sheet& out = again->GetSheet(0);
  EXPECT_EQ(out.ColumnWidth(5), shared);
  EXPECT_EQ(out.ColumnWidth(6), 1.0);
  EXPECT_EQ(out.ColumnWidth(30), 2.5);
  EXPECT_EQ(out.ColumnWidth(31), out.ColumnWidth(29));
}

// Rows and columns without a size of their own take the sheet's defaults
// (sheetFormatPr), the caller's fallback where the sheet gives none.
TEST(SheetModel, DefaultSizesComeFromTheSheetFormat) {
  auto book = Workbook::Open(Corpus("TestShiftRowSharedFormula.xlsx"));
  Sheet& sheet = book->GetSheet(0);
  pugi::xml_node pr = EnsureChildInOrder(SheetXml(sheet).document_element(), "sheetFormatPr", kWorksheetOrder,
                                         kWorksheetOrderSize);
  pr.remove_attribute("defaultRowHeight");
  pr.remove_attribute("defaultColWidth");
  EXPECT_EQ(DefaultRowHeight(sheet, 15), 15);
  EXPECT_EQ(DefaultColumnWidth(sheet, 8.43), 8.43);
  pr.append_attribute("defaultRowHeight") = "20.25";
  pr.append_attribute("defaultColWidth") = "12.5";
  EXPECT_EQ(DefaultRowHeight(sheet, 15), 20.25);
  EXPECT_EQ(DefaultColumnWidth(sheet, 8.43), 12.5);
}

// Row lookups start where a row would be without gaps and step back over
// them: checked against the plain rule on rows with small and large gaps,
// before the first row and past the last.
TEST(SheetModel, RowsAreFoundAcrossGapsOfEverySize) {
  auto book = Workbook::Open(Corpus("TestShiftRowSharedFormula.xlsx"));
  Sheet& sheet = book->GetSheet(0);
  std::set<int> present;
  for (const Row& row : sheet.rows()) present.insert(static_cast<int>(row.number));
  for (int row : {30, 31, 33, 40, 41, 42, 43, 44, 45, 46, 47, 48, 49, 60, 200, 201, 5000})
    if (present.insert(row).second) sheet.SetNumber(row, 2, row);
  for (int row = 1; row <= 5100; ++row) {
    const Row* found = sheet.FindRow(row);
    ASSERT_EQ(found != nullptr, present.count(row) == 1) << "row " << row;
    if (found) {
      ASSERT_EQ(found->number, static_cast<std::uint32_t>(row));
    }
  }
  EXPECT_EQ(sheet.GetValue(5000, 2).number, 5000);
  EXPECT_EQ(sheet.GetValue(47, 2).number, 47);
}

TEST(SheetModel, ChangedCellsDropTheCalculationChain) {
  TempDir temp;
  auto book = Workbook::Open(Corpus("45544.xlsx"));
  ASSERT_TRUE(book->HasPart("xl/calcChain.xml"));
  book->Save(temp / "same.xlsx");
  EXPECT_TRUE(Workbook::Open(temp / "same.xlsx")->HasPart("xl/calcChain.xml"));
  book->GetSheet(0).SetNumber(1, 1, 1);
  auto again = SaveAndReopen(*book, temp);
  EXPECT_FALSE(again->HasPart("xl/calcChain.xml"));
}

}  // namespace
}  // namespace vemo::wb
