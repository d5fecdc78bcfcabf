// The Qt tests run on real widgets in one QApplication, offscreen unless a
// platform is named.
#include <gtest/gtest.h>

#include <QApplication>

// Under the leak checker: Qt's libraries have no frame pointers, so the fast
// unwinder stops in Qt and the memory Qt keeps for the process (the gesture
// recognizer the PDF view registers) shows up without the frame that
// scripts/lsan.supp names. Full unwinding finds it; only these tests need it.
extern "C" const char* __asan_default_options() { return "fast_unwind_on_malloc=0"; }

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
