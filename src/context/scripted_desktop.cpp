#include "context/scripted_desktop.h"

namespace vemo::context {

void ScriptedDesktop::QueueAnswer(int answer) {
  std::lock_guard lock(mutex_);
  answers_.push_back(answer);
}

void ScriptedDesktop::QueueFileName(std::optional<std::string> fileName) {
  std::lock_guard lock(mutex_);
  fileNames_.push_back(std::move(fileName));
}

int ScriptedDesktop::MessageBox(const std::string& text, int flags, const std::string& title) {
  std::lock_guard lock(mutex_);
  int answer = UnattendedAnswer(flags, false);
  if (!answers_.empty()) {
    answer = answers_.front();
    answers_.pop_front();
  }
  messages_.push_back({ShownMessage::Kind::MessageBox, text, title, ButtonsOf(flags), IconOf(flags), answer});
  return answer;
}

void ScriptedDesktop::ShowHostMessage(const std::string& text) {
  std::lock_guard lock(mutex_);
  messages_.push_back({ShownMessage::Kind::HostMessage, text, "", 0, 0, 0});
}

void ScriptedDesktop::ReportCause(const std::string& text) {
  std::lock_guard lock(mutex_);
  causes_.push_back(text);
}

class ScriptedDesktop::RecordedProgress : public Progress {
 public:
  RecordedProgress(ScriptedDesktop& desktop, std::string what) : desktop_(desktop), what_(std::move(what)) {}
  bool Update(std::size_t done, std::size_t total, const std::string& status) override {
    std::lock_guard lock(desktop_.mutex_);
    desktop_.progress_.push_back({what_, done, total, status});
    return !desktop_.stopAfter_ || desktop_.progress_.size() < *desktop_.stopAfter_;
  }

 private:
  ScriptedDesktop& desktop_;
  std::string what_;
};

std::unique_ptr<Progress> ScriptedDesktop::BeginProgress(const std::string& what) {
  return std::make_unique<RecordedProgress>(*this, what);
}

void ScriptedDesktop::StopProgressAfter(std::size_t updates) {
  std::lock_guard lock(mutex_);
  stopAfter_ = updates;
}

std::vector<ShownProgress> ScriptedDesktop::ProgressShown() const {
  std::lock_guard lock(mutex_);
  return progress_;
}

std::vector<std::string> ScriptedDesktop::Causes() const {
  std::lock_guard lock(mutex_);
  return causes_;
}

std::optional<std::string> ScriptedDesktop::Dialog(ShownDialog::Kind kind, const FileDialogRequest& request) {
  std::lock_guard lock(mutex_);
  std::optional<std::string> answer;
  if (!fileNames_.empty()) {
    answer = fileNames_.front();
    fileNames_.pop_front();
  }
  dialogs_.push_back({kind, request, answer});
  return answer;
}

std::optional<std::string> ScriptedDesktop::OpenFileDialog(const FileDialogRequest& request) {
  return Dialog(ShownDialog::Kind::Open, request);
}

std::optional<std::string> ScriptedDesktop::SaveFileDialog(const FileDialogRequest& request) {
  return Dialog(ShownDialog::Kind::Save, request);
}

void ScriptedDesktop::SetMousePointer(int pointer) {
  std::lock_guard lock(mutex_);
  pointer_ = pointer;
  pointers_.push_back(pointer);
}

int ScriptedDesktop::MousePointer() const {
  std::lock_guard lock(mutex_);
  return pointer_;
}

std::vector<ShownMessage> ScriptedDesktop::Messages() const {
  std::lock_guard lock(mutex_);
  return messages_;
}

std::vector<ShownDialog> ScriptedDesktop::Dialogs() const {
  std::lock_guard lock(mutex_);
  return dialogs_;
}

std::vector<int> ScriptedDesktop::PointerHistory() const {
  std::lock_guard lock(mutex_);
  return pointers_;
}

std::size_t ScriptedDesktop::PendingAnswers() const {
  std::lock_guard lock(mutex_);
  return answers_.size();
}

}  // namespace vemo::context
