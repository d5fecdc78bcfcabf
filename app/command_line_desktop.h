// The desktop of a command that already carries the user's answers: a file
// dialog is answered with the file named on the command line, a Yes/No
// question with Yes (the command itself is the consent). Everything else,
// the messages above all, goes to the desktop that was installed before.
#pragma once
#include <memory>
#include <ostream>
#include <optional>
#include <string>

#include "context/desktop.h"

namespace vemo::app {

class CommandLineDesktop : public context::Desktop {
 public:
  struct Answers {
    std::optional<std::string> openFile;  // the open dialog's answer; nullopt cancels
    std::optional<std::string> saveFile;  // the save dialog's answer
    bool yes = false;                     // answer Yes/No questions with Yes
    bool no = false;                      // answer Yes/No questions with No
    // Dialogs the command has no answer for go to the installed desktop
    // instead of being cancelled.
    bool passUnanswered = false;
    std::ostream* log = nullptr;          // where the answered questions are noted
  };
  CommandLineDesktop(context::Desktop& inner, Answers answers) : inner_(inner), answers_(std::move(answers)) {}
  int MessageBox(const std::string& text, int flags, const std::string& title) override;
  void ShowHostMessage(const std::string& text) override { inner_.ShowHostMessage(text); }
  void ReportCause(const std::string& text) override { inner_.ReportCause(text); }
  std::unique_ptr<context::Progress> BeginProgress(const std::string& what) override {
    return inner_.BeginProgress(what);
  }
  std::optional<std::string> OpenFileDialog(const context::FileDialogRequest& request) override;
  std::optional<std::string> SaveFileDialog(const context::FileDialogRequest& request) override;
  void SetMousePointer(int pointer) override { inner_.SetMousePointer(pointer); }
  int MousePointer() const override { return inner_.MousePointer(); }

 private:
  context::Desktop& inner_;
  Answers answers_;
};

// Installs a CommandLineDesktop over the current desktop for its lifetime.
class CommandLineAnswers {
 public:
  explicit CommandLineAnswers(CommandLineDesktop::Answers answers);

 private:
  context::ScopedDesktop scope_;
};

}  // namespace vemo::app
