// Every .xls workbook of the corpus opens, and saving it as .xls without an
// edit gives a workbook an independent reader finds equal (values, types,
// number formats, merges). The example templates saved from .xlsx look like
// their .xls twins; conditional formats and hyperlinks survive both routes
// through the model, pictures of .xlsx files the way to .xls. (LibreOffice
// opening them: xlsx_roundtrip_test.cpp.)
#include <gtest/gtest.h>

#include <regex>
#include <sstream>

#include "support/run_command.h"
#include "support/test_paths.h"
#include "workbook/workbook.h"
#include "workbook/workbook_test_util.h"

namespace vemo::wb {
namespace {

std::filesystem::path CorpusDir() { return vemo::test::SharedDir() / "corpus" / "xls"; }

std::filesystem::path CompareTool() { return vemo::test::SourceDir() / "tests/workbook/xls/xls_compare.py"; }

class XlsCorpus : public ::testing::TestWithParam<std::string> {};

TEST_P(XlsCorpus, SaveWithoutEditIsEqual) {
  const std::filesystem::path in = CorpusDir() / GetParam();
  vemo::test::TempDir temp;
  const std::filesystem::path out = temp / "out.xls";
  Workbook::Open(in)->Save(out);
  EXPECT_NO_THROW(Workbook::Open(out));
  if (vemo::test::CorpusComparerSkipped()) GTEST_SKIP() << "saved; the comparer runs in the normal test run";
  auto diff = vemo::test::RunPython(CompareTool(), vemo::test::ShellQuote(in) + " " + vemo::test::ShellQuote(out));
  EXPECT_EQ(diff.status, 0) << diff.output;
}

// testEXCEL_95.xls is refused by design, saying so (hostile_files_test.cpp).
std::vector<std::string> SavableFiles() {
  auto files = test::CorpusFiles("xls", ".xls");
  std::erase(files, std::string("testEXCEL_95.xls"));
  return files;
}

INSTANTIATE_TEST_SUITE_P(Xls, XlsCorpus, ::testing::ValuesIn(SavableFiles()),
                         [](const auto& info) { return test::ParamName(info.param); });

// An example template saved from .xlsx as .xls has the borders, fills and
// font colours of its .xls twin made by another program.
TEST(XlsTemplates, SavedFromXlsxLookLikeTheirTwins) {
  vemo::test::TempDir temp;
  int compared = 0;
  for (const auto& entry : std::filesystem::directory_iterator(vemo::test::SourceDir() / "examples/templates")) {
    std::filesystem::path twin = entry.path();
    if (twin.replace_extension(".xls"); entry.path().extension() != ".xlsx" || !std::filesystem::exists(twin)) continue;
    Workbook::Open(entry.path())->Save(temp / "out.xls");
    auto diff = vemo::test::RunPython(CompareTool(), vemo::test::ShellQuote(twin) + " " + vemo::test::ShellQuote(temp / "out.xls") + " --styles");
    EXPECT_EQ(diff.status, 0) << entry.path() << ": " << diff.output;
    ++compared;
  }
  EXPECT_GT(compared, 0);
}

// Saved as .xls again, a workbook is the same to LibreOffice in everything
// its comparer sees. Conditional formats and hyperlinks are read into the
// model and written from it, so they also survive a save as .xlsx and that
// saved as .xls: the rules (kind, comparison, formulas, format), their
// ranges and the links (target, place, text shown, tooltip) of the original.
TEST(XlsCrossFormat, ConditionalFormatsAndHyperlinksSurviveBothRoutes) {
  if (!test::LibreOfficeChecks()) GTEST_SKIP() << "set VEMO_LO_CHECK=1 to run";
  const char* const files[] = {
      "47847.xls",                   // cell-value rules, bold and italic, links into the workbook
      "29982.xls",                   // formula rules over several ranges; merges before a custom view
      "50939.xls",                   // formula rules of three per header; a list of a deleted area
      "ConditionalFormattingSamples.xls",  // borders, the newer records beside them
      "44958.xls",                   // web links with text shown
      "HyperlinksOnManySheets.xls",  // web, mail and workbook links on several sheets
      "12561-1.xls",                 // some margins given, the others left at their defaults
      "florida_data.ashx.xls",       // margins given at their defaults
      "15228.xls",                   // notes printed at the end
      "45322.xls",                   // rows of default height with a height of 0
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
      auto diff = vemo::test::RunPython(vemo::test::XlsxDiffTool(), vemo::test::ShellQuote(original) + " " + vemo::test::ShellQuote(saved) + " --json");
      if (route == std::string("direct.xls")) {
        EXPECT_EQ(diff.status, 0) << diff.output.substr(0, 4000);
      }
      for (const char* category : {"\"conditional_formats\": 0", "\"hyperlinks\": 0"})
        EXPECT_NE(diff.output.find(category), std::string::npos) << route << " lost " << category << "\n" << diff.output.substr(0, 4000);
    }
  }
}

// Pictures of an .xlsx saved as .xls, and of an .xls saved as .xlsx:
// LibreOffice finds as many pictures, with the same images, from and to the
// same cells as in the original (the offsets within the cells move with its
// idea of the column widths).
// (The .xls writer moves and sizes every picture with its cells, so only
// the other way keeps how each follows its cells.)
void ExpectSamePictures(const std::filesystem::path& original, const std::filesystem::path& saved, bool sameImages,
                        bool sameFollowing) {
  const auto diff = vemo::test::RunPython(vemo::test::XlsxDiffTool(), vemo::test::ShellQuote(original) + " " + vemo::test::ShellQuote(saved));
  std::istringstream lines(diff.output);
  for (std::string line; std::getline(lines, line);) {
    static const std::regex moved(R"(anchored at (\w+)\([^)]*\)\.\.(\w+)\([^)]*\), expected (\w+)\([^)]*\)\.\.(\w+)\()");
    std::smatch m;
    if (std::regex_search(line, m, moved)) {
      EXPECT_TRUE(m[1] == m[3] && m[2] == m[4]) << line;
    }
    EXPECT_EQ(line.find("picture count"), std::string::npos) << line;
    EXPECT_TRUE(!sameFollowing || line.find("anchor type") == std::string::npos) << line;
    EXPECT_TRUE(!sameImages || line.find(" image ") == std::string::npos) << line;
  }
}

TEST(XlsCrossFormat, PicturesSurviveFromXlsx) {
  if (!test::LibreOfficeChecks()) GTEST_SKIP() << "set VEMO_LO_CHECK=1 to run";
  // LibreOffice reads an .xls JPEG picture with a zero byte after its end
  // (its PNG pictures come out whole), so the JPEG file's images differ.
  const std::pair<const char*, bool> files[] = {
      {"pictures_in_cell_and_over_cell.xlsx", true}, {"issue_261_fixed_by_excel.xlsx", true}, {"ImageAnchors.xlsx", false}};
  for (const auto& [file, sameImages] : files) {
    SCOPED_TRACE(file);
    vemo::test::TempDir temp;
    const std::filesystem::path in = vemo::test::SharedDir() / "corpus" / "xlsx" / file;
    Workbook::Open(in)->Save(temp / "saved.xls");
    ExpectSamePictures(test::ConvertedByOffice(in, temp / "original"), test::ConvertedByOffice(temp / "saved.xls", temp / "saved"),
                       sameImages, false);
  }
}

TEST(XlsCrossFormat, PicturesSurviveFromXls) {
  if (!test::LibreOfficeChecks()) GTEST_SKIP() << "set VEMO_LO_CHECK=1 to run";
  // EMF pictures on seven sheets; JPEG ones (LibreOffice reads 17 bytes past their end).
  const std::pair<const char*, bool> files[] = {{"15228.xls", true}, {"46250.xls", false}, {"59858.xls", false}};
  for (const auto& [file, sameImages] : files) {
    SCOPED_TRACE(file);
    vemo::test::TempDir temp;
    const std::filesystem::path in = vemo::test::SharedDir() / "corpus" / "xls" / file;
    Workbook::Open(in)->Save(temp / "saved.xlsx");
    ExpectSamePictures(test::ConvertedByOffice(in, temp / "original"), temp / "saved.xlsx", sameImages, true);
  }
}

}  // namespace
}  // namespace vemo::wb
