// The desktop of tests: answers come from queues set up beforehand, and
// everything shown is recorded.
//
//   auto desktop = std::make_shared<ScriptedDesktop>();
//   desktop->QueueAnswer(vbYes);
//   desktop->QueueFileName("/tmp/out.xlsx");   // or QueueFileName(std::nullopt) to cancel
//   ScopedDesktop use(desktop);
//   ... run the code ...
//   EXPECT_EQ(desktop->Messages().at(0).text, "...");
//
// A box with no queued answer answers UnattendedAnswer(flags, false); a
// dialog with no queued file name is cancelled.
#pragma once
#include <deque>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "context/desktop.h"

namespace vemo::context {

struct ShownMessage {
  enum class Kind { MessageBox, HostMessage };
  Kind kind = Kind::MessageBox;
  std::string text;
  std::string title;  // "" for the message service
  int buttons = 0;    // the flags' button part
  int icon = 0;       // the flags' icon part
  int answer = 0;     // what the box answered (0 for the message service)
};

struct ShownProgress {
  std::string what;
  std::size_t done = 0;
  std::size_t total = 0;
  std::string status;
};

struct ShownDialog {
  enum class Kind { Open, Save };
  Kind kind = Kind::Open;
  FileDialogRequest request;
  std::optional<std::string> answer;
};

class ScriptedDesktop : public Desktop {
 public:
  class RecordedProgress;
  void QueueAnswer(int answer);
  void QueueFileName(std::optional<std::string> fileName);
  // The user presses Cancel on the progress after it showed `updates` updates.
  void StopProgressAfter(std::size_t updates);

  int MessageBox(const std::string& text, int flags, const std::string& title) override;
  void ShowHostMessage(const std::string& text) override;
  void ReportCause(const std::string& text) override;
  std::unique_ptr<Progress> BeginProgress(const std::string& what) override;
  std::optional<std::string> OpenFileDialog(const FileDialogRequest& request) override;
  std::optional<std::string> SaveFileDialog(const FileDialogRequest& request) override;
  void SetMousePointer(int pointer) override;
  int MousePointer() const override;

  std::vector<ShownMessage> Messages() const;
  // Every failure cause reported, in order (kept apart from the messages,
  // which the actions' own rules decide).
  std::vector<std::string> Causes() const;
  std::vector<ShownDialog> Dialogs() const;
  // Every progress update shown, in order.
  std::vector<ShownProgress> ProgressShown() const;
  // Every pointer set, in order.
  std::vector<int> PointerHistory() const;
  // Answers still queued (a test that expected them all to be used checks 0).
  std::size_t PendingAnswers() const;

 private:
  std::optional<std::string> Dialog(ShownDialog::Kind kind, const FileDialogRequest& request);
  mutable std::mutex mutex_;
  std::deque<int> answers_;
  std::deque<std::optional<std::string>> fileNames_;
  std::vector<ShownMessage> messages_;
  std::vector<std::string> causes_;
  std::vector<ShownDialog> dialogs_;
  std::vector<ShownProgress> progress_;
  std::optional<std::size_t> stopAfter_;
  std::vector<int> pointers_;
  int pointer_ = kPointerDefault;
};

}  // namespace vemo::context
