// Pagination and the column width rule, on grids made in the test.
#include "render/page_layout.h"

#include <gtest/gtest.h>

#include <string>

namespace vemo::render {
namespace {

// "t1-2 r37-70 c1-4" per page, pages joined by " | ".
std::string Describe(const SheetLayout& layout) {
  std::string out;
  for (const Page& page : layout.pages) {
    if (!out.empty()) out += " | ";
    for (std::size_t i = 0; i < page.rows.size(); ++i)
      out += (i + 1 < page.rows.size() ? "t" : "r") + std::to_string(page.rows[i].first) + "-" +
             std::to_string(page.rows[i].last) + " ";
    for (std::size_t i = 0; i < page.cols.size(); ++i)
      out += std::string(i + 1 < page.cols.size() ? "tc" : "c") + std::to_string(page.cols[i].first) + "-" +
             std::to_string(page.cols[i].last) + (i + 1 < page.cols.size() ? " " : "");
  }
  return out;
}

SheetLayout Grid(int rows, double rowHeight, int cols, double colWidth) {
  SheetLayout layout;
  layout.range = {{1, 1}, {rows, cols}};
  layout.rowHeight.assign(rows + 1, rowHeight);
  layout.colWidth.assign(cols + 1, colWidth);
  return layout;
}

TEST(PageLayout, ColumnWidthsFollowTheMaximumDigitWidth) {
  struct Case {
    double chars;
    double digitPx;
    double points;
  } cases[] = {
      {10, 7, 52.5},       // 70 px
      {10, 8, 60},         // 80 px: a wider default font widens every column
      {11, 28.0 / 3, 77},  // a digit of 9.33 px is not rounded to 9 (which would give 74.25)
      {0, 7, 0},
  };
  for (const Case& c : cases) EXPECT_DOUBLE_EQ(ColumnWidthPoints(c.chars, c.digitPx), c.points) << c.chars;
  EXPECT_DOUBLE_EQ(DefaultColumnWidthPoints(8, 7), 48);  // 8 digits + 5 px, up to 64 px
  EXPECT_DOUBLE_EQ(DefaultColumnWidthPoints(8, 8), 54);  // 69 px up to 72
}

TEST(PageLayout, PagesFollowBreaksTitlesScaleAndOrder) {
  // A4 portrait, default margins: 494.48 x 733.89 points of room.
  struct Case {
    const char* name;
    int rows;
    int cols;
    double colWidth;
    void (*setup)(PageSetup&, SheetLayout&);
    const char* pages;
    double scale;
  } cases[] = {
      {"fits", 10, 3, 50, [](PageSetup&, SheetLayout&) {}, "r1-10 c1-3", 1},
      {"breaks by height", 100, 3, 50, [](PageSetup&, SheetLayout&) {}, "r1-36 c1-3 | r37-72 c1-3 | r73-100 c1-3", 1},
      {"manual row break", 10, 3, 50, [](PageSetup& s, SheetLayout&) { s.rowBreaks = {5}; }, "r1-5 c1-3 | r6-10 c1-3",
       1},
      {"title rows take room on later pages, not on their own", 100, 3, 50,
       [](PageSetup& s, SheetLayout&) { s.titleFirstRow = 1, s.titleLastRow = 1; },
       "r1-36 c1-3 | t1-1 r37-71 c1-3 | t1-1 r72-100 c1-3", 1},
      {"title columns likewise", 10, 10, 100,
       [](PageSetup& s, SheetLayout&) { s.titleFirstCol = 1, s.titleLastCol = 1; },
       "r1-10 c1-4 | r1-10 tc1-1 c5-7 | r1-10 tc1-1 c8-10", 1},
      {"breaks by width, down then over", 40, 10, 100, [](PageSetup&, SheetLayout&) {},
       "r1-36 c1-4 | r37-40 c1-4 | r1-36 c5-8 | r37-40 c5-8 | r1-36 c9-10 | r37-40 c9-10", 1},
      {"over then down", 40, 6, 100, [](PageSetup& s, SheetLayout&) { s.overThenDown = true; },
       "r1-36 c1-4 | r1-36 c5-6 | r37-40 c1-4 | r37-40 c5-6", 1},
      {"manual column break", 10, 3, 50, [](PageSetup& s, SheetLayout&) { s.colBreaks = {1}; },
       "r1-10 c1-1 | r1-10 c2-3", 1},
      {"fit to two pages wide, whole percent", 10, 10, 100,
       [](PageSetup& s, SheetLayout&) { s.fitToPage = true, s.fitWidth = 2, s.fitHeight = 0; },
       "r1-10 c1-5 | r1-10 c6-10", 0.98},
      {"fit to one page", 100, 3, 50,
       [](PageSetup& s, SheetLayout&) { s.fitToPage = true, s.fitWidth = 1, s.fitHeight = 1; }, "r1-100 c1-3", 0.36},
      {"fitting ignores manual breaks", 10, 3, 50,
       [](PageSetup& s, SheetLayout&) { s.fitToPage = true, s.rowBreaks = {5}; }, "r1-10 c1-3", 1},
      {"scale in percent", 100, 3, 50, [](PageSetup& s, SheetLayout&) { s.scale = 50; },
       "r1-73 c1-3 | r74-100 c1-3", 0.5},
      {"hidden rows take no room", 40, 3, 50,
       [](PageSetup&, SheetLayout& l) {
         for (int r = 1; r <= 20; ++r) l.rowHeight[r] = 0;
       },
       "r1-40 c1-3", 1},
  };
  for (const Case& c : cases) {
    SheetLayout layout = Grid(c.rows, 20, c.cols, c.colWidth);
    PageSetup setup;
    c.setup(setup, layout);
    Paginate(layout, setup);
    EXPECT_EQ(Describe(layout), c.pages) << c.name;
    EXPECT_DOUBLE_EQ(layout.scale, c.scale) << c.name;
  }
}

}  // namespace
}  // namespace vemo::render
