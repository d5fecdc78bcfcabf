#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "engine/cell_search.h"

namespace vemo::engine {
namespace {

using Cells = std::vector<std::pair<int, int>>;  // (row, column)

// The cells of `candidates` that the list holds.
Cells Held(const VisitedCells& visited, const Cells& candidates) {
  Cells held;
  for (const auto& [row, column] : candidates)
    if (visited.Contains(row, column)) held.push_back({row, column});
  return held;
}

// Walks meet cells in row order, but a wrap-around or a row inserted during
// the walk brings cells out of order: the list must stay a set either way.
TEST(VisitedCells, KeepsCellsMetInAnyOrderAndMovesThemWithInsertedRows) {
  VisitedCells visited;
  for (const auto& [row, column] : Cells{{3, 2}, {3, 5}, {8, 1}, {1, 4}, {3, 5}, {5, 16384}})  // (1, 4) out of order, (3, 5) again
    visited.Add(row, column);
  EXPECT_EQ(Held(visited, {{1, 4}, {3, 4}, {3, 5}, {4, 2}, {5, 16384}}), (Cells{{1, 4}, {3, 5}, {5, 16384}}));

  visited.RowsInserted(3, 10);  // rows 3 and below move down by 10
  EXPECT_EQ(Held(visited, {{1, 4}, {3, 2}, {8, 1}, {13, 2}, {13, 5}, {15, 16384}, {18, 1}}),
            (Cells{{1, 4}, {13, 2}, {13, 5}, {15, 16384}, {18, 1}}));

  visited.Add(2, 1);
  visited.Add(14, 3);
  EXPECT_EQ(Held(visited, {{2, 1}, {13, 5}, {14, 3}}), (Cells{{2, 1}, {13, 5}, {14, 3}}));
}

}  // namespace
}  // namespace vemo::engine
