// A small fill of the invoice template driven only through the surface, the
// way the template engine does it: keep the first sheet, expand the entry row,
// write head and entry values, add the margins, save and close.
#include <gtest/gtest.h>

#include <cstdlib>
#include <set>

#include "foundation/creation_service.h"
#include "host/spreadsheet/surface_test_util.h"

namespace vemo::host {
namespace {

using test::MakeFixture;
using test::ShellQuote;

struct Line {
  std::string name, qty, price;
};

TEST(InvoiceFill, FilledInvoiceMatchesTheTemplateAfterTheEditsAndOpensElsewhere) {
  vemo::test::TempDir dir;
  auto templ = MakeFixture(dir, "invoice");
  auto out = dir / "filled.xlsx";
  std::filesystem::copy_file(templ, out);
  const std::vector<Line> lines = {{"Bolt M6", "100", "0.35"}, {"Nut M6", "250", "0.1"}, {"Washer", "40", "1,250.5"},
                                   {"Spring", "7", "12"}};
  const int n = static_cast<int>(lines.size());

  RegisterSpreadsheetApplication();
  auto app = CreateObjectAs<IApplication>("ET.Application");
  app->SetDisplayAlerts(false);
  auto book = app->Workbooks()->Open(out.string());
  for (int i = book->Worksheets()->Count(); i >= 2; --i) book->Sheets()->Item(i)->Delete();
  auto sheet = book->Worksheets()->Item(1);
  auto scan = sheet->UsedRange();

  // Expand: the first entry keyword's row is copied n-1 times above itself
  // ("[$$$" opens a plain head keyword, not an entry keyword).
  auto entry = scan->Find("[$$");
  while (entry && entry->Text().rfind("[$$Page", 0) != 0) entry = scan->FindNext(entry);
  ASSERT_TRUE(entry);
  EXPECT_EQ(entry->Address(), "$A$6");
  int entryRow = entry->Row();
  sheet->Rows(entryRow)->Copy();
  sheet->Rows(entryRow)->Resize(n - 1)->Insert(kShiftDown, 0);
  EXPECT_EQ(entry->Row(), entryRow + n - 1);  // the found cell moved with its row

  // Fill every keyword cell, in the order the scan finds them.
  std::set<std::string> seen;
  for (auto cell = scan->Find("[$"); cell && seen.insert(cell->Address()).second; cell = scan->FindNext(cell)) {
    std::string text = cell->Text();
    if (text.find("[$$Page2_") == 0) {
      for (int i = 0; i < n; ++i) {
        auto target = cell->Cells(1 - (cell->Row() - entryRow) + i, 1);
        if (text == "[$$Page2_EntryID]") target->SetValue(i + 1);
        else if (text == "[$$Page2_FItemName]") target->SetValue(lines[i].name);
        else if (text == "[$$Page2_FQty]") target->SetValue(lines[i].qty);
        else if (text == "[$$Page2_FPrice]") target->SetValue(lines[i].price);
      }
    } else if (text == "[$Page1_FBillNo]") {
      cell->Cells(1, 1)->SetValue("XS-0001");
    } else if (text == "[$Page1_FDate]") {
      cell->Cells(1, 1)->SetValue("2026-12-01");
    } else if (text == "[$$$FCustName]") {
      cell->Cells(1, 1)->SetValue("'0012 Trading Co.");
    }
  }
  EXPECT_EQ(seen.size(), 7u);  // three head keywords and the four keyword cells of the first entry row

  sheet->Rows(1)->Insert(kShiftDown);
  sheet->Rows(1)->SetRowHeight(10);
  sheet->Columns(1)->Insert(kShiftToRight);
  sheet->Columns(1)->SetColumnWidth(1);
  SaveAsOptions save;
  save.fileName = out.string();
  book->SaveAs(save);
  book->Close(true, out.string());
  app->Quit();

  // Everything but the filled cells is the template after the same edits.
  std::string firstEntry = std::to_string(entryRow + 1), lastEntry = std::to_string(entryRow + n);
  auto diff = test::RunPython(vemo::test::XlsxDiffTool(),
                              ShellQuote(templ) + " " + ShellQuote(out) + " --first-sheet-only --insert-rows " +
                                  std::to_string(entryRow) + ":" + std::to_string(n - 1) +
                                  ":copy 1:1 --insert-cols 1:1 --ignore-styles F3 --ignore-cells C3 F3 C4 B" + firstEntry + ":F" +
                                  lastEntry);
  EXPECT_EQ(diff.status, 0) << diff.output;

  auto values = test::RunPythonCode(
      "import sys, openpyxl\n"
      "ws = openpyxl.load_workbook(sys.argv[1]).active\n"
      "cells = ['C3', 'F3', 'C4', 'B7', 'C7', 'E7', 'F9', 'G10', 'B12', 'G12']\n"
      "print('|'.join(repr(ws[c].value) for c in cells), ws.row_dimensions[1].height,"
      " ws.column_dimensions['A'].width, end='')\n",
      ShellQuote(out));
  EXPECT_EQ(values.output,
            "'XS-0001'|datetime.datetime(2026, 12, 1, 0, 0)|'0012 Trading Co.'|1|'Bolt M6'|100|1250.5|'=E10*F10'|"
            "'Total'|'=SUM(G10:G10)' 10.0 1.0");

  if (const char* lo = std::getenv("VEMO_LO_CHECK"); lo && std::string(lo) == "1") {
    auto check = test::RunPython(vemo::test::SharedDir() / "tools/lo_check.py", ShellQuote(out));
    EXPECT_EQ(check.status, 0) << check.output;
  }
}

}  // namespace
}  // namespace vemo::host
