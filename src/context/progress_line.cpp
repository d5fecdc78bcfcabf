#include "context/progress_line.h"

#include <unistd.h>

#include <algorithm>
#include <ostream>

namespace vemo::context {

ProgressLine::Style ProgressLine::StyleOfStandardError() {
  return isatty(STDERR_FILENO) == 1 ? Style::InPlace : Style::Hidden;
}

ProgressLine::ProgressLine(std::string what, std::ostream& out, Style style)
    : what_(std::move(what)), out_(out), style_(style) {}

ProgressLine::~ProgressLine() {
  if (shown_ == 0) return;
  out_ << '\r' << std::string(shown_, ' ') << '\r' << std::flush;
}

void ProgressLine::Update(const std::string& status) {
  const std::string line = what_ + ": " + status;
  switch (style_) {
    case Style::Hidden:
      return;
    case Style::Lines:
      out_ << line << '\n' << std::flush;
      return;
    case Style::InPlace:
      // Bytes, not columns: a wide character leaves at most some blanks behind.
      out_ << '\r' << line << std::string(shown_ > line.size() ? shown_ - line.size() : 0, ' ') << std::flush;
      shown_ = std::max(shown_, line.size());
      return;
  }
}

}  // namespace vemo::context
