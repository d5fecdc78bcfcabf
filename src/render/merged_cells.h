// The merged ranges of a sheet, found by any cell they cover.
#pragma once
#include <cstdint>
#include <unordered_map>
#include <vector>

#include "workbook/cell_address.h"

namespace vemo::wb {
class Sheet;
}

namespace vemo::render {

class MergedCells {
 public:
  explicit MergedCells(const wb::Sheet& sheet);
  // The merged range covering the cell, or null.
  const wb::CellRange* Find(int row, int col) const;
  const std::vector<wb::CellRange>& ranges() const { return ranges_; }

 private:
  std::vector<wb::CellRange> ranges_;
  std::unordered_map<std::uint64_t, std::size_t> covered_;
};

}  // namespace vemo::render
