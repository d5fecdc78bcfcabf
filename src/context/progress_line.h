// A progress line for long work (the page render, ...): one line on the
// error stream, rewritten in place, while that stream is a terminal; nothing
// at all otherwise, so logs and pipes read as before.
#pragma once
#include <iosfwd>
#include <string>

namespace vemo::context {

class ProgressLine {
 public:
  // On std::cerr, shown when standard error is a terminal.
  explicit ProgressLine(std::string what);
  ProgressLine(std::string what, std::ostream& out, bool terminal);
  // Clears the line, so the next output starts on a clean one.
  ~ProgressLine();
  ProgressLine(const ProgressLine&) = delete;
  ProgressLine& operator=(const ProgressLine&) = delete;

  // "<what>: <status>" over the previous status.
  void Update(const std::string& status);

 private:
  std::string what_;
  std::ostream& out_;
  bool terminal_;
  std::size_t shown_ = 0;  // characters of the line on screen
};

}  // namespace vemo::context
