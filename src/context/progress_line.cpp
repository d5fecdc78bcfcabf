#include "context/progress_line.h"

#include <unistd.h>

#include <iostream>

namespace vemo::context {

ProgressLine::ProgressLine(std::string what) : ProgressLine(std::move(what), std::cerr, isatty(STDERR_FILENO) == 1) {}

ProgressLine::ProgressLine(std::string what, std::ostream& out, bool terminal)
    : what_(std::move(what)), out_(out), terminal_(terminal) {}

ProgressLine::~ProgressLine() {
  if (shown_ == 0) return;
  out_ << '\r' << std::string(shown_, ' ') << '\r' << std::flush;
}

void ProgressLine::Update(const std::string& status) {
  if (!terminal_) return;
  const std::string line = what_ + ": " + status;
  // Bytes, not columns: a wide character leaves at most some blanks behind.
  out_ << '\r' << line << std::string(shown_ > line.size() ? shown_ - line.size() : 0, ' ') << std::flush;
  shown_ = std::max(shown_, line.size());
}

}  // namespace vemo::context
