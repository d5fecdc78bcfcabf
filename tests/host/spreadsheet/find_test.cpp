// Find and FindNext as the keyword scan drives them.
#include <gtest/gtest.h>

#include <set>

#include "host/spreadsheet/surface_test_util.h"

namespace vemo::host {
namespace {

using test::MakeFixture;
using test::NewApp;

class SurfaceFind : public ::testing::Test {
 protected:
  void Open(const std::string& extra = "") {
    app = NewApp();
    book = app->Workbooks()->Open(MakeFixture(dir, "surface_book", extra).string());
    sheet = book->Worksheets()->Item(1);
  }
  // Addresses in the order FindNext gives them, stopping at the first repeat.
  std::vector<std::string> Walk(const std::shared_ptr<IRange>& range, const std::string& what) {
    std::vector<std::string> seen;
    auto cell = range->Find(what);
    std::set<std::string> once;
    while (cell && once.insert(cell->Address()).second && seen.size() < 50) {
      seen.push_back(cell->Address());
      cell = range->FindNext(cell);
    }
    return seen;
  }
  vemo::test::TempDir dir;
  std::shared_ptr<SurfaceApplication> app;
  std::shared_ptr<IWorkbook> book;
  std::shared_ptr<IWorksheet> sheet;
};

TEST_F(SurfaceFind, FindsKeywordCellsInRowOrderAndWrapsToTheFirst) {
  Open();
  auto used = sheet->UsedRange();
  EXPECT_EQ(Walk(used, "[$"), (std::vector<std::string>{"$B$2", "$D$3", "$A$4", "$E$5", "$B$7"}));
  auto cell = used->Find("[$");
  for (int i = 0; i < 4; ++i) cell = used->FindNext(cell);
  EXPECT_EQ(cell->Address(), "$B$7");
  EXPECT_EQ(used->FindNext(cell)->Address(), "$B$2");  // wrapped around
}

TEST_F(SurfaceFind, MatchingIgnoresCaseAndLooksAtFormulaText) {
  Open();
  auto used = sheet->UsedRange();
  auto hit = used->Find("fbillno");
  ASSERT_TRUE(hit);
  EXPECT_EQ(hit->Address(), "$B$2");
  auto date = used->Find("[$page1_fdate]");
  ASSERT_TRUE(date);
  EXPECT_EQ(date->Address(), "$A$4");
  // The keyword opener appears only inside E5's formula text, not in a value.
  auto note = used->Find("Page1_FNote");
  ASSERT_TRUE(note);
  EXPECT_EQ(note->Address(), "$E$5");
  auto formula = used->Find("=A1*");
  ASSERT_TRUE(formula);
  EXPECT_EQ(formula->Address(), "$A$2");
  EXPECT_FALSE(used->Find("no such text"));
}

TEST_F(SurfaceFind, SearchStartsAtTheRangesFirstCellInclusive) {
  Open();
  auto from = sheet->Range("B2:E9");
  EXPECT_EQ(from->Find("[$")->Address(), "$B$2");
  auto inner = sheet->Range("C3:E9");  // leaves out B2, A4 and B7
  EXPECT_EQ(Walk(inner, "[$"), (std::vector<std::string>{"$D$3", "$E$5"}));
}

TEST_F(SurfaceFind, AOnlyMatchFindsItselfAgain) {
  Open();
  auto used = sheet->UsedRange();
  auto only = used->Find("FQty");
  ASSERT_TRUE(only);
  EXPECT_EQ(used->FindNext(only)->Address(), only->Address());
}

TEST_F(SurfaceFind, FindNextAfterARewrittenCellMovesOn) {
  Open();
  auto used = sheet->UsedRange();
  auto first = used->Find("[$");
  first->SetValue(Variant("filled"));  // as the scan fills each cell
  auto next = used->FindNext(first);
  ASSERT_TRUE(next);
  EXPECT_EQ(next->Address(), "$D$3");
}

TEST_F(SurfaceFind, DeepRowsOfALongSheetAreFound) {
  Open("3000");
  auto used = sheet->UsedRange();
  EXPECT_EQ(used->Address(), "$A$1:$E$3020");
  EXPECT_EQ(Walk(used, "[$"), (std::vector<std::string>{"$B$2", "$D$3", "$A$4", "$E$5", "$B$7", "$C$3020"}));
  EXPECT_EQ(used->Find("filler 2999")->Address(), "$B$3020");
}

}  // namespace
}  // namespace vemo::host
