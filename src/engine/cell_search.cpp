#include "engine/cell_search.h"

#include <vector>

#include <exception>
#include <optional>
#include <utility>

namespace vemo::engine {

void VisitedCells::RowsInserted(int atRow, int count) {
  if (count <= 0) return;
  std::unordered_set<std::uint64_t> moved;
  moved.reserve(cells_.size());
  for (std::uint64_t key : cells_) {
    const int row = static_cast<int>(key >> 32);
    const int column = static_cast<int>(key & 0xFFFFFFFFu);
    moved.insert(Key(row >= atRow ? row + count : row, column));
  }
  cells_ = std::move(moved);
}

void WalkFoundCells(host::IRange& range, const WalkRules& rules, VisitedCells& visited,
                    const std::function<WalkStep(const std::shared_ptr<host::IRange>&)>& visit) {
  host::FindOptions options;
  options.what = std::string(rules.what);
  options.lookIn = host::kLookInFormulas;
  options.lookAt = host::kLookAtPart;
  options.searchOrder = host::kSearchByRows;
  options.searchDirection = host::kSearchNext;
  options.matchCase = false;
  options.matchByte = true;

  std::shared_ptr<host::IRange> cell;
  try {
    cell = range.Find(options);
  } catch (const std::exception&) {
    return;
  }
  // The first cell found, by position: found cells are single cells, so the
  // position is their address.
  std::optional<std::pair<int, int>> first;
  while (cell) {
    try {
      const std::pair<int, int> at{cell->Row(), cell->Column()};
      if (!first) {
        first = at;
      } else if (at == *first) {
        return;
      }
      if (visited.Contains(cell->Row(), cell->Column())) return;
      if (visit(cell) == WalkStep::Stop) return;
      const int row = cell->Row();
      const int column = cell->Column();
      visited.Add(row, column);
      std::shared_ptr<host::IRange> next = range.FindNext(cell);
      if (!next) return;
      if (rules.wrapTests) {
        if (!rules.isExcel && next->Row() < row) return;
        if (rules.isExcel && next->Row() == row && next->Column() == column) return;
      }
      cell = std::move(next);
    } catch (const std::exception&) {
      return;
    }
  }
}

}  // namespace vemo::engine
