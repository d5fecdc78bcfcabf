// End to end: the vemoprint binary reads --session and --machine-config and
// prints what the session context sees.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "support/run_command.h"
#include "support/test_paths.h"

namespace vemo::context {
namespace {

using RunResult = vemo::test::CommandResult;
std::filesystem::path Vemoprint() { return vemo::test::VemoprintPath(); }

RunResult RunVemoprint(const std::string& arguments) {
  return vemo::test::RunCommand("VEMO_NO_SPREADSHEET= " + Vemoprint().string() + " " + arguments);
}

class ContextCommand : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!std::filesystem::exists(Vemoprint())) GTEST_SKIP() << "vemoprint is not built at " << Vemoprint();
    std::filesystem::create_directories(dir_.path() / "mc" / "drive_c" / "Tradon");
    std::ofstream(dir_.path() / "mc" / "registry.json")
        << R"({"SOFTWARE\\Quorvan\\TRADON\\VemoPRODUCT": {"Path": "C:\\Tradon"}})";
    std::ofstream(dir_.path() / "mc" / "drive_c" / "Tradon" / "VemoBaseScheme.ini") << "[Version]\nBarcodeControlType=2\n";
    std::ofstream(dir_.path() / "session.json") << R"({"IsOuterLogin": 0,
      "login": {"PropsString": "UserName=Tom;ConnectString={Provider=X;Initial Catalog=Acc1}"},
      "settings": {"AppType": 3, "AppPath": "C:\\App"}})";
  }
  std::string Args() const {
    return "--session " + (dir_.path() / "session.json").string() + " --machine-config " + (dir_.path() / "mc").string();
  }
  vemo::test::TempDir dir_;
};

TEST_F(ContextCommand, PrintsWhatTheSessionAndMachineConfigurationGive) {
  const RunResult run = RunVemoprint(Args() + " context");
  EXPECT_EQ(run.status, 0) << run.output;
  // The session's props and settings, the machine configuration's registry
  // and drive C, and our own spreadsheet application under the first
  // identifier tried.
  for (const char* line : {"user: Tom\n", "app path: C:\\App", "picture folder: C:\\Tradon\\Graphics\\ItemPhotos\\Acc1",
                           "barcode control type: 2\n", "spreadsheet application: ET.Application"})
    EXPECT_NE(run.output.find(line), std::string::npos) << line << "\n" << run.output;
}

TEST_F(ContextCommand, BadOptionsAreUsageErrors) {
  const RunResult missing = RunVemoprint("--session " + (dir_.path() / "none.json").string() + " context");
  EXPECT_EQ(missing.status, 2);
  EXPECT_NE(missing.output.find("none.json"), std::string::npos);
  const RunResult noFolder = RunVemoprint("--machine-config " + (dir_.path() / "nofolder").string() + " context");
  EXPECT_EQ(noFolder.status, 2);
  EXPECT_NE(noFolder.output.find("nofolder"), std::string::npos);
}

}  // namespace
}  // namespace vemo::context
