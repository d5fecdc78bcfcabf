// The real program with the real library: vemoprint loads libvemo-qt-ui.so
// for --gui when there is a display (every symbol the library takes from
// the program must be exported, or the load fails), and keeps to the
// console without a display.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <string>

#include "support/test_paths.h"

namespace vemo::ui {
namespace {

struct Outcome {
  int status = -1;
  std::string output;
};

// Runs vemoprint of this build under `env` (an env(1) argument list).
Outcome Vemoprint(const std::string& env, const std::string& arguments) {
  const std::string program = std::string(VEMO_UI_BINARY_DIR) + "/vemoprint";
  const std::string command = "env " + env + " '" + program + "' " + arguments + " 2>&1";
  Outcome run;
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return run;
  std::array<char, 4096> buffer{};
  while (std::fgets(buffer.data(), buffer.size(), pipe)) run.output += buffer.data();
  run.status = WEXITSTATUS(pclose(pipe));
  return run;
}

class ProgramLoading : public ::testing::Test {
 protected:
  // A data folder of its own, so the program touches nothing of the user's.
  std::string Env(const std::string& display) const {
    return "-u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM VEMO_DATA_DIR='" + dir_.path().string() + "' " + display;
  }
  vemo::test::TempDir dir_;
};

TEST_F(ProgramLoading, GuiWithADisplayLoadsTheQtUserInterface) {
  const Outcome run = Vemoprint(Env("QT_QPA_PLATFORM=offscreen"), "--gui context");
  EXPECT_EQ(run.status, 0) << run.output;
  EXPECT_NE(run.output.find("user interface: Qt ("), std::string::npos) << run.output;
  EXPECT_EQ(run.output.find("--gui:"), std::string::npos) << "no complaint: " << run.output;
}

TEST_F(ProgramLoading, WithoutADisplayEverythingStaysOnTheConsole) {
  const Outcome gui = Vemoprint(Env(""), "--gui context");
  EXPECT_EQ(gui.status, 0) << gui.output;
  EXPECT_NE(gui.output.find("user interface: console"), std::string::npos) << gui.output;
  EXPECT_NE(gui.output.find("--gui: there is no display"), std::string::npos) << gui.output;
  const Outcome setup = Vemoprint(Env(""), "setup couriers");
  EXPECT_EQ(setup.status, 2) << setup.output;
  EXPECT_NE(setup.output.find("needs a display"), std::string::npos) << setup.output;
}

TEST_F(ProgramLoading, ADisplayWithoutItsServerIsNamedInsteadOfEndingTheProgram) {
  const Outcome run = Vemoprint(Env("DISPLAY=:8765"), "--gui context");
  EXPECT_EQ(run.status, 0) << run.output;
  EXPECT_NE(run.output.find("DISPLAY=:8765 has no X server"), std::string::npos) << run.output;
  EXPECT_NE(run.output.find("user interface: console"), std::string::npos) << run.output;
  const Outcome setup = Vemoprint(Env("DISPLAY=:8765.0"), "setup couriers");
  EXPECT_EQ(setup.status, 2) << setup.output;
  EXPECT_NE(setup.output.find("needs a display"), std::string::npos) << setup.output;
  EXPECT_NE(setup.output.find("no /tmp/.X11-unix/X8765)"), std::string::npos) << setup.output;
}

TEST_F(ProgramLoading, AMissingLibraryIsNamedAndTheConsoleStays) {
  const Outcome run = Vemoprint(Env("QT_QPA_PLATFORM=offscreen VEMO_QT_UI_LIBRARY=/nonexistent/libvemo-qt-ui.so"), "--gui context");
  EXPECT_EQ(run.status, 0) << run.output;
  EXPECT_NE(run.output.find("/nonexistent/libvemo-qt-ui.so is not installed"), std::string::npos) << run.output;
  EXPECT_NE(run.output.find("user interface: console"), std::string::npos) << run.output;
}

}  // namespace
}  // namespace vemo::ui
