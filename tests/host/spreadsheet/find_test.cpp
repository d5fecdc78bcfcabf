// Find and FindNext as the keyword scan drives them.
#include <gtest/gtest.h>

#include <set>

#include "host/spreadsheet/surface_test_util.h"

namespace vemo::host {
namespace {

class SurfaceFind : public test::SurfaceBookTest {
 protected:
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
};

TEST_F(SurfaceFind, FindsKeywordCellsInRowOrderAndWrapsToTheFirst) {
  auto used = sheet->UsedRange();
  EXPECT_FALSE(used->FindNext(sheet->Range("A1"))) << "FindNext without a Find finds nothing";
  EXPECT_EQ(Walk(used, "[$"), (std::vector<std::string>{"$B$2", "$D$3", "$A$4", "$E$5", "$B$7"}));
  EXPECT_EQ(used->FindNext(sheet->Range("B7"))->Address(), "$B$2");  // wrapped around
  auto only = used->Find("FQty");
  EXPECT_EQ(used->FindNext(only)->Address(), only->Address()) << "an only match finds itself again";
}

TEST_F(SurfaceFind, WhatMatchesAndWhere) {
  auto used = sheet->UsedRange();
  struct Case {
    FindOptions options;
    const char* found;  // "": nothing
  } cases[] = {
      {{.what = "fbillno"}, "$B$2"},  // case is ignored
      {{.what = "[$page1_fdate]"}, "$A$4"},
      {{.what = "Page1_FNote"}, "$E$5"},  // only inside E5's formula text
      {{.what = "=A1*"}, "$A$2"},
      {{.what = "no such text"}, ""},
      {{.what = "42", .lookAt = kLookAtWhole}, "$C$1"},
      {{.what = "1,234.50", .lookIn = kLookInValues}, "$A$1"},  // the displayed text
      {{.what = "1,234.50", .lookIn = kLookInFormulas}, ""},
  };
  for (const Case& c : cases) {
    auto hit = used->Find(c.options);
    EXPECT_EQ(hit ? hit->Address() : "", c.found) << c.options.what;
  }
}

TEST_F(SurfaceFind, SearchStartsAtTheRangesFirstCellInclusive) {
  EXPECT_EQ(sheet->Range("B2:E9")->Find("[$")->Address(), "$B$2");
  auto inner = sheet->Range("C3:E9");  // leaves out B2, A4 and B7
  EXPECT_EQ(Walk(inner, "[$"), (std::vector<std::string>{"$D$3", "$E$5"}));
}

TEST_F(SurfaceFind, DeepRowsOfALongSheetAreFound) {
  vemo::test::TempDir other;
  auto used = app->Workbooks()->Open(test::MakeFixture(other, "surface_book", "3000").string())->Worksheets()->Item(1)->UsedRange();
  EXPECT_EQ(used->Address(), "$A$1:$E$3020");
  EXPECT_EQ(Walk(used, "[$"), (std::vector<std::string>{"$B$2", "$D$3", "$A$4", "$E$5", "$B$7", "$C$3020"}));
  EXPECT_EQ(used->Find("filler 2999")->Address(), "$B$3020");
}

}  // namespace
}  // namespace vemo::host
