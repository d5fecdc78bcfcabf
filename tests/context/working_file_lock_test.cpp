// flock() belongs to the open file, not the process: a second lock object in
// this process meets the first exactly as another process's would.
#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <thread>

#include "context/working_file_lock.h"
#include "support/test_paths.h"

namespace vemo::context {
namespace {

using namespace std::chrono_literals;

class WorkingFileLockTest : public ::testing::Test {
 protected:
  std::string Working(const char* name) const { return (dir_.path() / name).string(); }
  vemo::test::TempDir dir_;
};

TEST_F(WorkingFileLockTest, ASecondHolderWaitsBrieflyThenFailsWithTheBusyMessage) {
  WorkingFileLock first(Working("Tem1.xls"), 0ms);
  ASSERT_TRUE(first.Locked());
  const auto start = std::chrono::steady_clock::now();
  WorkingFileLock second(Working("Tem1.xls"), 300ms);
  const auto waited = std::chrono::steady_clock::now() - start;
  EXPECT_FALSE(second.Locked());
  EXPECT_EQ(second.Message(), kWorkingFileBusyMessage);
  EXPECT_GE(waited, 300ms);
  EXPECT_LT(waited, 2000ms);
  EXPECT_TRUE(WorkingFileLock(Working("Tem1.xlsx"), 0ms).Locked()) << "another working file is not blocked";
}

TEST_F(WorkingFileLockTest, AWaiterGetsTheLockWhenTheHolderEndsInTime) {
  std::optional<WorkingFileLock> first(std::in_place, Working("Tem1.xlsx"), 0ms);
  ASSERT_TRUE(first->Locked());
  std::thread releaser([&first] {
    std::this_thread::sleep_for(200ms);
    first.reset();
  });
  const auto start = std::chrono::steady_clock::now();
  WorkingFileLock waiter(Working("Tem1.xlsx"), 3000ms);
  const auto waited = std::chrono::steady_clock::now() - start;
  releaser.join();
  EXPECT_TRUE(waiter.Locked()) << waiter.Message();
  EXPECT_TRUE(waiter.Message().empty());
  EXPECT_GE(waited, 150ms);
}

TEST(WorkingFileLock, UnwritableFolderIsReportedWithThePath) {
  WorkingFileLock lock("/nonexistent-folder-for-vemo/Tem1.xls", 0ms);
  EXPECT_FALSE(lock.Locked());
  EXPECT_NE(lock.Message().find("/nonexistent-folder-for-vemo/Tem1.xls.lock"), std::string::npos);
}

}  // namespace
}  // namespace vemo::context
