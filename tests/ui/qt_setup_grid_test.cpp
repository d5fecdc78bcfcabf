// QtSetupGrid on a real QTableView: what the dialogs set shows in the view,
// and the user's mouse and keyboard reach the listener as the in-memory
// grid reports them.
#include <gtest/gtest.h>

#include <QHeaderView>
#include <QTableView>

#include "setup/grid_form.h"
#include "ui/grid/qt_setup_grid.h"
#include "ui_fixture.h"

namespace vemo::ui {
namespace {

using setup::CellType;

// Writes down what the grid reports.
class Recorder : public setup::GridListener {
 public:
  void OnGridUserInput() override { events.push_back("input"); }
  void OnCheckClicked(int row, int col) override {
    events.push_back("check " + std::to_string(row) + "," + std::to_string(col) + "=" + grid->CellText(row, col));
  }
  void OnCellChanged(int row, int col) override {
    events.push_back("change " + std::to_string(row) + "," + std::to_string(col) + "=" + grid->CellText(row, col));
  }
  // The reported events without the plain input notes.
  std::vector<std::string> Changes() const {
    std::vector<std::string> out;
    for (const auto& event : events)
      if (event != "input") out.push_back(event);
    return out;
  }
  setup::SetupGrid* grid = nullptr;
  std::vector<std::string> events;
};

class QtSetupGridTest : public ::testing::Test {
 protected:
  QtSetupGridTest() : grid(view) {
    recorder.grid = &grid;
    grid.SetListener(&recorder);
    // The template grid's layout, as the dialogs make it.
    setup::LayOutColumns(grid, {{"FKey", "", 1000, true}, {"FName", "文件名称", 2000, false},
                                {"FFlag", "标志", 800, false}, {"FType", "类型", 1500, false}});
    grid.SetRowCount(3);
    for (int row = 1; row <= 3; ++row) {
      grid.SetCellText(row, 1, std::to_string(row));
      grid.SetCellText(row, 2, "t" + std::to_string(row) + ".xls");
      grid.SetCellLocked(row, 2, true);
      grid.SetCellType(row, 3, CellType::CheckBox);
      grid.SetCellCentered(row, 3, true);
      grid.SetCellText(row, 3, "0");
      grid.SetCellType(row, 4, CellType::DropDownList, "\t收据\t其他\t");
    }
    view.resize(500, 200);
    view.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&view));
  }
  QTableView view;
  QtSetupGrid grid;
  Recorder recorder;
};

TEST_F(QtSetupGridTest, TheViewShowsTheLayoutTheDialogSet) {
  EXPECT_TRUE(view.isColumnHidden(0));
  EXPECT_FALSE(view.isColumnHidden(1));
  EXPECT_EQ(view.columnWidth(1), grid.PixelsOf(2000));
  EXPECT_EQ(view.columnWidth(2), grid.PixelsOf(800));
  EXPECT_EQ(grid.PixelsOf(1440), view.logicalDpiX()) << "widths are twips";
  EXPECT_FALSE(view.verticalHeader()->isVisible()) << "the dialogs keep no row headers";
  auto* model = view.model();
  EXPECT_EQ(model->headerData(1, Qt::Horizontal).toString(), QString::fromUtf8("文件名称"));
  EXPECT_EQ(model->index(0, 1).data().toString(), "t1.xls");
  EXPECT_FALSE(model->flags(model->index(0, 1)) & Qt::ItemIsEditable) << "a locked cell takes no edit";
  EXPECT_TRUE(model->flags(model->index(0, 2)) & Qt::ItemIsUserCheckable);
  EXPECT_EQ(model->index(0, 2).data(Qt::DisplayRole), QVariant()) << "a check box cell shows no text";
  EXPECT_EQ(model->index(0, 2).data(Qt::TextAlignmentRole).value<Qt::Alignment>(), Qt::AlignCenter);
  grid.SetCellText(2, 3, "1");
  EXPECT_EQ(model->index(1, 2).data(Qt::CheckStateRole).toInt(), Qt::Checked);
  grid.SetColumnWidth(4, 0);
  EXPECT_TRUE(view.isColumnHidden(3)) << "a column 0 wide is not shown";
  EXPECT_TRUE(recorder.events.empty()) << "the dialog's own changes are not reported";
}

TEST_F(QtSetupGridTest, ClicksTypingAndChoicesReportInputThenTheChangedCellWithItsNewState) {
  test::ClickCell(view, 2, 3);
  ASSERT_FALSE(recorder.events.empty());
  EXPECT_EQ(recorder.events.front(), "input") << "the input comes before the change it causes";
  EXPECT_EQ(recorder.Changes(), (std::vector<std::string>{"check 2,3=1"}));
  EXPECT_EQ(grid.ActiveRow(), 2);
  test::ClickCell(view, 2, 3);
  EXPECT_EQ(recorder.Changes(), (std::vector<std::string>{"check 2,3=1", "check 2,3=0"}));
  grid.SetCellLocked(3, 3, true);
  test::ClickCell(view, 3, 3);
  EXPECT_EQ(grid.CellText(3, 3), "0") << "a locked check box does not toggle";
  EXPECT_EQ(recorder.Changes().size(), 2u);

  // Typing and drop-down choices report the changed cell.
  recorder.events.clear();
  grid.SetCellType(1, 4, CellType::Text);
  test::TypeIntoCell(view, 1, 4, QString::fromUtf8("其他"));
  test::ChooseInCell(view, 2, 4, QString::fromUtf8("收据"));
  EXPECT_EQ(recorder.Changes(), (std::vector<std::string>{"change 1,4=其他", "change 2,4=收据"}));
  EXPECT_EQ(view.model()->index(1, 3).data().toString(), QString::fromUtf8("收据"));
  test::ChooseInCell(view, 2, 4, QString::fromUtf8("收据"));
  EXPECT_EQ(recorder.Changes().size(), 2u) << "choosing the same entry again changes nothing";
}

// What rows, active row, redraw and blocks mean is the in-memory grid's
// (the cells live there); here only that the view follows.
TEST_F(QtSetupGridTest, RowsActiveRowRedrawAndBlocksReachTheView) {
  test::ClickCell(view, 2, 2);
  EXPECT_EQ(grid.ActiveRow(), 2);
  grid.DeleteRow(2);
  EXPECT_EQ(view.model()->rowCount(), 2);
  EXPECT_EQ(view.model()->index(1, 1).data().toString(), "t3.xls");
  EXPECT_FALSE(view.selectionModel()->hasSelection()) << "no row is active after a deletion";
  grid.SetRowCount(4);
  grid.SetActiveRow(4);
  EXPECT_EQ(view.currentIndex().row(), 3);
  EXPECT_EQ(recorder.Changes(), std::vector<std::string>{});
  {
    setup::RedrawSuspended quiet(grid);
    EXPECT_FALSE(view.updatesEnabled());
  }
  EXPECT_TRUE(view.updatesEnabled());
  grid.SelectBlock(2, 2, 3, 3);
  grid.SetBlockLocked(true);
  grid.SetBlockForeColor(0x0000FF);  // the host's red
  EXPECT_FALSE(view.model()->flags(view.model()->index(2, 2)) & Qt::ItemIsUserCheckable);
  EXPECT_EQ(view.model()->index(1, 1).data(Qt::ForegroundRole).value<QColor>(), QColor(255, 0, 0));
  EXPECT_EQ(view.model()->index(0, 1).data(Qt::ForegroundRole), QVariant());
}

}  // namespace
}  // namespace vemo::ui
