// Conditional formats and hyperlinks of .xls workbooks are read into the
// model and written from it: saved as .xls again, and saved as .xlsx then
// that saved as .xls, LibreOffice finds the rules (kind, comparison,
// formulas, format), their ranges and the links (target, place, text shown,
// tooltip) of the original.
#include <gtest/gtest.h>

#include "support/test_paths.h"
#include "workbook/workbook.h"
#include "workbook/workbook_test_util.h"

namespace vemo::wb {
namespace {

TEST(XlsCrossFormat, ConditionalFormatsAndHyperlinksSurviveBothRoutes) {
  if (!test::LibreOfficeChecks()) GTEST_SKIP() << "set VEMO_LO_CHECK=1 to run";
  const char* const files[] = {
      "47847.xls",                   // cell-value rules, bold and italic, links into the workbook
      "29982.xls",                   // formula rules over several ranges
      "50939.xls",                   // formula rules of three per header, fills and fonts
      "ConditionalFormattingSamples.xls",  // borders, the newer records beside them
      "44958.xls",                   // web links with text shown
      "HyperlinksOnManySheets.xls",  // web, mail and workbook links on several sheets
  };
  for (const char* file : files) {
    SCOPED_TRACE(file);
    vemo::test::TempDir temp;
    const std::filesystem::path in = vemo::test::SharedDir() / "corpus" / "xls" / file;
    Workbook::Open(in)->Save(temp / "direct.xls");
    Workbook::Open(in)->Save(temp / "via.xlsx");
    Workbook::Open(temp / "via.xlsx")->Save(temp / "via.xls");
    const std::filesystem::path original = test::ConvertedByOffice(in, temp / "original");
    for (const char* route : {"direct.xls", "via.xls"}) {
      const std::filesystem::path saved = test::ConvertedByOffice(temp / route, temp / (std::string(route) + ".d"));
      auto diff = test::RunPythonTool(test::XlsxDiffTool(), test::Quote(original) + " " + test::Quote(saved) + " --json");
      for (const char* category : {"\"conditional_formats\": 0", "\"hyperlinks\": 0"})
        EXPECT_NE(diff.output.find(category), std::string::npos) << route << " lost " << category << "\n" << diff.output.substr(0, 4000);
    }
  }
}

}  // namespace
}  // namespace vemo::wb
