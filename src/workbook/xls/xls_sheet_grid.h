// The cell grid of a sheet as pictures are placed on it: column widths and
// row heights in EMU, and anchor corners between the EMU of .xlsx drawings and
// the 1024ths of a column and 256ths of a row of .xls drawing records.
#pragma once
#include <algorithm>
#include <cmath>
#include <string>

#include "workbook/sheet.h"
#include "workbook/surface_support.h"
#include "workbook/xls/biff_records.h"

namespace vemo::wb::xls {

constexpr double kEmuPerPixel = 9525, kEmuPerPoint = 12700;
constexpr int kLastColumn = 255, kLastRow = 65535;  // of an .xls sheet, 0-based

// Where a picture sits: cell and offset of its top left and bottom right
// corners, 0-based, offsets in EMU.
struct Corner {
  int col = 0, row = 0;
  double colOff = 0, rowOff = 0;
};

class SheetGrid {
 public:
  // Without a default width a column is 8 digits and padding, 64 pixels.
  explicit SheetGrid(const Sheet& sheet)
      : sheet_(sheet), defaultWidth_(DefaultColumnWidth(sheet, 64.0 / 7)), defaultHeight_(DefaultRowHeight(sheet, 15)) {}
  // Column width and row height in EMU, by 0-based number; a column's
  // pixels are its width in characters of a 7-pixel digit.
  double ColumnEmu(int col) const {
    return std::floor(sheet_.ColumnWidth(col + 1).value_or(defaultWidth_) * 7 + 0.5) * kEmuPerPixel;
  }
  double RowEmu(int row) const { return sheet_.RowHeight(row + 1).value_or(defaultHeight_) * kEmuPerPoint; }
  // The corner `cx` by `cy` EMU right of and below `from`.
  Corner Beyond(Corner from, double cx, double cy) const {
    from.colOff += cx, from.rowOff += cy;
    while (from.col < kLastColumn && ColumnEmu(from.col) > 0 && from.colOff > ColumnEmu(from.col))
      from.colOff -= ColumnEmu(from.col++);
    while (from.row < kLastRow && RowEmu(from.row) > 0 && from.rowOff > RowEmu(from.row)) from.rowOff -= RowEmu(from.row++);
    return from;
  }
  // The EMU an anchor's offset in 1024ths of `col` or 256ths of `row` stands for.
  double ColumnOffset(int col, int units) const { return ColumnEmu(col) * std::clamp(units, 0, 1024) / 1024; }
  double RowOffset(int row, int units) const { return RowEmu(row) * std::clamp(units, 0, 256) / 256; }
  // The corner as the anchor record holds it: column and its 1024ths, row and its 256ths.
  void Append(std::string& out, const Corner& c, bool columnPart) const {
    if (columnPart) {
      const int col = std::clamp(c.col, 0, kLastColumn);
      Append16(out, static_cast<std::uint16_t>(col));
      const double width = ColumnEmu(col);
      Append16(out, static_cast<std::uint16_t>(width > 0 ? std::clamp(c.colOff / width * 1024, 0.0, 1023.0) : 0));
    } else {
      const int row = std::clamp(c.row, 0, kLastRow);
      Append16(out, static_cast<std::uint16_t>(row));
      const double height = RowEmu(row);
      Append16(out, static_cast<std::uint16_t>(height > 0 ? std::clamp(c.rowOff / height * 256, 0.0, 255.0) : 0));
    }
  }

 private:
  const Sheet& sheet_;
  double defaultWidth_, defaultHeight_;
};

}  // namespace vemo::wb::xls
