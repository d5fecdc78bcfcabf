#include "render/merged_cells.h"

#include "render/render_declined.h"
#include "workbook/sheet.h"

namespace vemo::render {
namespace {

std::uint64_t Key(int row, int col) { return (static_cast<std::uint64_t>(row) << 20) | static_cast<std::uint32_t>(col); }

// Merges larger than this are not indexed cell by cell.
constexpr long kMaxCoveredCells = 1 << 20;

}  // namespace

MergedCells::MergedCells(const wb::Sheet& sheet) {
  long covered = 0;
  for (const std::string& text : sheet.MergedRanges()) {
    const auto range = wb::ParseCellRange(text);
    if (!range) throw RenderDeclined("a merged range it cannot read (" + text + ")");
    covered += static_cast<long>(range->last.row - range->first.row + 1) * (range->last.col - range->first.col + 1);
    if (covered > kMaxCoveredCells) throw RenderDeclined("merged ranges covering over a million cells");
    ranges_.push_back(*range);
    for (int r = range->first.row; r <= range->last.row; ++r)
      for (int c = range->first.col; c <= range->last.col; ++c) covered_[Key(r, c)] = ranges_.size() - 1;
  }
}

const wb::CellRange* MergedCells::Find(int row, int col) const {
  if (covered_.empty()) return nullptr;
  const auto it = covered_.find(Key(row, col));
  return it == covered_.end() ? nullptr : &ranges_[it->second];
}

}  // namespace vemo::render
