#include "ui/grid/qt_setup_grid.h"

#include <QEvent>
#include <QHeaderView>
#include <QMouseEvent>
#include <QTimer>

#include "setup/grid_form.h"
#include "ui/grid/grid_cell_delegate.h"

namespace vemo::ui {

// Reports any mouse press or key in the grid as the user's input, before the
// view acts on it. A press on a row makes that row the active one; a key
// marks the current-row change it may cause as the user's (the view also
// moves its current cell by itself, when it first gets the focus).
class QtSetupGrid::InputWatcher : public QObject {
 public:
  explicit InputWatcher(QtSetupGrid& grid) : grid_(grid) {}
  bool eventFilter(QObject* watched, QEvent* event) override {
    const auto type = event->type();
    if ((type != QEvent::MouseButtonPress && type != QEvent::KeyPress) || grid_.quiet_ || !grid_.view_)
      return QObject::eventFilter(watched, event);
    if (grid_.listener_) grid_.listener_->OnGridUserInput();
    if (type == QEvent::MouseButtonPress && watched == grid_.view_->viewport()) {
      const QModelIndex index = grid_.view_->indexAt(static_cast<QMouseEvent*>(event)->position().toPoint());
      if (index.isValid() && index.row() + 1 != grid_.cells_.ActiveRow()) grid_.cells_.UserSelectRow(index.row() + 1);
    }
    if (type == QEvent::KeyPress) {
      grid_.keyActing_ = true;
      QTimer::singleShot(0, this, [this] { grid_.keyActing_ = false; });
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  QtSetupGrid& grid_;
};

template <class F>
void QtSetupGrid::Quietly(F&& change) {
  setup::ScopedFlag quiet(quiet_, true);
  change();
}

QtSetupGrid::QtSetupGrid(QTableView& view)
    : model_(std::make_unique<SetupGridModel>(cells_)), watcher_(std::make_unique<InputWatcher>(*this)), view_(&view) {
  view.setModel(model_.get());
  view.setItemDelegate(new GridCellDelegate(&view));
  view.verticalHeader()->hide();
  view.setSelectionBehavior(QAbstractItemView::SelectRows);
  view.setSelectionMode(QAbstractItemView::SingleSelection);
  view.setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::SelectedClicked |
                       QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed);
  view.horizontalHeader()->setHighlightSections(false);
  view.setWordWrap(false);  // one line per row, long texts elided
  view.viewport()->installEventFilter(watcher_.get());
  view.installEventFilter(watcher_.get());
  QObject::connect(view.selectionModel(), &QItemSelectionModel::currentRowChanged, model_.get(),
                   [this](const QModelIndex& current) { OnCurrentRowChanged(current); });
}

QtSetupGrid::~QtSetupGrid() {
  if (view_) {
    view_->viewport()->removeEventFilter(watcher_.get());
    view_->removeEventFilter(watcher_.get());
    view_->setModel(nullptr);
  }
}

void QtSetupGrid::SetListener(setup::GridListener* listener) {
  listener_ = listener;
  cells_.SetListener(listener);
}

int QtSetupGrid::PixelsOf(int twips) const {
  const int dpi = view_ ? view_->logicalDpiX() : 96;
  return (twips * dpi + 720) / 1440;
}

void QtSetupGrid::OnCurrentRowChanged(const QModelIndex& current) {
  if (quiet_ || !keyActing_ || !current.isValid() || current.row() + 1 == cells_.ActiveRow()) return;
  cells_.UserSelectRow(current.row() + 1);
}

void QtSetupGrid::ShowActiveRow() {
  if (!view_) return;
  Quietly([&] {
    const int row = cells_.ActiveRow();
    auto* selection = view_->selectionModel();
    if (row == 0) {
      selection->clearSelection();
      selection->clearCurrentIndex();
      return;
    }
    int col = view_->currentIndex().isValid() ? view_->currentIndex().column() : 0;
    while (col < cells_.ColumnCount() - 1 && view_->isColumnHidden(col)) ++col;
    selection->setCurrentIndex(model_->index(row - 1, col),
                               QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  });
}

void QtSetupGrid::ShowColumn(int col) {
  if (!view_) return;
  view_->setColumnHidden(col - 1, cells_.ColumnHidden(col) || cells_.ColumnWidth(col) == 0);
  if (cells_.ColumnWidth(col) > 0) view_->setColumnWidth(col - 1, PixelsOf(cells_.ColumnWidth(col)));
}

void QtSetupGrid::SetColumnCount(int count) {
  Quietly([&] { model_->ResizeColumns(count); });
  for (int col = 1; col <= count; ++col) ShowColumn(col);
  ShowActiveRow();
}

void QtSetupGrid::SetRowCount(int count) {
  Quietly([&] { model_->ResizeRows(count); });
  ShowActiveRow();
}

void QtSetupGrid::SetColumnHeader(int col, const std::string& text) {
  cells_.SetColumnHeader(col, text);
  model_->HeaderChanged(col);
}

void QtSetupGrid::SetColumnHidden(int col, bool hidden) {
  cells_.SetColumnHidden(col, hidden);
  ShowColumn(col);
}

void QtSetupGrid::SetColumnWidth(int col, int width) {
  cells_.SetColumnWidth(col, width);
  ShowColumn(col);
}

void QtSetupGrid::SetCellText(int row, int col, const std::string& text) {
  cells_.SetCellText(row, col, text);
  model_->CellsChanged(row, col, row, col);
}

void QtSetupGrid::SetCellType(int row, int col, setup::CellType type, const std::string& items) {
  cells_.SetCellType(row, col, type, items);
  model_->CellsChanged(row, col, row, col);
}

void QtSetupGrid::SetCellLocked(int row, int col, bool locked) {
  cells_.SetCellLocked(row, col, locked);
  model_->CellsChanged(row, col, row, col);
}

void QtSetupGrid::SetCellCentered(int row, int col, bool centered) {
  cells_.SetCellCentered(row, col, centered);
  model_->CellsChanged(row, col, row, col);
}

void QtSetupGrid::SetActiveRow(int row) {
  cells_.SetActiveRow(row);
  ShowActiveRow();
}

void QtSetupGrid::DeleteRow(int row) {
  Quietly([&] { model_->RemoveRow(row); });
  ShowActiveRow();
}

void QtSetupGrid::SetRedraw(bool on) {
  cells_.SetRedraw(on);
  if (view_) view_->setUpdatesEnabled(cells_.RedrawOn());
}

void QtSetupGrid::SelectBlock(int col1, int row1, int col2, int row2) {
  cells_.SelectBlock(col1, row1, col2, row2);
  block_[0] = col1 > 0 ? col1 : 1;
  block_[1] = row1 > 0 ? row1 : 1;
  block_[2] = col2 > 0 ? col2 : ColumnCount();
  block_[3] = row2 > 0 ? row2 : RowCount();
}

void QtSetupGrid::SetBlockLocked(bool locked) {
  cells_.SetBlockLocked(locked);
  model_->CellsChanged(block_[1], block_[0], block_[3], block_[2]);
}

void QtSetupGrid::SetBlockForeColor(std::uint32_t rgb) {
  cells_.SetBlockForeColor(rgb);
  model_->CellsChanged(block_[1], block_[0], block_[3], block_[2]);
}

}  // namespace vemo::ui
