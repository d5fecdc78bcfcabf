// Formulas get their values when written and on Calculate, as the keyword
// fill relies on; what cannot be computed is left to the reader's recalculation.
#include <gtest/gtest.h>

#include "foundation/host_error.h"
#include "host/spreadsheet/surface_test_util.h"

namespace vemo::host {
namespace {

using test::MakeFixture;
using test::NewApp;

class SurfaceCalculate : public test::SurfaceBookTest {
 protected:
  std::string SavedCachedValue(const std::string& cell) {
    auto out = dir / "calc.xlsx";
    book->SaveAs(out.string());
    auto r = test::RunPythonCode(
        "import sys, openpyxl\n"
        "wb = openpyxl.load_workbook(sys.argv[1], data_only=True)\n"
        "print(repr(wb['Data'][sys.argv[2]].value), end='')\n",
        test::ShellQuote(out) + " " + cell);
    return r.output;
  }
};

TEST_F(SurfaceCalculate, AWrittenFormulaShowsItsValueAtOnce) {
  auto cell = sheet->Range("G1");
  cell->SetFormula("=C1*2+A1");
  EXPECT_EQ(cell->Text(), "1318.5");
  EXPECT_EQ(SavedCachedValue("G1"), "1318.5");
}

TEST_F(SurfaceCalculate, CalculateComputesAFormulaWhoseInputsChanged) {
  auto cell = sheet->Range("A2");  // =A1*2, saved without a cached value
  sheet->Range("A1")->SetValue("10");
  cell->Calculate();
  EXPECT_EQ(cell->Value(), Variant(20.0));
}

TEST_F(SurfaceCalculate, AFormulaOverAnotherFormulaComputesThatOneToo) {
  sheet->Range("A1")->SetValue("7");
  auto cell = sheet->Range("G2");
  cell->SetFormula("=A2+1");  // A2 = A1*2
  EXPECT_EQ(cell->Value(), Variant(15.0));
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

TEST_F(SurfaceCalculate, TextResultsAndErrorsAreKept) {
  auto text = sheet->Range("G1");
  text->SetFormula("=\"No. \"&C1");
  EXPECT_EQ(text->Text(), "No. 42");
  auto error = sheet->Range("G2");
  error->SetFormula("=1/0");
  EXPECT_EQ(error->Text(), "#DIV/0!");
}

TEST_F(SurfaceCalculate, AnUncomputableFormulaLeavesTheValueToTheReader) {
  auto cell = sheet->Range("G1");
  cell->SetFormula("=NOSUCHFUNCTION(1)");
  EXPECT_TRUE(cell->HasFormula());
  EXPECT_EQ(SavedCachedValue("G1"), "None");
  auto calc = test::RunPythonCode(
      "import sys, zipfile, re\n"
      "x = zipfile.ZipFile(sys.argv[1]).read('xl/workbook.xml').decode()\n"
      "print(bool(re.search(r'<calcPr[^>]*fullCalcOnLoad=\"1\"', x)), end='')\n",
      test::ShellQuote(dir / "calc.xlsx"));
  EXPECT_EQ(calc.output, "True");
}

TEST_F(SurfaceCalculate, ACircularFormulaDoesNotHang) {
  auto cell = sheet->Range("G1");
  cell->SetFormula("=G1+1");
  EXPECT_TRUE(cell->HasFormula());
  EXPECT_EQ(cell->Formula(), "=G1+1");
}

}  // namespace
}  // namespace vemo::host
