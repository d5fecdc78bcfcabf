#include "workbook/cell_address.h"

namespace vemo::wb {

std::string ColumnName(int col) {
  std::string name;
  while (col > 0) {
    int rem = (col - 1) % 26;
    name.insert(name.begin(), static_cast<char>('A' + rem));
    col = (col - 1) / 26;
  }
  return name;
}

std::optional<CellAddress> ParseCellAddress(std::string_view text) {
  std::size_t i = 0;
  if (i < text.size() && text[i] == '$') ++i;
  long col = 0;
  std::size_t letters = 0;
  while (i < text.size() && ((text[i] >= 'A' && text[i] <= 'Z') || (text[i] >= 'a' && text[i] <= 'z'))) {
    char upper = static_cast<char>(text[i] & ~0x20);
    col = col * 26 + (upper - 'A' + 1);
    if (col > kMaxColumns) return std::nullopt;
    ++i;
    ++letters;
  }
  if (letters == 0) return std::nullopt;
  if (i < text.size() && text[i] == '$') ++i;
  long row = 0;
  std::size_t digits = 0;
  while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
    row = row * 10 + (text[i] - '0');
    if (row > kMaxRows) return std::nullopt;
    ++i;
    ++digits;
  }
  if (digits == 0 || row < 1 || i != text.size()) return std::nullopt;
  return CellAddress{static_cast<int>(row), static_cast<int>(col)};
}

std::optional<CellRange> ParseCellRange(std::string_view text) {
  auto colon = text.find(':');
  auto first = ParseCellAddress(text.substr(0, colon));
  if (!first) return std::nullopt;
  if (colon == std::string_view::npos) return CellRange{*first, *first};
  auto last = ParseCellAddress(text.substr(colon + 1));
  if (!last) return std::nullopt;
  CellRange range{*first, *last};
  if (range.first.row > range.last.row) std::swap(range.first.row, range.last.row);
  if (range.first.col > range.last.col) std::swap(range.first.col, range.last.col);
  return range;
}

std::string FormatCellAddress(int row, int col) { return ColumnName(col) + std::to_string(row); }

std::string FormatCellRange(const CellRange& range) {
  std::string text = FormatCellAddress(range.first.row, range.first.col);
  if (range.first.row != range.last.row || range.first.col != range.last.col)
    text += ":" + FormatCellAddress(range.last.row, range.last.col);
  return text;
}

}  // namespace vemo::wb
