// Two actions at once on the fixed working file: the second gives up with a
// clear message (how long it waits is the lock's business); neither writes
// into the other's workbook.
#include <gmock/gmock.h>

#include <atomic>
#include <future>

#include "action_fixture.h"
#include "actions/export_action.h"
#include "actions/working_file.h"
#include "context/working_file_lock.h"

namespace vemo::actions::test {
namespace {

using namespace std::chrono_literals;

class WorkingFileTest : public ActionTest {
 protected:
  WorkingFileTest() {
    // The first fill says it has begun and waits until released; a second
    // writer would change what it reads back.
    script_->onFill = [this](const std::string& file) {
      if (++fills_ == 1) {
        entered_.set_value();
        open_.wait();
      }
      const Bytes seen = ReadBytes(file);
      if (seen != store_->contents) overwritten_ = true;
    };
  }
  std::unique_ptr<ExportAction> Action() {
    auto action = std::make_unique<ExportAction>();
    action->SetDataSrv(Invoice());
    return action;
  }
  std::promise<void> entered_, release_;
  std::shared_future<void> open_ = release_.get_future().share();
  std::atomic<int> fills_{0};
  std::atomic<bool> overwritten_{false};
};

TEST_F(WorkingFileTest, SecondActionGivesUpWithAClearMessage) {
  detail::ScopedWorkingFileWait wait(150ms);
  auto first = Action(), second = Action();
  auto one = std::async(std::launch::async, [&] { return first->PrintBill(false); });
  entered_.get_future().wait();
  EXPECT_FALSE(second->PrintBill(false));
  release_.set_value();
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
  entered_.get_future().wait();
  desktop_->QueueFileName((temp_.path() / "out.xls").string());
  desktop_->QueueAnswer(context::vbNo);
  EXPECT_TRUE(second->PrintBill(false, true));  // not held up by the print
  release_.set_value();
  EXPECT_TRUE(one.get());
  EXPECT_FALSE(overwritten_.load());
}

}  // namespace
}  // namespace vemo::actions::test
