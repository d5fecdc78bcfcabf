// The courier company settings dialog on the sample account's companies.
#include <gtest/gtest.h>

#include "host/components/logistic_manage.h"
#include "setup/logistic_form.h"
#include "setup_fixture.h"

namespace vemo::setup {
namespace {

using context::ShownMessage;

class LogisticFormTest : public test::SetupTest {
 protected:
  LogisticFormTest() { form.AttachGrid(grid); }
  std::string Column(int col) const {
    std::string text;
    for (int row = 1; row <= grid->RowCount(); ++row) text += grid->CellText(row, col).empty() ? "." : grid->CellText(row, col);
    return text;
  }
  std::shared_ptr<ScriptedGrid> grid = std::make_shared<ScriptedGrid>();
  frmLogistic form;
};

TEST_F(LogisticFormTest, LoadShowsEveryCompanyAndOneEmptyRowWithoutArmingTheReactions) {
  grid->SetReportsProgrammaticChanges(true);  // as a grid that reports the form's own changes
  form.Load();
  EXPECT_FALSE(form.Armed());
  EXPECT_TRUE(grid->ColumnHidden(kColCourierId));
  EXPECT_EQ(Column(kColCourierId), "123456.");
  EXPECT_EQ(Column(kColCourierDefault), "100000.");
  EXPECT_EQ(Column(kColCourierShown), "111110.");
  EXPECT_EQ(GridRows(*grid)[0], "1 SF 顺丰速运 1 1 shunfeng https://www.kuaidi100.com/all/sf.shtml");
  EXPECT_EQ(grid->CellTypeOf(7, kColCourierDefault), CellType::CheckBox);
}

TEST_F(LogisticFormTest, CheckingADefaultClearsEveryOtherAndShowsThatCompany) {
  form.Load();
  grid->UserClickCheck(6, kColCourierDefault);  // 申通快递, hidden
  EXPECT_TRUE(form.Armed());
  EXPECT_EQ(Column(kColCourierDefault), "000001.");
  EXPECT_EQ(Column(kColCourierShown), "111111.");
  grid->UserClickCheck(6, kColCourierShown);
  EXPECT_EQ(grid->CellText(6, kColCourierShown), "1") << "the default company cannot be hidden";
  grid->UserClickCheck(2, kColCourierShown);
  EXPECT_EQ(Column(kColCourierShown), "101111.") << "others can";
  grid->UserClickCheck(6, kColCourierDefault);
  EXPECT_EQ(Column(kColCourierDefault), "000000.") << "clearing a default changes nothing else";
}

TEST_F(LogisticFormTest, TypingANameInTheLastRowAddsARowAndTheNewCompanyIsSavedWithId0) {
  form.Load();
  grid->UserTypeText(7, kColCourierCode, "DBL");
  EXPECT_EQ(grid->RowCount(), 7) << "only the name column grows the grid";
  grid->UserTypeText(7, kColCourierName, "德邦快递");
  EXPECT_EQ(grid->RowCount(), 8);
  grid->UserTypeText(7, kColCourierName, "德邦物流");
  EXPECT_EQ(grid->RowCount(), 8) << "row 7 is no longer the last";
  grid->UserClickCheck(7, kColCourierShown);
  form.ClickButton(frmLogistic::kApply);
  EXPECT_TRUE(Messages().empty());
  EXPECT_EQ(StoredCouriers().back(), "德邦物流 01");
  EXPECT_NE(grid->CellText(7, kColCourierId), "") << "the list is reloaded after 应用, with the new company's id";
  EXPECT_EQ(grid->RowCount(), 8);
}

// The form refuses a list without a default itself; the component's
// refusals (a company without a name) are shown with their text.
TEST_F(LogisticFormTest, RefusedSavesSayWhyAndKeepTheGrid) {
  form.Load();
  grid->UserClickCheck(1, kColCourierDefault);  // clears the only default
  form.ClickButton(frmLogistic::kOk);
  EXPECT_FALSE(form.IsClosed());
  test::ExpectOnlyMessage(Messages(), "必须存在一个默认快递公司，请重新选择！", ShownMessage::Kind::HostMessage);
  EXPECT_EQ(StoredCouriers().front(), "顺丰速运 11") << "nothing is sent";
  grid->UserClickCheck(1, kColCourierDefault);
  grid->UserTypeText(1, kColCourierName, "");
  EXPECT_FALSE(form.SaveCompanies());
  ASSERT_EQ(Messages().size(), 2u);
  EXPECT_EQ(Messages()[1].kind, ShownMessage::Kind::HostMessage);
  EXPECT_FALSE(Messages()[1].text.empty());
  EXPECT_EQ(grid->CellText(1, kColCourierCode), "SF");
  // An empty or unreadable list gives one empty row; saving it sends nothing
  // and says nothing.
  auto empty = std::make_shared<test::EmptyCourierList>();
  for (bool readable : {true, false}) {
    ScopedFactory none(std::string(host::progid::kLogisticInfo),
                       readable ? ObjectFactory([empty] { return empty; }) : ObjectFactory(nullptr));
    form.Load();
    EXPECT_EQ(grid->RowCount(), 1) << readable;
    form.ClickButton(frmLogistic::kOk);
    EXPECT_FALSE(form.IsClosed()) << readable;
    EXPECT_EQ(Messages().size(), 2u) << readable;
  }
}

// What the presets are is the component's; the form restores them without a
// question and shows the list again.
TEST_F(LogisticFormTest, RestoringPresetsReloadsWithoutAQuestionAndCancelSavesNothing) {
  form.Load();
  grid->UserTypeText(2, kColCourierName, "中通");
  ASSERT_TRUE(form.SaveCompanies());
  form.ClickButton(frmLogistic::kRestorePresets);
  EXPECT_TRUE(Messages().empty());
  EXPECT_EQ(grid->CellText(2, kColCourierName), "中通快递");
  grid->UserTypeText(2, kColCourierName, "中通");
  form.ClickButton(frmLogistic::kCancel);
  EXPECT_TRUE(form.IsClosed());
  EXPECT_EQ(StoredCouriers()[1], "中通快递 01");
}

}  // namespace
}  // namespace vemo::setup
