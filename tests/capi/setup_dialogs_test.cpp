// A setup dialog called through the C interface by a host without Qt: "needs a
// display" without one; offscreen, the dialog opens (closed here as by Escape).
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QTimer>
#include <atomic>
#include <thread>

#include "support/run_command.h"
#include "support/scoped_env.h"
#include "support/test_paths.h"
#include "vemoprint/vemoprint.h"

namespace {

// Presses Cancel on the modal dialog once shown, keeping its kind and title.
void CloseWhenShown(std::string* shown) {
  if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
    *shown = std::string(dialog->metaObject()->className()) + " " + dialog->windowTitle().toStdString();
    return dialog->reject();
  }
  QTimer::singleShot(20, [shown] { CloseWhenShown(shown); });
}

TEST(CInterface, ASetupDialogOpensWhenThereIsADisplay) {
  vemo::test::TempDir home;
  const auto samples = vemo::test::ShellQuote(vemo::test::SourceDir() / "examples/templates");
  ASSERT_EQ(vemo::test::RunVemoprintIn(home.path(), "init", "VEMO_SAMPLES_DIR=" + samples).status, 0);
  using vemo::test::ScopedEnv;
  ScopedEnv data("VEMO_DATA_DIR", home.path().string()), machine("VEMO_MACHINE_CONFIG", (home / "machine").string());
  ScopedEnv x11("DISPLAY", std::nullopt), wayland("WAYLAND_DISPLAY", std::nullopt);
  std::optional<ScopedEnv> platform(std::in_place, "QT_QPA_PLATFORM", std::nullopt);
  ASSERT_EQ(vemo_initialize(nullptr), VEMO_OK) << vemo_last_error();
  vemo_object* setup = nullptr;
  ASSERT_EQ(vemo_create("VemoPrintExport.ExportActionSetupLM", &setup), VEMO_OK) << vemo_last_error();
  EXPECT_EQ(vemo_call(setup, "NotePrintSetup", nullptr, 0, nullptr), 1001);
  // The setup's refusal ("... needs a display ... to manage templates") and the library's reason.
  EXPECT_NE(std::string(vemo_last_error()).find("manage templates (there is no display"), std::string::npos)
      << vemo_last_error();

  // A watcher posts the closing to the Qt application once the library made it.
  platform.emplace("QT_QPA_PLATFORM", "offscreen");
  std::string shown;
  std::atomic<bool> returned{false};
  std::thread watcher([&] {
    while (!returned && !QCoreApplication::instance()) std::this_thread::sleep_for(std::chrono::milliseconds(20));
    if (!returned) QMetaObject::invokeMethod(QCoreApplication::instance(), [&] { CloseWhenShown(&shown); }, Qt::QueuedConnection);
  });
  EXPECT_EQ(vemo_call(setup, "NotePrintSetup", nullptr, 0, nullptr), VEMO_OK) << vemo_last_error();
  returned = true;
  watcher.join();
  EXPECT_EQ(shown, "vemo::ui::WaybillTemplateDialog 打印模板设置");
  vemo_release(setup);
}

}  // namespace
