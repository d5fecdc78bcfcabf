// Two actions at once on the fixed working file: the second gives up with a
// clear message (how long it waits is the lock's business); neither writes
// into the other's workbook.
#include <gmock/gmock.h>

#include <atomic>
#include <condition_variable>
#include <future>
#include <mutex>

#include "action_fixture.h"
#include "actions/export_action.h"
#include "actions/working_file.h"
#include "context/working_file_lock.h"

namespace vemo::actions::test {
namespace {

using namespace std::chrono_literals;

// Holds the first fill until released, and tells when it has begun.
class Gate {
 public:
  void Enter() {
    std::unique_lock lock(mutex_);
    entered_ = true;
    changed_.notify_all();
    changed_.wait(lock, [this] { return open_; });
  }
  void WaitUntilEntered() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return entered_; });
  }
  void Open() {
    std::lock_guard lock(mutex_);
    open_ = true;
    changed_.notify_all();
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  bool entered_ = false, open_ = false;
};

class WorkingFileTest : public ActionTest {
 protected:
  WorkingFileTest() {
    // Each fill stamps the working file; a second writer would change it.
    script_->onFill = [this](const std::string& file) {
      const int mine = ++fills_;
      if (mine == 1) gate_.Enter();
      const Bytes seen = ReadBytes(file);
      if (seen != store_->contents) overwritten_ = true;
    };
  }
  std::unique_ptr<ExportAction> Action() {
    auto action = std::make_unique<ExportAction>();
    action->SetDataSrv(Invoice());
    return action;
  }
  Gate gate_;
  std::atomic<int> fills_{0};
  std::atomic<bool> overwritten_{false};
};

TEST_F(WorkingFileTest, SecondActionGivesUpWithAClearMessage) {
  detail::ScopedWorkingFileWait wait(150ms);
  auto first = Action(), second = Action();
  auto one = std::async(std::launch::async, [&] { return first->PrintBill(false); });
  gate_.WaitUntilEntered();
  EXPECT_FALSE(second->PrintBill(false));
  gate_.Open();
  EXPECT_TRUE(one.get());
  ExpectOnlyBox(Messages(), std::string(context::kWorkingFileBusyMessage), context::vbOKOnly, context::vbExclamation);
  EXPECT_EQ(fills_.load(), 1);
  EXPECT_FALSE(overwritten_.load());
  EXPECT_EQ(logEntries_->size(), 1u);
}

TEST_F(WorkingFileTest, ExportToFileUsesItsOwnWorkingCopy) {
  detail::ScopedWorkingFileWait wait(100ms);
  auto first = Action(), second = Action();
  auto one = std::async(std::launch::async, [&] { return first->PrintBill(false); });
  gate_.WaitUntilEntered();
  desktop_->QueueFileName((temp_.path() / "out.xls").string());
  desktop_->QueueAnswer(context::vbNo);
  EXPECT_TRUE(second->PrintBill(false, true));  // not held up by the print
  gate_.Open();
  EXPECT_TRUE(one.get());
  EXPECT_FALSE(overwritten_.load());
}

}  // namespace
}  // namespace vemo::actions::test
