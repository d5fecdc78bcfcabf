#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <chrono>
#include <thread>

#include "context/working_file_lock.h"
#include "support/test_paths.h"

namespace vemo::context {
namespace {

using namespace std::chrono_literals;

// A second process that takes the lock, reports on `ready`, and holds it
// until a byte arrives on `release` (or the pipe closes).
class LockHolder {
 public:
  explicit LockHolder(const std::string& workingFile) {
    ::signal(SIGPIPE, SIG_IGN);
    int ready[2], release[2];
    if (::pipe(ready) != 0 || ::pipe(release) != 0) throw std::runtime_error("pipe failed");
    pid_ = ::fork();
    if (pid_ == 0) {
      ::close(ready[0]);
      ::close(release[1]);
      int status = 2;
      {
        WorkingFileLock lock(workingFile, 0ms);
        const char ok = lock.Locked() ? '1' : '0';
        if (::write(ready[1], &ok, 1) == 1 && lock.Locked()) {
          char byte;
          status = ::read(release[0], &byte, 1) >= 0 ? 0 : 3;
        }
      }
      ::_exit(status);
    }
    ::close(ready[1]);
    ::close(release[0]);
    releaseFd_ = release[1];
    char ok = '0';
    locked_ = ::read(ready[0], &ok, 1) == 1 && ok == '1';
    ::close(ready[0]);
  }
  ~LockHolder() { Finish(); }

  bool Locked() const { return locked_; }
  // Lets the holder go after `delay`, from a thread of this process.
  std::thread ReleaseAfter(std::chrono::milliseconds delay) {
    return std::thread([this, delay] {
      std::this_thread::sleep_for(delay);
      const char byte = 'x';
      (void)!::write(releaseFd_, &byte, 1);
    });
  }
  int Finish() {
    if (pid_ <= 0) return status_;
    const char byte = 'x';
    (void)!::write(releaseFd_, &byte, 1);  // the holder may have gone already: SIGPIPE is ignored
    ::close(releaseFd_);
    int status = 0;
    ::waitpid(pid_, &status, 0);
    pid_ = -1;
    status_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return status_;
  }

 private:
  pid_t pid_ = -1;
  int releaseFd_ = -1;
  bool locked_ = false;
  int status_ = -1;
};

TEST(WorkingFileLock, SecondProcessWaitsBrieflyThenFailsWithTheBusyMessage) {
  vemo::test::TempDir dir;
  const std::string working = (dir.path() / "Tem1.xls").string();
  LockHolder holder(working);
  ASSERT_TRUE(holder.Locked());

  const auto start = std::chrono::steady_clock::now();
  WorkingFileLock lock(working, 300ms);
  const auto waited = std::chrono::steady_clock::now() - start;
  EXPECT_FALSE(lock.Locked());
  EXPECT_EQ(lock.Message(), kWorkingFileBusyMessage);
  EXPECT_GE(waited, 300ms);
  EXPECT_LT(waited, 2000ms);
  EXPECT_EQ(holder.Finish(), 0);
}

TEST(WorkingFileLock, WaiterGetsTheLockWhenTheHolderFinishesInTime) {
  vemo::test::TempDir dir;
  const std::string working = (dir.path() / "Tem1.xlsx").string();
  LockHolder holder(working);
  ASSERT_TRUE(holder.Locked());
  std::thread releaser = holder.ReleaseAfter(200ms);
  const auto start = std::chrono::steady_clock::now();
  WorkingFileLock lock(working, 3000ms);
  const auto waited = std::chrono::steady_clock::now() - start;
  releaser.join();
  EXPECT_TRUE(lock.Locked()) << lock.Message();
  EXPECT_TRUE(lock.Message().empty());
  EXPECT_GE(waited, 150ms);
  EXPECT_EQ(holder.Finish(), 0);
}

TEST(WorkingFileLock, ReleasedWhenTheObjectEnds) {
  vemo::test::TempDir dir;
  const std::string working = (dir.path() / "Tem1.xls").string();
  {
    WorkingFileLock first(working, 0ms);
    ASSERT_TRUE(first.Locked());
    WorkingFileLock second(working, 0ms);  // flock is per open file: a second open in one process waits too
    EXPECT_FALSE(second.Locked());
  }
  LockHolder holder(working);
  EXPECT_TRUE(holder.Locked());
}

TEST(WorkingFileLock, DifferentWorkingFilesDoNotBlockEachOther) {
  vemo::test::TempDir dir;
  LockHolder holder((dir.path() / "Tem1.xls").string());
  ASSERT_TRUE(holder.Locked());
  WorkingFileLock other((dir.path() / "Tem1.xlsx").string(), 0ms);
  EXPECT_TRUE(other.Locked());
}

TEST(WorkingFileLock, UnwritableFolderIsReportedWithThePath) {
  WorkingFileLock lock("/nonexistent-folder-for-vemo/Tem1.xls", 0ms);
  EXPECT_FALSE(lock.Locked());
  EXPECT_NE(lock.Message().find("/nonexistent-folder-for-vemo/Tem1.xls.lock"), std::string::npos);
}

}  // namespace
}  // namespace vemo::context
