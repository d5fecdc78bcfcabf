// Child processes: exit codes and output come back, and an overrun ends the
// whole process group, grandchildren included.
#include <gtest/gtest.h>
#include <signal.h>

#include <fstream>
#include <thread>

#include "host/output/child_process.h"
#include "host/output/output_error.h"
#include "support/test_paths.h"
#include "support/error_text.h"

namespace vemo::host {
namespace {

using namespace std::chrono_literals;

// Gone, or a zombie waiting for whoever adopted it.
bool ProcessEnded(pid_t pid) {
  if (::kill(pid, 0) != 0) return true;
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  std::string pidText, name, state;
  stat >> pidText >> name >> state;
  return state == "Z" || state == "X";
}

TEST(ChildProcess, ReportsExitCodeAndOutput) {
  auto result = RunChild({"sh", "-c", "echo out; echo err >&2; exit 3"}, 10s);
  EXPECT_FALSE(result.timedOut);
  EXPECT_EQ(result.exitCode, 3);
  EXPECT_NE(result.output.find("out"), std::string::npos);
  EXPECT_NE(result.output.find("err"), std::string::npos);
}

TEST(ChildProcess, AnOverrunOrANormalExitEndsTheGrandchildrenToo) {
  for (const bool overrun : {true, false}) {
    vemo::test::TempDir dir;
    const auto pidFile = dir / "grandchild.pid";
    const auto start = std::chrono::steady_clock::now();
    // Overrunning, the child waits for its grandchild; else it leaves it behind.
    auto result = RunChild({"sh", "-c", "sleep 30 >/dev/null 2>&1 & echo $! > '" + pidFile.string() + "'" + (overrun ? "; wait" : "")},
                           overrun ? 300ms : 10s);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 5s);
    EXPECT_EQ(result.timedOut, overrun);
    pid_t grandchild = 0;
    std::ifstream(pidFile) >> grandchild;
    ASSERT_GT(grandchild, 0);
    for (int i = 0; i < 100 && !ProcessEnded(grandchild); ++i) std::this_thread::sleep_for(20ms);
    EXPECT_TRUE(ProcessEnded(grandchild)) << "the grandchild " << grandchild << " survived; overrun " << overrun;
  }
}

TEST(ChildProcess, AMissingProgramIsAnErrorNamingIt) {
  vemo::test::ExpectErrorSaying<OutputError>([&] { RunChild({"/nonexistent/renderer"}, 1s); }, "/nonexistent/renderer");
}

TEST(ChildProcess, WaitChildTellsRunningFromEnded) {
  pid_t pid = StartChild({"sleep", "0.3"});
  EXPECT_EQ(WaitChild(pid, 20ms), -2);
  EXPECT_EQ(WaitChild(pid, 5s), 0);
}

}  // namespace
}  // namespace vemo::host
