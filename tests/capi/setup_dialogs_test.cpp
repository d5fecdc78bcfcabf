// The setup dialogs through the C interface, called as a host without Qt of
// its own calls them: without a display the member answers "needs a
// display" and why; with one (offscreen) the library loads the Qt user
// interface built for it and the dialog opens. The test closes each dialog
// as Escape does.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <thread>

#include "support/run_command.h"
#include "support/scoped_env.h"
#include "support/test_paths.h"
#include "vemoprint/vemoprint.h"

namespace {

using vemo::test::ScopedEnv;

// Presses Cancel on the first modal dialog shown, keeping its kind and
// title; run on the thread that shows it.
void CloseWhenShown(std::string* title) {
  if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
    *title = std::string(dialog->metaObject()->className()) + " " + dialog->windowTitle().toStdString();
    dialog->reject();
    return;
  }
  QTimer::singleShot(20, [title] { CloseWhenShown(title); });
}

// Calls the member; meanwhile a watcher waits for the Qt application the
// library makes and posts the closing to it. Answers the dialog's kind and
// title.
std::string OpenAndClose(vemo_object* setup, const char* member, int* status) {
  std::string title;
  std::atomic<bool> returned{false};
  std::thread watcher([&] {
    while (!returned && !QCoreApplication::instance()) std::this_thread::sleep_for(std::chrono::milliseconds(20));
    if (!returned) QMetaObject::invokeMethod(QCoreApplication::instance(), [&title] { CloseWhenShown(&title); }, Qt::QueuedConnection);
  });
  *status = vemo_call(setup, member, nullptr, 0, nullptr);
  returned = true;
  watcher.join();
  return title;
}

TEST(CInterface, SetupDialogsOpenWhenThereIsADisplay) {
  vemo::test::TempDir home;
  ASSERT_EQ(vemo::test::RunVemoprintIn(home.path(), "init", "VEMO_SAMPLES_DIR=" +
                                       vemo::test::ShellQuote(vemo::test::SourceDir() / "examples/templates")).status, 0);
  ScopedEnv data("VEMO_DATA_DIR", home.path().string()), machine("VEMO_MACHINE_CONFIG", (home / "machine").string());
  ScopedEnv x11("DISPLAY", std::nullopt), wayland("WAYLAND_DISPLAY", std::nullopt);
  std::optional<ScopedEnv> platform;
  platform.emplace("QT_QPA_PLATFORM", std::nullopt);
  ASSERT_EQ(vemo_initialize(nullptr), VEMO_OK) << vemo_last_error();
  vemo_object* waybills = nullptr;
  ASSERT_EQ(vemo_create("VemoPrintExport.ExportActionSetupLM", &waybills), VEMO_OK) << vemo_last_error();
  EXPECT_EQ(vemo_call(waybills, "NotePrintSetup", nullptr, 0, nullptr), 1001);
  EXPECT_NE(std::string(vemo_last_error()).find("needs a display: no window system support is installed for the setup "
                                                "dialogs; use \"vemoprint templates\" to manage templates (there is no "
                                                "display (set DISPLAY or WAYLAND_DISPLAY, or QT_QPA_PLATFORM))"),
            std::string::npos) << vemo_last_error();

  platform.emplace("QT_QPA_PLATFORM", "offscreen");
  vemo_value invoice{}, report = vemo_int(10506), name = vemo_text("销售汇总表"), fromDatabase = vemo_int(1);
  ASSERT_EQ(vemo_parse_json(R"({"classtype": {"FID": 1020002, "FName": "销售发票"}, "ClassTypeEntry": []})", &invoice), VEMO_OK);
  vemo_object *bills = nullptr, *reports = nullptr;
  ASSERT_EQ(vemo_create("VemoPrintExport.ExportActionSetup", &bills), VEMO_OK);
  ASSERT_EQ(vemo_set(bills, "DataSrv", &invoice), VEMO_OK) << vemo_last_error();
  ASSERT_EQ(vemo_create("VemoPrintExport.ExportActionSetupRpt", &reports), VEMO_OK);
  for (auto [property, value] : {std::pair{"RptID", &report}, {"RptName", &name}, {"DataSourceType", &fromDatabase}})
    ASSERT_EQ(vemo_set(reports, property, value), VEMO_OK) << property << ": " << vemo_last_error();
  struct Case {
    vemo_object* setup;
    const char* member;
    const char* title;
  } cases[] = {{waybills, "NotePrintSetup", "vemo::ui::WaybillTemplateDialog 打印模板设置"},
               {bills, "NotePrintSetup", "vemo::ui::TemplateDialog 打印模板设置"},
               {reports, "RptExcelPrintSetup", "vemo::ui::TemplateDialog 打印模板设置"}};
  for (const Case& c : cases) {
    int status = -1;
    EXPECT_EQ(OpenAndClose(c.setup, c.member, &status), c.title) << c.member;
    EXPECT_EQ(status, VEMO_OK) << c.member << ": " << vemo_last_error();
  }
  vemo_value_clear(&invoice);
  for (vemo_object* setup : {waybills, bills, reports}) vemo_release(setup);
}

}  // namespace
