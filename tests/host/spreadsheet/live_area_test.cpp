// How live ranges follow inserted rows and columns.
#include <gtest/gtest.h>

#include "host/spreadsheet/live_area.h"

namespace vemo::host {
namespace {

TEST(LiveArea, RangeSpanningTheInsertionGrows) {
  Area a{3, 2, 8, 4};
  AdjustForInsertedRows(a, 5, 3);
  EXPECT_EQ(a.top, 3);
  EXPECT_EQ(a.bottom, 11);
  EXPECT_EQ(a.left, 2);
  EXPECT_EQ(a.right, 4);
}

TEST(LiveArea, RangeAtOrBelowTheInsertionMoves) {
  Area at{5, 1, 5, 1};
  AdjustForInsertedRows(at, 5, 2);
  EXPECT_EQ(at.top, 7);
  EXPECT_EQ(at.bottom, 7);
  Area below{9, 1, 12, 3};
  AdjustForInsertedRows(below, 5, 2);
  EXPECT_EQ(below.top, 11);
  EXPECT_EQ(below.bottom, 14);
}

TEST(LiveArea, RangeAboveTheInsertionStays) {
  Area a{1, 1, 4, 6};
  AdjustForInsertedRows(a, 5, 10);
  EXPECT_EQ(a.top, 1);
  EXPECT_EQ(a.bottom, 4);
}

TEST(LiveArea, WholeColumnsStayWholeWhenRowsAreInserted) {
  Area col{1, 2, kSheetRows, 2};
  AdjustForInsertedRows(col, 1, 5);
  EXPECT_TRUE(col.WholeColumns());
  Area rows{3, 1, 3, kSheetColumns};
  AdjustForInsertedColumns(rows, 1, 5);
  EXPECT_TRUE(rows.WholeRows());
}

TEST(LiveArea, ColumnsInsertedMoveAndGrowAcross) {
  Area a{2, 2, 4, 5};
  AdjustForInsertedColumns(a, 1, 1);
  EXPECT_EQ(a.left, 3);
  EXPECT_EQ(a.right, 6);
  AdjustForInsertedColumns(a, 4, 2);
  EXPECT_EQ(a.left, 3);
  EXPECT_EQ(a.right, 8);
}

TEST(LiveArea, ARangePushedPastTheLastRowStopsThere) {
  Area a{kSheetRows - 1, 1, kSheetRows, 1};
  AdjustForInsertedRows(a, 2, 10);
  EXPECT_EQ(a.bottom, kSheetRows);
  EXPECT_EQ(a.top, kSheetRows);
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
