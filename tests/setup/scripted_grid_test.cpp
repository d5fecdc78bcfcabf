// The in-memory grid: what tests and the command line rely on when they
// play the user.
#include <gtest/gtest.h>

#include "setup/scripted_grid.h"

namespace vemo::setup {
namespace {

struct Recorder : GridListener {
  void OnGridUserInput() override { events.push_back("input"); }
  void OnCheckClicked(int row, int col) override { events.push_back("check " + std::to_string(row) + "," + std::to_string(col)); }
  void OnCellChanged(int row, int col) override { events.push_back("change " + std::to_string(row) + "," + std::to_string(col)); }
  std::vector<std::string> events;
};

class ScriptedGridTest : public ::testing::Test {
 protected:
  ScriptedGridTest() {
    grid.SetColumnCount(3);
    grid.SetRowCount(3);
    grid.SetListener(&recorder);
  }
  ScriptedGrid grid;
  Recorder recorder;
};

TEST_F(ScriptedGridTest, UserActionsReportInputThenTheChangeAndActivateTheRow) {
  grid.SetCellType(2, 1, CellType::CheckBox);
  grid.UserClickCheck(2, 1);
  EXPECT_EQ(grid.CellText(2, 1), "1");
  grid.UserClickCheck(2, 1);
  EXPECT_EQ(grid.CellText(2, 1), "0");
  grid.SetCellType(3, 2, CellType::DropDownList, "\tA\tB\t");
  grid.UserChooseText(3, 2, "B");
  grid.UserChooseText(3, 2, "");
  EXPECT_EQ(grid.ActiveRow(), 3);
  EXPECT_EQ(recorder.events, (std::vector<std::string>{"input", "check 2,1", "input", "check 2,1", "input", "change 3,2", "input",
                                                       "change 3,2"}));
}

TEST_F(ScriptedGridTest, WhatAUserCannotDoIsRefusedAndProgrammaticChangesAreReportedOnlyWhenAsked) {
  grid.SetCellLocked(1, 1, true);
  EXPECT_THROW(grid.UserTypeText(1, 1, "x"), std::logic_error);
  grid.SetColumnHidden(2, true);
  EXPECT_THROW(grid.UserTypeText(1, 2, "x"), std::logic_error);
  EXPECT_THROW(grid.UserClickCheck(1, 3), std::logic_error) << "not a check box";
  grid.SetCellType(1, 3, CellType::DropDownList, "\tAB\t");
  EXPECT_THROW(grid.UserChooseText(1, 3, "A"), std::logic_error) << "only whole items";
  EXPECT_THROW(grid.UserSelectRow(4), std::logic_error);
  EXPECT_TRUE(recorder.events.empty()) << "nothing refused reaches the listener";
  EXPECT_EQ(grid.CellText(1, 1), "");
  // Programmatic changes are reported only when asked, and only changes.
  grid.SetCellText(1, 1, "a");
  EXPECT_TRUE(recorder.events.empty());
  grid.SetReportsProgrammaticChanges(true);
  grid.SetCellText(1, 1, "b");
  grid.SetCellText(1, 1, "b");
  EXPECT_EQ(recorder.events, std::vector<std::string>{"change 1,1"});
}

TEST_F(ScriptedGridTest, DeletingARowMovesTheRestUpAndLeavesNoActiveRow) {
  for (int row = 1; row <= 3; ++row) grid.SetCellText(row, 1, std::to_string(row));
  grid.SetActiveRow(2);
  grid.DeleteRow(2);
  EXPECT_EQ(grid.RowCount(), 2);
  EXPECT_EQ(grid.CellText(2, 1), "3");
  EXPECT_EQ(grid.ActiveRow(), 0);
  EXPECT_EQ(LastRowHoldingData(grid), 2);
  grid.SetRowCount(4);
  EXPECT_EQ(LastRowHoldingData(grid), 2) << "new rows are empty";
}

TEST_F(ScriptedGridTest, ABlockDefaultsToTheWholeGridAndRedrawSuspensionNests) {
  grid.SelectBlock();
  grid.SetBlockLocked(true);
  grid.SetBlockForeColor(0x808080);
  grid.SelectBlock(2, 2);
  grid.SetBlockLocked(false);
  std::string locked;
  for (int row = 1; row <= 3; ++row)
    for (int col = 1; col <= 3; ++col) locked += grid.CellLocked(row, col) ? "1" : "0";
  EXPECT_EQ(locked, "111100100") << "rows 2 and 3 from column 2 on unlocked";
  EXPECT_EQ(grid.CellForeColor(1, 1), 0x808080u);
  {
    RedrawSuspended outer(grid);
    { RedrawSuspended inner(grid); }
    EXPECT_FALSE(grid.RedrawOn());
  }
  EXPECT_TRUE(grid.RedrawOn());
}

}  // namespace
}  // namespace vemo::setup
