#include "context/console_desktop.h"

#include <unistd.h>

#include <iostream>
#include <string>

#include "foundation/utf8_text.h"

namespace vemo::context {
namespace {

const char* AnswerName(int answer) {
  switch (answer) {
    case vbYes:
      return "Yes";
    case vbNo:
      return "No";
    case vbCancel:
      return "Cancel";
    default:
      return "OK";
  }
}

const char* IconName(int flags) {
  switch (IconOf(flags)) {
    case vbCritical:
      return "error";
    case vbQuestion:
      return "question";
    case vbExclamation:
      return "warning";
    case vbInformation:
      return "notice";
    default:
      return "message";
  }
}

// The answer a typed line stands for under these buttons; 0 when it fits none.
int AnswerOfLine(const std::string& line, int buttons) {
  const std::string word = ToLowerAscii(Trim(line));
  switch (buttons) {
    case vbYesNo:
    case vbYesNoCancel:
      if (word == "y" || word == "yes") return vbYes;
      if (word == "n" || word == "no") return vbNo;
      if (buttons == vbYesNoCancel && (word == "c" || word == "cancel")) return vbCancel;
      return 0;
    case vbOKCancel:
      if (word.empty() || word == "o" || word == "ok") return vbOK;
      if (word == "c" || word == "cancel") return vbCancel;
      return 0;
    default:
      return vbOK;
  }
}

class ConsoleProgress : public Progress {
 public:
  ConsoleProgress(const std::string& what, std::ostream& out, ProgressLine::Style style) : line_(what, out, style) {}
  // Ctrl-C stops the work on a terminal: the line never asks.
  bool Update(std::size_t, std::size_t, const std::string& status) override {
    line_.Update(status);
    return true;
  }

 private:
  ProgressLine line_;
};

const char* PromptOf(int buttons) {
  switch (buttons) {
    case vbYesNo:
      return "[y]es / [n]o: ";
    case vbYesNoCancel:
      return "[y]es / [n]o / [c]ancel: ";
    case vbOKCancel:
      return "[o]k / [c]ancel: ";
    default:
      return "press Enter: ";
  }
}

}  // namespace

ConsoleDesktop::ConsoleDesktop() : ConsoleDesktop(Options{}) {}

ConsoleDesktop::ConsoleDesktop(Options options)
    : assumeYes_(options.assumeYes),
      interactive_(options.interactive.value_or(::isatty(STDIN_FILENO) == 1)),
      in_(options.in ? *options.in : std::cin),
      out_(options.out ? *options.out : std::cerr),
      progress_(options.progress.value_or(ProgressLine::StyleOfStandardError())) {}

int ConsoleDesktop::MessageBox(const std::string& text, int flags, const std::string& title) {
  const int buttons = ButtonsOf(flags);
  out_ << "[" << title << "] (" << IconName(flags) << ") " << text << "\n";
  if (interactive_) {
    std::string line;
    while (true) {
      out_ << PromptOf(buttons) << std::flush;
      if (!std::getline(in_, line)) break;
      if (int answer = AnswerOfLine(line, buttons)) return answer;
    }
  }
  const int answer = UnattendedAnswer(flags, assumeYes_);
  if (buttons != vbOKOnly)
    out_ << "  (no terminal to ask: answered " << AnswerName(answer) << (assumeYes_ ? " because of --yes" : "; --yes answers Yes")
         << ")\n";
  return answer;
}

void ConsoleDesktop::ShowHostMessage(const std::string& text) { out_ << "vemoprint: " << text << "\n"; }

void ConsoleDesktop::ReportCause(const std::string& text) { out_ << "vemoprint: " << text << "\n"; }

std::unique_ptr<Progress> ConsoleDesktop::BeginProgress(const std::string& what) {
  if (progress_ == ProgressLine::Style::Hidden) return nullptr;
  return std::make_unique<ConsoleProgress>(what, out_, progress_);
}

std::optional<std::string> ConsoleDesktop::AskFileName(const char* kind, const FileDialogRequest& request) {
  out_ << "[" << request.title << "] " << kind << " (" << request.filter << ")";
  if (!request.fileName.empty()) out_ << ", proposed: " << request.fileName;
  if (!request.initialFolder.empty()) out_ << ", folder: " << request.initialFolder;
  out_ << "\n";
  if (!interactive_) {
    out_ << "  (no terminal to ask for a file name: cancelled)\n";
    return std::nullopt;
  }
  out_ << "file name (empty to cancel): " << std::flush;
  std::string line;
  if (!std::getline(in_, line)) return std::nullopt;
  line = Trim(line);
  if (line.empty()) return std::nullopt;
  return line;
}

std::optional<std::string> ConsoleDesktop::OpenFileDialog(const FileDialogRequest& request) {
  return AskFileName("open a file", request);
}

std::optional<std::string> ConsoleDesktop::SaveFileDialog(const FileDialogRequest& request) {
  return AskFileName("save as", request);
}

}  // namespace vemo::context
