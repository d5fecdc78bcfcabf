// The desktop of the action commands: the console desktop, except that
// --out answers every save dialog with its file and --no answers every
// Yes/No question with No (the question is still written to the error
// stream, so a script's log shows what was asked).
#pragma once
#include <iosfwd>
#include <optional>
#include <string>

#include "context/desktop.h"

namespace vemo::app {

class AnsweringDesktop : public context::Desktop {
 public:
  AnsweringDesktop(context::Desktop& inner, std::optional<std::string> saveAs, bool answerNo, std::ostream& log);

  int MessageBox(const std::string& text, int flags, const std::string& title) override;
  void ShowHostMessage(const std::string& text) override { inner_.ShowHostMessage(text); }
  std::optional<std::string> OpenFileDialog(const context::FileDialogRequest& request) override {
    return inner_.OpenFileDialog(request);
  }
  std::optional<std::string> SaveFileDialog(const context::FileDialogRequest& request) override;
  void SetMousePointer(int pointer) override { inner_.SetMousePointer(pointer); }
  int MousePointer() const override { return inner_.MousePointer(); }

 private:
  context::Desktop& inner_;
  std::optional<std::string> saveAs_;
  bool answerNo_;
  std::ostream& log_;
};

}  // namespace vemo::app
