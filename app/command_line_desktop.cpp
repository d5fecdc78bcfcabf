#include "command_line_desktop.h"

namespace vemo::app {

int CommandLineDesktop::MessageBox(const std::string& text, int flags, const std::string& title) {
  if (answers_.yes && context::ButtonsOf(flags) == context::vbYesNo) return context::vbYes;
  return inner_.MessageBox(text, flags, title);
}

CommandLineAnswers::CommandLineAnswers(CommandLineDesktop::Answers answers)
    : scope_(std::make_shared<CommandLineDesktop>(context::CurrentDesktop(), std::move(answers))) {}

}  // namespace vemo::app
