// A workbook saved as .xls and read again shows the same model: values,
// number formats, formulas, defined names, merges, column widths and row
// heights, whether it came from .xlsx or from .xls with edits made on it.
#include <gtest/gtest.h>

#include <sstream>

#include "support/test_paths.h"
#include "workbook/structural_edit.h"
#include "workbook/workbook.h"

namespace vemo::wb {
namespace {

// Formula text with sheet names unquoted: quoting a name that does not need
// it is a matter of style ('销售发票'!A1 and 销售发票!A1 are the same).
std::string Unquoted(std::string text) {
  std::erase(text, '\'');
  return text;
}

// What a reader of the workbook sees, one line per fact.
std::string View(Workbook& book) {
  std::ostringstream out;
  for (const DefinedName& n : book.DefinedNames()) out << "name " << n.name << " " << n.localSheetId << " " << Unquoted(n.text) << "\n";
  for (std::size_t s = 0; s < book.SheetCount(); ++s) {
    Sheet& sheet = book.GetSheet(s);
    out << "sheet " << sheet.name() << " " << static_cast<int>(sheet.visibility()) << "\n";
    for (const std::string& m : sheet.MergedRanges()) out << "merge " << m << "\n";
    for (int c = 1; c <= 30; ++c)
      if (auto w = sheet.ColumnWidth(c)) out << "col " << c << " " << *w << "\n";
    for (const Row& row : sheet.rows()) {
      if (auto h = sheet.RowHeight(static_cast<int>(row.number))) out << "row " << row.number << " " << *h << "\n";
      for (const Cell& cell : row.cells) {
        const CellContent v = sheet.GetValue(static_cast<int>(row.number), static_cast<int>(cell.col));
        const bool text = v.type == CellType::SharedString || v.type == CellType::String || v.type == CellType::InlineString;
        out << FormatCellAddress(static_cast<int>(row.number), static_cast<int>(cell.col)) << " "
            << (text ? "text" : std::to_string(static_cast<int>(v.type))) << " " << v.number << " " << v.text << " ["
            << book.styles().NumberFormatCode(cell.style) << "] "
            << Unquoted(sheet.FormulaText(static_cast<int>(row.number), static_cast<int>(cell.col)).value_or("")) << "\n";
      }
    }
  }
  return out.str();
}

TEST(XlsModel, SavedAsXlsAndReadAgainShowsTheSameWorkbook) {
  struct Case {
    const char* source;
    void (*edit)(Workbook&);
  };
  const Case cases[] = {
      {"examples/templates/sales_invoice_vat.xlsx", [](Workbook&) {}},
      {"examples/templates/courier_waybill.xlsx", [](Workbook&) {}},
      // The twins made by another program, with rows inserted as a fill does.
      {"examples/templates/sales_invoice_vat.xls", [](Workbook& b) { InsertRows(b, b.GetSheet(0), 9, 3, 8); }},
      {"examples/templates/stock_transfer.xls", [](Workbook& b) { InsertRows(b, b.GetSheet(0), 5, 2); }},
      {"examples/templates/sales_invoice_vat.xlsx",
       [](Workbook& b) {
         Sheet& s = b.GetSheet(0);
         s.SetString(40, 2, "新增 line ✓");
         s.SetNumber(41, 3, 1234.5);
         s.SetStyle(41, 3, b.styles().WithNumberFormat(0, "#,##0.00\"元\""));
         s.SetBoolean(42, 1, true);
         s.SetRowHeight(41, 30);
         s.SetColumnWidth(9, 21.5);
         s.AddMergedRange(*ParseCellRange("E40:F41"));
       }},
  };
  vemo::test::TempDir temp;
  for (const Case& c : cases) {
    auto book = Workbook::Open(vemo::test::SourceDir() / c.source);
    c.edit(*book);
    const std::string before = View(*book);
    book->Save(temp / "a.xls");
    auto again = Workbook::Open(temp / "a.xls");
    EXPECT_EQ(View(*again), before) << c.source;
    // A second round from .xls keeps it too (and the kept records stay in step).
    again->Save(temp / "b.xls");
    EXPECT_EQ(View(*Workbook::Open(temp / "b.xls")), before) << c.source;
    // And from .xls to .xlsx.
    again->Save(temp / "c.xlsx");
    EXPECT_EQ(View(*Workbook::Open(temp / "c.xlsx")), before) << c.source;
  }
}

}  // namespace
}  // namespace vemo::wb
