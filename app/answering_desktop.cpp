#include "answering_desktop.h"

#include <ostream>

namespace vemo::app {

AnsweringDesktop::AnsweringDesktop(context::Desktop& inner, std::optional<std::string> saveAs, bool answerNo,
                                   std::ostream& log)
    : inner_(inner), saveAs_(std::move(saveAs)), answerNo_(answerNo), log_(log) {}

int AnsweringDesktop::MessageBox(const std::string& text, int flags, const std::string& title) {
  if (answerNo_ && context::ButtonsOf(flags) == context::vbYesNo) {
    log_ << "[" << title << "] " << text << " -> No (--no)\n";
    return context::vbNo;
  }
  return inner_.MessageBox(text, flags, title);
}

std::optional<std::string> AnsweringDesktop::SaveFileDialog(const context::FileDialogRequest& request) {
  if (!saveAs_) return inner_.SaveFileDialog(request);
  log_ << "[" << request.title << "] " << *saveAs_ << " (--out)\n";
  return saveAs_;
}

}  // namespace vemo::app
