// The real program with the real library: vemoprint loads libvemo-qt-ui.so
// for --gui when there is a display (every symbol the library takes from
// the program must be exported, or the load fails), and keeps to the
// console without a display.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <string>
#include <vector>

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

// What the program says about its user interface for each display; "needs a
// display" for the setup dialogs comes with the reason there is none.
TEST_F(ProgramLoading, TheInterfaceEachDisplayGives) {
  const struct {
    const char *display, *arguments;
    int status;
    std::vector<std::string> said;
  } cases[] = {
      {"QT_QPA_PLATFORM=offscreen", "--gui context", 0, {"user interface: Qt ("}},
      {"", "--gui context", 0, {"user interface: console", "--gui: there is no display"}},
      {"DISPLAY=:8765", "--gui context", 0, {"DISPLAY=:8765 has no X server", "user interface: console"}},
      {"DISPLAY=:8765.0", "setup couriers", 2, {"needs a display", "no /tmp/.X11-unix/X8765)"}},
      {"QT_QPA_PLATFORM=offscreen VEMO_QT_UI_LIBRARY=/nonexistent/libvemo-qt-ui.so", "--gui context", 0,
       {"/nonexistent/libvemo-qt-ui.so is not installed", "user interface: console"}},
  };
  for (const auto& c : cases) {
    const Outcome run = Vemoprint(Env(c.display), c.arguments);
    EXPECT_EQ(run.status, c.status) << c.display << "\n" << run.output;
    for (const std::string& text : c.said) EXPECT_NE(run.output.find(text), std::string::npos) << text << "\n" << run.output;
  }
}

}  // namespace
}  // namespace vemo::ui
