#include "engine/cell_search.h"

#include <algorithm>
#include <exception>
#include <optional>
#include <utility>

#include "context/long_work.h"

namespace vemo::engine {

bool VisitedCells::Contains(int row, int column) const {
  return std::binary_search(cells_.begin(), cells_.end(), Key(row, column));
}

void VisitedCells::Add(int row, int column) {
  const std::uint64_t key = Key(row, column);
  if (cells_.empty() || cells_.back() < key) {
    cells_.push_back(key);
    return;
  }
  auto at = std::lower_bound(cells_.begin(), cells_.end(), key);
  if (at == cells_.end() || *at != key) cells_.insert(at, key);
}

void VisitedCells::RowsInserted(int atRow, int count) {
  if (count <= 0) return;
  // Moving every row at or below atRow by the same count keeps the order.
  const std::uint64_t first = Key(atRow, 0);
  const std::uint64_t shift = static_cast<std::uint64_t>(static_cast<std::uint32_t>(count)) << 32;
  for (auto at = std::lower_bound(cells_.begin(), cells_.end(), first); at != cells_.end(); ++at) *at += shift;
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
    } catch (const context::WorkStopped&) {
      throw;  // the user's Cancel ends the whole fill, not only this walk
    } catch (const std::exception&) {
      return;
    }
  }
}

}  // namespace vemo::engine
