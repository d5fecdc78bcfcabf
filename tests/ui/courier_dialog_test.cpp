// The courier company settings window on real widgets: the default rule and
// the growing last row through clicks and typing, saving through the
// buttons; and the Qt form host showing the windows modally, the courier
// window opened from the waybill templates.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTableView>
#include <QTimer>

#include "host/components/logistic_manage.h"
#include "setup/logistic_form.h"
#include "setup/note_set_lm_form.h"
#include "setup/setup_messages.h"
#include "ui/dialogs/courier_dialog.h"
#include "ui/dialogs/qt_form_host.h"
#include "ui/dialogs/waybill_template_dialog.h"
#include "dialog_fixture.h"

namespace vemo::ui {
namespace {

using setup::frmLogistic;
using setup::kColCourierDefault;
using setup::kColCourierName;
using setup::kColCourierShown;

class CourierDialogTest : public test::DialogTest {
 protected:
  frmLogistic form;
  CourierDialog dialog{form};
};

// The rules are the form's; here only that clicks and typing reach it, its
// reactions show, and the buttons save.
TEST_F(CourierDialogTest, ClicksAndTypingReachTheFormAndItsReactionsShow) {
  ASSERT_TRUE(dialog.Open());
  dialog.show();
  QTableView& view = *dialog.GridView();
  EXPECT_EQ(dialog.windowTitle(), QString::fromUtf8("物流公司设置"));
  test::ClickCell(view, 6, kColCourierDefault);  // 申通快递, a hidden company
  EXPECT_EQ(view.model()->index(0, kColCourierDefault - 1).data(Qt::CheckStateRole).toInt(), Qt::Unchecked)
      << "the window shows the form's change";

  test::TypeIntoCell(view, 7, kColCourierName, QString::fromUtf8("德邦快递"));
  EXPECT_EQ(view.model()->rowCount(), 8) << "a name in the last row adds an empty row";
  test::ClickCell(view, 7, kColCourierShown);
  test::SaveScreenshot(dialog, "courier_dialog");

  Press(dialog, frmLogistic::kApply);
  EXPECT_TRUE(Messages().empty()) << Messages().front().text;
  EXPECT_EQ(StoredCouriers().back(), "德邦快递 01");
}

// Presses a button of the modal window on top once the event loop runs it.
void PressOnTopWindowLater(int button, std::vector<QString>* titles) {
  QTimer::singleShot(0, [button, titles] {
    auto* window = qobject_cast<FormDialog*>(QApplication::activeModalWidget());
    if (!window) return;  // the test then never returns from ShowModal and times out
    titles->push_back(window->windowTitle());
    window->Button(button)->click();
  });
}

using FormHostTest = test::DialogTest;

// The window is shown modally and leaves the form the cells it held; the
// courier button of the waybill window opens the courier window on top.
TEST_F(FormHostTest, TheFormHostShowsTheWindowsModally) {
  frmLogistic couriers;
  std::vector<QString> titles;
  PressOnTopWindowLater(frmLogistic::kCancel, &titles);
  QtFormHost().ShowModal(couriers);
  EXPECT_TRUE(couriers.IsClosed());
  EXPECT_NE(dynamic_cast<setup::ScriptedGrid*>(&couriers.Grid()), nullptr) << "the window's grid left with the window";
  EXPECT_EQ(couriers.Grid().RowCount(), 7) << "with the cells it held";

  setup::ScopedFormHost host(std::make_shared<QtFormHost>());
  setup::frmNoteSetLM waybill;
  waybill.SetBillType(2000001);
  WaybillTemplateDialog dialog(waybill);
  ASSERT_TRUE(dialog.Open());
  dialog.show();
  PressOnTopWindowLater(frmLogistic::kCancel, &titles);
  dialog.Button(setup::frmNoteSetLM::kCouriers)->click();
  EXPECT_EQ(titles, (std::vector<QString>{QString::fromUtf8("物流公司设置"), QString::fromUtf8("物流公司设置")}));
  EXPECT_TRUE(dialog.isVisible()) << "the template window stays";
  EXPECT_EQ(dialog.CourierLookup()->count(), 5) << "the lookup is filled again";
}

}  // namespace
}  // namespace vemo::ui
