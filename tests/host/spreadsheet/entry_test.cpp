// Value and Formula writes follow spreadsheet entry: bill values arrive as
// text. How a text is read is the workbook tests' job; these check that the
// cell's own format reaches that reading and what the cell then holds.
#include <gtest/gtest.h>

#include "foundation/host_error.h"
#include "host/spreadsheet/surface_test_util.h"

namespace vemo::host {
namespace {

using SurfaceEntry = test::SurfaceBookTest;

TEST_F(SurfaceEntry, WritesBecomeTypedValuesByTheCellsFormat) {
  struct Case {
    const char* cell;  // C3 is formatted as Text, D9 as "0.00", G as General
    Variant written, value;
    const char* text;
  } cases[] = {
      {"G1", "1234.5", 1234.5, "1234.5"},
      {"G4", "", Variant(), ""},
      {"C3", "007", "007", "007"},
      {"C3", "=1+1", "=1+1", "=1+1"},
      {"G6", "2026-12-01", Variant(HostDate::FromParts(2026, 12, 1)), "2026-12-01"},
      {"D9", "2026-12-01", 46357.0, "46357.00"},
      {"G7", 12.75, 12.75, "12.75"},
      {"G8", true, true, "TRUE"},
      {"C3", 5, 5.0, "5"},  // a number stays a number even on a Text cell
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.cell) + " <- " + c.written.ToText());
    auto cell = sheet->Range(c.cell);
    cell->SetValue(c.written);
    EXPECT_EQ(cell->Value(), c.value);
    EXPECT_FALSE(cell->HasFormula());
    EXPECT_EQ(cell->Text(), c.text);
  }
  EXPECT_NE(sheet->Range("G6")->NumberFormat(), "General") << "a date on a General cell gets a date format";
  EXPECT_EQ(sheet->Range("D9")->NumberFormat(), "0.00") << "a formatted cell keeps its format";
  EXPECT_THROW(sheet->Range("G9")->SetValue(Variant(Bytes{1, 2})), HostError) << "objects cannot be written";
}

// Formulas get their values when written and on Calculate, as the keyword
// fill relies on; what cannot be computed is left to the reader's recalculation.
// What each formula computes is the workbook tests' job.

class SurfaceCalculate : public test::SurfaceBookTest {
 protected:
  // The cell's cached value and the workbook's recalculation request, as
  // openpyxl reads them from the saved file.
  std::string Saved(const std::string& cell) {
    auto out = dir / "calc.xlsx";
    book->SaveAs(out.string());
    return test::RunPythonCode(
               "import sys, openpyxl, zipfile, re\n"
               "x = zipfile.ZipFile(sys.argv[1]).read('xl/workbook.xml').decode()\n"
               "wb = openpyxl.load_workbook(sys.argv[1], data_only=True)\n"
               "print(repr(wb['Data'][sys.argv[2]].value), bool(re.search(r'<calcPr[^>]*fullCalcOnLoad=\"1\"', x)), end='')\n",
               test::ShellQuote(out) + " " + cell)
        .output;
  }
};

TEST_F(SurfaceCalculate, AWrittenFormulaShowsItsValueAtOnce) {
  sheet->Range("A1")->SetValue("7");
  const std::pair<const char*, const char*> cases[] = {
      {"=C1*2+A1", "91"},
      {"=A2+1", "15"},  // A2 = A1*2, saved without a cached value: computed too
  };
  for (const auto& [formula, text] : cases) {
    sheet->Range("G1")->SetFormula(formula);
    EXPECT_EQ(sheet->Range("G1")->Text(), text) << formula;
    EXPECT_EQ(sheet->Range("G1")->Formula(), formula);
  }
  sheet->Range("G2")->SetValue("=C1*2");  // Value takes a formula as typed too
  EXPECT_TRUE(sheet->Range("G2")->HasFormula());
  sheet->Range("G3")->SetFormula("15");
  EXPECT_EQ(sheet->Range("G3")->Value(), Variant(15.0));
  sheet->Range("G1")->SetFormula("=C1*2+A1");
  EXPECT_EQ(Saved("G1"), "91 True") << "the cached value is saved; readers still recalculate edited books";
}

TEST_F(SurfaceCalculate, CalculateComputesAFormulaWhoseInputsChanged) {
  auto cell = sheet->Range("A2");  // =A1*2, saved without a cached value
  sheet->Range("A1")->SetValue("10");
  cell->Calculate();
  EXPECT_EQ(cell->Value(), Variant(20.0));
}

TEST_F(SurfaceCalculate, TheKeywordFillsFormulaStepsGiveALiveFormula) {
  // As the fill does for a formula cell: General format, HasFormula (ignored
  // failure), then the new formula and Calculate.
  auto cell = sheet->Range("C3");  // formatted as Text
  cell->SetValue("=2*[$Page1_FQty]");
  cell->SetNumberFormatLocal("G/通用格式");
  EXPECT_THROW(cell->SetHasFormula(true), HostError);
  cell->SetFormula("=2*5");
  cell->Calculate();
  EXPECT_TRUE(cell->HasFormula());
  EXPECT_EQ(cell->Text(), "10");
}

TEST_F(SurfaceCalculate, UncomputableAndCircularFormulasAreKeptForTheReader) {
  sheet->Range("G2")->SetFormula("=G2+1");  // must not hang
  EXPECT_EQ(sheet->Range("G2")->Formula(), "=G2+1");
  sheet->Range("G1")->SetFormula("=NOSUCHFUNCTION(1)");
  EXPECT_TRUE(sheet->Range("G1")->HasFormula());
  EXPECT_EQ(Saved("G1"), "None True");
}

}  // namespace
}  // namespace vemo::host
