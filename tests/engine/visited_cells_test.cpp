#include <gtest/gtest.h>

#include "engine/cell_search.h"

namespace vemo::engine {
namespace {

// Walks meet cells in row order, but a wrap-around or a row inserted during
// the walk brings cells out of order: the list must stay a set either way.
TEST(VisitedCells, KeepsCellsMetInAnyOrderAndMovesThemWithInsertedRows) {
  VisitedCells visited;
  visited.Add(3, 2);
  visited.Add(3, 5);
  visited.Add(8, 1);
  visited.Add(1, 4);  // before the others
  visited.Add(3, 5);  // again
  visited.Add(5, 16384);
  EXPECT_TRUE(visited.Contains(1, 4));
  EXPECT_TRUE(visited.Contains(3, 5));
  EXPECT_TRUE(visited.Contains(5, 16384));
  EXPECT_FALSE(visited.Contains(3, 4));
  EXPECT_FALSE(visited.Contains(4, 2));

  visited.RowsInserted(3, 10);  // rows 3 and below move down by 10
  EXPECT_TRUE(visited.Contains(1, 4));
  EXPECT_FALSE(visited.Contains(3, 2));
  EXPECT_TRUE(visited.Contains(13, 2));
  EXPECT_TRUE(visited.Contains(13, 5));
  EXPECT_TRUE(visited.Contains(15, 16384));
  EXPECT_TRUE(visited.Contains(18, 1));
  EXPECT_FALSE(visited.Contains(8, 1));

  visited.Add(2, 1);
  visited.Add(14, 3);
  EXPECT_TRUE(visited.Contains(2, 1));
  EXPECT_TRUE(visited.Contains(14, 3));
  EXPECT_TRUE(visited.Contains(13, 5));
}

}  // namespace
}  // namespace vemo::engine
