// Plain A1 cell addresses of the file format (no sheet names, no "$"): what the
// r attributes of rows and cells and simple range lists hold.
#pragma once
#include <optional>
#include <string>
#include <string_view>

namespace vemo::wb {

inline constexpr int kMaxRows = 1048576;
inline constexpr int kMaxColumns = 16384;

struct CellAddress {
  int row = 0;  // 1-based
  int col = 0;  // 1-based
};

struct CellRange {
  CellAddress first, last;
  bool Contains(int row, int col) const {
    return row >= first.row && row <= last.row && col >= first.col && col <= last.col;
  }
};

std::string ColumnName(int col);
// "B7" -> {7, 2}; "$B$7" accepted; nullopt when not an address inside the sheet.
std::optional<CellAddress> ParseCellAddress(std::string_view text);
// "A1:C3", "A1" (one cell); whole rows/columns are not accepted here.
std::optional<CellRange> ParseCellRange(std::string_view text);
std::string FormatCellAddress(int row, int col);
std::string FormatCellRange(const CellRange& range);

}  // namespace vemo::wb
