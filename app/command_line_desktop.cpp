#include "command_line_desktop.h"

namespace vemo::app {

int CommandLineDesktop::MessageBox(const std::string& text, int flags, const std::string& title) {
  if ((answers_.yes || answers_.no) && context::ButtonsOf(flags) == context::vbYesNo) {
    const int answer = answers_.yes ? context::vbYes : context::vbNo;
    if (answers_.log) *answers_.log << "[" << title << "] " << text << (answer == context::vbYes ? " -> Yes\n" : " -> No (--no)\n");
    return answer;
  }
  return inner_.MessageBox(text, flags, title);
}

std::optional<std::string> CommandLineDesktop::OpenFileDialog(const context::FileDialogRequest& request) {
  if (!answers_.openFile && answers_.passUnanswered) return inner_.OpenFileDialog(request);
  return answers_.openFile;
}

std::optional<std::string> CommandLineDesktop::SaveFileDialog(const context::FileDialogRequest& request) {
  if (!answers_.saveFile && answers_.passUnanswered) return inner_.SaveFileDialog(request);
  if (answers_.saveFile && answers_.log) *answers_.log << "[" << request.title << "] " << *answers_.saveFile << " (--out)\n";
  return answers_.saveFile;
}

CommandLineAnswers::CommandLineAnswers(CommandLineDesktop::Answers answers)
    : scope_(std::make_shared<CommandLineDesktop>(context::CurrentDesktop(), std::move(answers))) {}

}  // namespace vemo::app
