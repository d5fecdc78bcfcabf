// Row and column insertion through the surface: live ranges, the copied entry
// row, one insertion at a time.
#include <gtest/gtest.h>

#include <tuple>

#include "foundation/host_error.h"
#include "host/spreadsheet/live_area.h"
#include "host/spreadsheet/surface_test_util.h"
#include "support/files.h"

namespace vemo::host {
namespace {

class SurfaceInsert : public test::SurfaceBookTest {
 protected:
  const char* Fixture() const override { return "invoice"; }
};

// How each area moves is the live area tests' job.
TEST_F(SurfaceInsert, RangesHeldAcrossAnInsertionFollowTheirCells) {
  auto used = sheet->UsedRange();
  auto entryRow = sheet->Rows(6);
  auto qty = sheet->Range("D6");
  entryRow->Copy();
  entryRow->Resize(3)->Insert(kShiftDown, 0);
  EXPECT_EQ(used->Address(), "$A$1:$F$12");
  EXPECT_EQ(entryRow->Address(), "$9:$9");
  EXPECT_EQ(qty->Address(), "$D$9");
  EXPECT_EQ(qty->Formula(), "[$$Page2_FQty]");  // still the same cell
}

// What the copy carries (merges, heights, formats) is the workbook tests'
// job, checked there against the independent comparer.
TEST_F(SurfaceInsert, CopiedRowFillsEveryInsertedRowAboveTheTemplateRow) {
  sheet->Rows(6)->Copy();
  sheet->Rows(6)->Resize(3)->Insert(kShiftDown, 0);
  for (int r = 6; r <= 9; ++r)
    EXPECT_EQ(sheet->Cells(r, 6)->Formula(), "=D" + std::to_string(r) + "*E" + std::to_string(r)) << r;
  EXPECT_EQ(sheet->Range("A11")->Formula(), "Total");
}

// Copying a row and inserting it above itself once per copy (as the report
// and waybill fills do) gives the workbook one insertion of all the copies
// gives; a read between the insertions sees every copy made so far.
TEST_F(SurfaceInsert, CopiesInsertedOneAtATimeGiveTheSameWorkbookAsOneBlock) {
  sheet->Rows(6)->Copy();
  sheet->Rows(6)->Resize(3)->Insert(kShiftDown, 0);
  book->SaveAs((dir / "block.xlsx").string());
  const std::string block = vemo::test::ReadFileBytes(dir / "block.xlsx");
  for (bool readBetween : {false, true}) {
    auto other = app->Workbooks()->Open(templ.string());
    auto otherSheet = other->Worksheets()->Item(1);
    for (int i = 0; i < 3; ++i) {
      otherSheet->Rows(6)->Copy();
      otherSheet->Rows(6)->Insert(kShiftDown, 0);
      const std::string row = std::to_string(7 + i);  // the template row, moved down
      if (readBetween) {
        EXPECT_EQ(otherSheet->Cells(7 + i, 6)->Formula(), "=D" + row + "*E" + row);
        EXPECT_EQ(otherSheet->Cells(6, 6)->Formula(), "=D6*E6");
      }
    }
    auto out = dir / "single.xlsx";
    other->SaveAs(out.string());
    // Read between, each insertion is made alone: the same cells, range lists
    // (sqref) written one range per insertion.
    if (!readBetween) {
      EXPECT_TRUE(vemo::test::ReadFileBytes(out) == block) << "differs from one insertion of all the copies";
    }
  }
}

// An insertion ends the copy: the next one inserts empty rows that take the
// format of the row above.
TEST_F(SurfaceInsert, WithoutACopyRowsAreEmptyWithTheFormatOfTheRowAbove) {
  sheet->Rows(6)->Copy();
  sheet->Rows(6)->Resize(2)->Insert(kShiftDown, 0);
  sheet->Rows(9)->Insert(kShiftDown, 0);
  EXPECT_EQ(sheet->Range("E9")->NumberFormatLocal(), "#,##0.00");
  EXPECT_EQ(sheet->Range("D9")->Formula(), "");
  EXPECT_EQ(sheet->Range("A11")->Formula(), "Total");
}

TEST_F(SurfaceInsert, WrongShiftsPartialRangesAndTooHighRowsAreRefused) {
  EXPECT_THROW(sheet->Rows(3)->Insert(kShiftToRight), HostError);
  EXPECT_THROW(sheet->Columns(3)->Insert(kShiftDown), HostError);
  EXPECT_THROW(sheet->Range("B2:C3")->Insert(kShiftDown), HostError);
  EXPECT_THROW(sheet->Rows(1)->SetRowHeight(409.5), HostError) << "409 points at most";
  EXPECT_EQ(sheet->UsedRange()->Address(), "$A$1:$F$9");
}

// How live ranges follow inserted rows and columns.

TEST(LiveArea, FollowsInsertedRowsAndColumns) {
  struct Case {
    const char* name;
    Area area;
    bool rows;  // rows inserted, else columns
    int at, count;
    Area expected;
  } cases[] = {
      {"spanning rows: grows", {3, 2, 8, 4}, true, 5, 3, {3, 2, 11, 4}},
      {"at or below the insertion: moves", {5, 1, 6, 3}, true, 5, 2, {7, 1, 8, 3}},
      {"above: stays", {1, 1, 4, 6}, true, 5, 10, {1, 1, 4, 6}},
      {"pushed past the last row: stops there", {kSheetRows - 1, 1, kSheetRows, 1}, true, 2, 10,
       {kSheetRows, 1, kSheetRows, 1}},
      {"whole columns stay whole", {1, 2, kSheetRows, 2}, true, 1, 5, {1, 2, kSheetRows, 2}},
      {"columns on the left: moves", {2, 2, 4, 5}, false, 1, 1, {2, 3, 4, 6}},
      {"spanning columns: grows", {2, 3, 4, 6}, false, 4, 2, {2, 3, 4, 8}},
      {"whole rows stay whole", {3, 1, 3, kSheetColumns}, false, 1, 5, {3, 1, 3, kSheetColumns}},
  };
  for (Case& c : cases) {
    if (c.rows)
      AdjustForInsertedRows(c.area, c.at, c.count);
    else
      AdjustForInsertedColumns(c.area, c.at, c.count);
    EXPECT_EQ(std::tie(c.area.top, c.area.left, c.area.bottom, c.area.right),
              std::tie(c.expected.top, c.expected.left, c.expected.bottom, c.expected.right))
        << c.name;
  }
}

TEST(LiveAreas, OnlyAreasStillHeldAreAdjusted) {
  LiveAreas areas;
  auto kept = areas.Track(Area{6, 1, 6, 1});
  { auto dropped = areas.Track(Area{7, 1, 7, 1}); }
  areas.RowsInserted(2, 1);
  EXPECT_EQ(kept->top, 7);
  EXPECT_EQ(areas.LiveCount(), 1u);
}

}  // namespace
}  // namespace vemo::host
