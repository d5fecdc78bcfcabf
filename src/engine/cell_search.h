// The Find/FindNext walk every scan of the engine uses: find the first cell
// holding a text, then the next one, until the walk comes back to where it
// began. The host's stop rules are kept (first address met again; and, where
// asked, the wrap-around tests), and one more guard makes every walk end:
// a cell already visited in this walk stops it. Without that guard a keyword
// cell that stays unfilled, met again on its own row, would be found forever.
#pragma once
#include <functional>
#include <memory>
#include <cstdint>
#include <vector>
#include <string_view>
#include <utility>

#include "host/spreadsheet/spreadsheet_interfaces.h"

namespace vemo::engine {

// Cells visited in one walk, by position. Rows inserted during the walk move
// the positions at and below them, as they move the cells. A walk finds its
// cells in row order, so the positions are kept as one sorted list that
// mostly grows at its end: 8 bytes a cell, where a walk over a 100,000-line
// bill visits 600,000 cells.
class VisitedCells {
 public:
  bool Contains(int row, int column) const;
  void Add(int row, int column);
  void RowsInserted(int atRow, int count);

 private:
  static std::uint64_t Key(int row, int column) {
    return (static_cast<std::uint64_t>(static_cast<std::uint32_t>(row)) << 32) | static_cast<std::uint32_t>(column);
  }
  std::vector<std::uint64_t> cells_;  // sorted: row-major order
};

enum class WalkStep { Next, Stop };

struct WalkRules {
  std::string_view what;
  // Stop when the next cell found lies above the remembered row (not Excel)
  // or is the remembered cell (Excel).
  bool wrapTests = true;
  bool isExcel = false;
};

// Calls `visit` for each cell found; `visit` may insert rows (telling
// `visited`) and may stop the walk. Errors of Find/FindNext end the walk.
void WalkFoundCells(host::IRange& range, const WalkRules& rules, VisitedCells& visited,
                    const std::function<WalkStep(const std::shared_ptr<host::IRange>&)>& visit);

}  // namespace vemo::engine
