#include <gtest/gtest.h>

#include <string>

#include "support/files.h"
#include "support/run_command.h"
#include "support/test_paths.h"
#include "workbook/sheet.h"
#include "workbook/surface_support.h"
#include "workbook/workbook.h"

namespace vemo::wb {
namespace {

// The results a reader that does not recalculate shows (openpyxl for
// .xlsx, xlrd for .xls), one line per address: "F10=7.0".
constexpr const char* kCachedResults = R"(
import sys
path, cells = sys.argv[1], sys.argv[2:]
if path.endswith(".xls"):
    import xlrd
    sheet = xlrd.open_workbook(path).sheet_by_index(0)
    def value(a):
        col, row = ord(a[0]) - 65, int(a[1:]) - 1
        cell = sheet.cell(row, col)
        return xlrd.error_text_from_code[cell.value] if cell.ctype == xlrd.XL_CELL_ERROR else (
            bool(cell.value) if cell.ctype == xlrd.XL_CELL_BOOLEAN else cell.value)
else:
    import openpyxl
    sheet = openpyxl.load_workbook(path, data_only=True).worksheets[0]
    def value(a):
        v = sheet[a].value
        return float(v) if isinstance(v, int) and not isinstance(v, bool) else v
for a in cells:
    print("%s=%r" % (a, value(a)))
)";

std::string CachedResults(const std::filesystem::path& file, const std::string& cells) {
  const auto read = test::RunPythonCode(kCachedResults, test::ShellQuote(file) + " " + cells);
  EXPECT_EQ(read.status, 0) << read.output;
  return read.output;
}

// A filled template asks readers to recalculate; readers that do not still
// see the right results, because the results saved are computed again.
TEST(FormulaResults, AFilledWorkbookSavesItsResultsComputedAgain) {
  test::TempDir temp;
  for (const std::string format : {"xlsx", "xls"}) {
    SCOPED_TRACE(format);
    auto book = Workbook::Open(test::SourceDir() / ("examples/templates/purchase_order." + format));
    Sheet& sheet = book->GetSheet(0);
    ASSERT_EQ(sheet.FormulaText(10, 6).value_or(""), "SUM(F8:F9)");
    sheet.SetNumber(9, 6, 7);  // beside the text of F8, which SUM passes over
    sheet.SetFormula(1, 14, "1/0");
    sheet.SetFormula(2, 14, "\"a\"&\"b\"");
    sheet.SetFormula(3, 14, "F9>2");
    sheet.SetFormula(4, 14, "F10*2");
    sheet.SetFormula(5, 14, "2+3");  // numbers alone, and no result yet
    RequestFullCalcOnLoad(*book);
    const auto saved = temp / ("a." + format);
    book->Save(saved);
    EXPECT_EQ(CachedResults(saved, "F10 N1 N2 N3 N4 N5"),
              "F10=7.0\nN1='#DIV/0!'\nN2='ab'\nN3=True\nN4=14.0\nN5=5.0\n");
  }
}

}  // namespace
}  // namespace vemo::wb
