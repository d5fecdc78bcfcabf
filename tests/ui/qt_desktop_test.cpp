// The Qt desktop: the host's message box flags and file dialog requests as
// Qt sees them (pure functions, nothing shown), one real box answered
// through its buttons, and the hourglass as the application's cursor.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QTimer>

#include "ui/desktop/file_dialog_plan.h"
#include "ui/desktop/message_box_plan.h"
#include "ui/desktop/qt_desktop.h"

namespace vemo::ui {
namespace {

using B = QMessageBox;
using Buttons = std::vector<QMessageBox::StandardButton>;

TEST(MessageBoxPlan, TheFlagsButtonIconAndDefaultPartsAndTheAnswers) {
  struct Case {
    int flags;
    Buttons buttons;
    B::StandardButton escape;
  };
  const Case cases[] = {{context::vbOKOnly, {B::Ok}, B::Ok},
                        {context::vbOKCancel, {B::Ok, B::Cancel}, B::Cancel},
                        {2, {B::Abort, B::Retry, B::Ignore}, B::Abort},
                        {context::vbYesNoCancel, {B::Yes, B::No, B::Cancel}, B::Cancel},
                        {context::vbYesNo, {B::Yes, B::No}, B::No},
                        {5, {B::Retry, B::Cancel}, B::Cancel}};
  for (const Case& c : cases) {
    const MessageBoxPlan plan = PlanMessageBox(c.flags | context::vbQuestion);
    EXPECT_EQ(plan.buttons, c.buttons) << c.flags;
    EXPECT_EQ(plan.escapeButton, c.escape) << c.flags;
    EXPECT_EQ(plan.defaultButton, c.buttons.front()) << c.flags;
  }
  // Where an unattended box has an answer, Escape gives the same one.
  for (int flags : {context::vbOKOnly, context::vbOKCancel, context::vbYesNoCancel, context::vbYesNo})
    EXPECT_EQ(HostAnswerOf(PlanMessageBox(flags).escapeButton), context::UnattendedAnswer(flags, false)) << flags;
  // The icon part, and the default button part.
  const std::pair<int, B::Icon> icons[] = {{context::vbCritical, B::Critical}, {context::vbQuestion, B::Question},
                                            {context::vbExclamation, B::Warning}, {context::vbInformation, B::Information},
                                            {0, B::NoIcon}};
  for (const auto& [flags, icon] : icons) EXPECT_EQ(PlanMessageBox(flags | context::vbYesNo).icon, icon) << flags;
  EXPECT_EQ(PlanMessageBox(context::vbYesNo | 256).defaultButton, B::No) << "the second button";
  EXPECT_EQ(PlanMessageBox(context::vbYesNoCancel | 512).defaultButton, B::Cancel) << "the third";
  EXPECT_EQ(PlanMessageBox(context::vbOKOnly | 512).defaultButton, B::Ok) << "beyond the last: the last";
  // Answers are the host's codes.
  const B::StandardButton byCode[] = {B::NoButton, B::Ok, B::Cancel, B::Abort, B::Retry, B::Ignore, B::Yes, B::No};
  for (int code = 1; code <= 7; ++code) EXPECT_EQ(HostAnswerOf(byCode[code]), code) << code;
  EXPECT_EQ(HostAnswerOf(B::NoButton), context::vbCancel) << "a box closed without a button";
}

TEST(FileDialogPlan, TheHostsFilterPairsBecomeQtNameFiltersChosenByIndex) {
  EXPECT_EQ(QtNameFilters("打印模板文件 Excel 97-2003 (*.xls)|*.xls|打印模板文件 Excel (*.xlsx)|*.xlsx"),
            (QStringList{QString::fromUtf8("打印模板文件 Excel 97-2003 (*.xls)"), QString::fromUtf8("打印模板文件 Excel (*.xlsx)")}))
      << "a description ending in its patterns keeps them once";
  EXPECT_EQ(QtNameFilters("Workbooks|*.xls;*.xlsx|All files (*.*)|*.*"),
            (QStringList{"Workbooks (*.xls *.xlsx)", "All files (*)"}));
  EXPECT_EQ(QtNameFilters("Excel (*.xls)|*.xlsx"), QStringList{"Excel (*.xls) (*.xlsx)"})
      << "brackets that name other patterns stay part of the description";
  EXPECT_EQ(QtNameFilters(""), QStringList{});
  // The filter index counts from one and falls back to the first.
  context::FileDialogRequest request;
  request.filter = "A|*.a|B|*.b";
  request.filterIndex = 2;
  EXPECT_EQ(PlanFileDialog(request, false).selectedFilter, "B (*.b)");
  for (int index : {0, 3, -1}) {
    request.filterIndex = index;
    EXPECT_EQ(PlanFileDialog(request, false).selectedFilter, "A (*.a)") << index;
  }
}

TEST(FileDialogPlan, TheSaveDialogOfAnExportAndTheOpenDialogOfAnImport) {
  context::FileDialogRequest request;
  request.title = "引出打印模板文件";
  request.filter = "打印模板文件 Excel (*.xlsx)|*.xlsx";
  request.fileName = "/srv/host/ExcelPrint/*.xlsx";
  request.flags = 2 | 2048;
  FileDialogPlan plan = PlanFileDialog(request, true);
  EXPECT_EQ(plan.title, QString::fromUtf8("引出打印模板文件"));
  EXPECT_EQ(plan.directory, "/srv/host/ExcelPrint/");
  EXPECT_EQ(plan.proposedName, "") << "a pattern is no name";
  EXPECT_TRUE(plan.confirmOverwrite);
  EXPECT_EQ(plan.defaultSuffix, "xlsx");
  request.flags = 2048;
  request.fileName = "/srv/out/bill.xls";
  EXPECT_FALSE(PlanFileDialog(request, true).confirmOverwrite) << "no overwrite flag, no question";
  EXPECT_EQ(PlanFileDialog(request, true).proposedName, "bill.xls");

  request = {};
  request.initialFolder = "/srv/host/ExcelPrint/";
  request.flags = 4096 | 2048;
  plan = PlanFileDialog(request, false);
  EXPECT_TRUE(plan.existingFileOnly);
  EXPECT_FALSE(plan.confirmOverwrite);
  EXPECT_EQ(plan.defaultSuffix, "");
  EXPECT_EQ(plan.directory, "/srv/host/ExcelPrint/");
  request.flags = 0;
  EXPECT_FALSE(PlanFileDialog(request, false).existingFileOnly);
}

TEST(QtDesktop, AMessageBoxShowsTheTitleTextButtonsAndAnswersTheHostsCode) {
  QtDesktop desktop;
  QString title, text;
  QStringList buttons;
  QTimer::singleShot(0, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box) return;
    title = box->windowTitle();
    text = box->text();
    for (auto* button : box->buttons()) buttons << box->button(box->standardButton(button))->text();
    box->button(QMessageBox::No)->click();
  });
  const int answer = desktop.MessageBox("是否删除打印模板文件？", context::vbYesNo | context::vbQuestion, "Quorvan提示");
  EXPECT_EQ(answer, context::vbNo);
  EXPECT_EQ(title, QString::fromUtf8("Quorvan提示"));
  EXPECT_EQ(text, QString::fromUtf8("是否删除打印模板文件？"));
  EXPECT_EQ(buttons.size(), 2);

  // The cause of a failure comes in a box too (printing with --gui).
  QTimer::singleShot(0, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box) return;
    text = box->text();
    box->buttons().front()->click();
  });
  desktop.ReportCause("printing failed: no default printer is set up");
  EXPECT_EQ(text, QString::fromUtf8("printing failed: no default printer is set up"));
}

TEST(QtDesktop, LongWorkShowsAProgressDialogWhoseCancelStopsIt) {
  QtDesktop desktop;
  auto progress = desktop.BeginProgress("filling 20000 lines");
  ASSERT_TRUE(progress->Update(1024, 20000, "1024 of 20000 (5%)"));
  QProgressDialog* dialog = nullptr;
  for (QWidget* widget : QApplication::topLevelWidgets())
    if (auto* found = qobject_cast<QProgressDialog*>(widget)) dialog = found;
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(dialog->value() * 20000 / dialog->maximum(), 1024);
  EXPECT_EQ(dialog->labelText(), QString::fromUtf8("filling 20000 lines\n1024 of 20000 (5%)"));
  dialog->cancel();  // what the Cancel button does
  EXPECT_FALSE(progress->Update(2048, 20000, "2048 of 20000 (10%)"));
}

TEST(QtDesktop, TheHourglassIsTheApplicationsOverrideCursorWhileSet) {
  {
    QtDesktop desktop;
    ASSERT_EQ(QGuiApplication::overrideCursor(), nullptr);
    desktop.SetMousePointer(context::kPointerHourglass);
    desktop.SetMousePointer(context::kPointerHourglass);
    ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
    EXPECT_EQ(desktop.MousePointer(), context::kPointerHourglass);
    desktop.SetMousePointer(context::kPointerDefault);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr) << "set twice, restored once";
    desktop.SetMousePointer(context::kPointerHourglass);
  }
  EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr) << "a desktop that goes takes its hourglass along";
}

}  // namespace
}  // namespace vemo::ui
