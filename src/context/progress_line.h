// A progress line for long work on the error stream: on a terminal one line
// rewritten in place; in a log (when asked for) one line per update; by
// default nothing at all when the stream is no terminal, so logs and pipes
// read as before.
#pragma once
#include <iosfwd>
#include <string>

namespace vemo::context {

class ProgressLine {
 public:
  enum class Style { Hidden, InPlace, Lines };
  // The style of standard error: InPlace on a terminal, Hidden otherwise.
  static Style StyleOfStandardError();

  ProgressLine(std::string what, std::ostream& out, Style style);
  // Clears an in-place line, so the next output starts on a clean one.
  ~ProgressLine();
  ProgressLine(const ProgressLine&) = delete;
  ProgressLine& operator=(const ProgressLine&) = delete;

  // "<what>: <status>" over the previous status (or below it, for Lines).
  void Update(const std::string& status);

 private:
  std::string what_;
  std::ostream& out_;
  Style style_;
  std::size_t shown_ = 0;  // characters of the in-place line on screen
};

}  // namespace vemo::context
