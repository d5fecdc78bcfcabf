// Live areas: the rectangles behind range objects, kept up to date when rows
// or columns are inserted into their sheet, so a range held by a caller
// follows its cells the way a spreadsheet application's range does.
#pragma once
#include <memory>
#include <vector>

namespace vemo::host {

inline constexpr int kSheetRows = 1048576;
inline constexpr int kSheetColumns = 16384;

struct Area {
  int top = 1, left = 1, bottom = 1, right = 1;  // 1-based, inclusive

  bool WholeRows() const { return left == 1 && right == kSheetColumns; }
  bool WholeColumns() const { return top == 1 && bottom == kSheetRows; }
  bool Contains(int row, int col) const { return row >= top && row <= bottom && col >= left && col <= right; }
  int RowCount() const { return bottom - top + 1; }
  int ColumnCount() const { return right - left + 1; }
};

// Moves or grows `area` for `count` lines inserted before line `at`:
// an area wholly at or after `at` moves; one that starts before `at` and
// reaches it grows; whole columns (for rows) or whole rows (for columns) stay whole.
void AdjustForInsertedRows(Area& area, int at, int count);
void AdjustForInsertedColumns(Area& area, int at, int count);

// The live areas of one sheet. Areas are shared with the range objects and
// forgotten once the last range holding them is gone.
class LiveAreas {
 public:
  std::shared_ptr<Area> Track(const Area& area);
  void RowsInserted(int at, int count);
  void ColumnsInserted(int at, int count);
  std::size_t LiveCount();

 private:
  template <class F>
  void ForEach(F&& f);
  std::vector<std::weak_ptr<Area>> areas_;
};

}  // namespace vemo::host
