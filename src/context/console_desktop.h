// The desktop of the command line.
//
// On a terminal (stdin is a tty) message boxes and file dialogs ask on the
// terminal. Without one it never blocks: every message is written to the
// error stream with its title, a box answers UnattendedAnswer() (No for a
// question, Cancel where there is one, OK otherwise; Yes/OK with assumeYes,
// the command line's --yes), and a file dialog is cancelled. The message
// service and the cause of a failure write their text to the error stream.
// Long work shows a progress line there while it is a terminal (or as plain
// lines when asked for with the progress style). The mouse pointer is only
// remembered.
#pragma once
#include <iosfwd>
#include <optional>

#include "context/desktop.h"
#include "context/progress_line.h"

namespace vemo::context {

class ConsoleDesktop : public Desktop {
 public:
  struct Options {
    bool assumeYes = false;
    std::optional<bool> interactive;  // default: whether stdin is a terminal
    std::istream* in = nullptr;       // default std::cin
    std::ostream* out = nullptr;      // default std::cerr
    // default ProgressLine::StyleOfStandardError()
    std::optional<ProgressLine::Style> progress;
  };
  ConsoleDesktop();
  explicit ConsoleDesktop(Options options);

  int MessageBox(const std::string& text, int flags, const std::string& title) override;
  void ShowHostMessage(const std::string& text) override;
  void ReportCause(const std::string& text) override;
  std::unique_ptr<Progress> BeginProgress(const std::string& what) override;
  std::optional<std::string> OpenFileDialog(const FileDialogRequest& request) override;
  std::optional<std::string> SaveFileDialog(const FileDialogRequest& request) override;
  void SetMousePointer(int pointer) override { pointer_ = pointer; }
  int MousePointer() const override { return pointer_; }

  bool Interactive() const { return interactive_; }

 private:
  std::optional<std::string> AskFileName(const char* kind, const FileDialogRequest& request);
  bool assumeYes_;
  bool interactive_;
  std::istream& in_;
  std::ostream& out_;
  ProgressLine::Style progress_;
  int pointer_ = kPointerDefault;
};

}  // namespace vemo::context
