// How live ranges follow inserted rows and columns.
#include <gtest/gtest.h>

#include <tuple>

#include "host/spreadsheet/live_area.h"

namespace vemo::host {
namespace {

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
