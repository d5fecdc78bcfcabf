// Formulas get their values when written and on Calculate, as the keyword
// fill relies on; what cannot be computed is left to the reader's recalculation.
// What each formula computes is the workbook tests' job.
#include <gtest/gtest.h>

#include "foundation/host_error.h"
#include "host/spreadsheet/surface_test_util.h"

namespace vemo::host {
namespace {

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
      {"=\"No. \"&C1", "No. 42"},
      {"=1/0", "#DIV/0!"},
  };
  for (const auto& [formula, text] : cases) {
    sheet->Range("G1")->SetFormula(formula);
    EXPECT_EQ(sheet->Range("G1")->Text(), text) << formula;
  }
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
