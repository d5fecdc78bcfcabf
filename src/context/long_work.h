// Long work that shows its progress on the desktop: the fill of many lines,
// the render of a long workbook. Short work shows nothing; long work updates
// the desktop a few times a second at most, so a step costs a comparison.
//
//   LongWork work("filling 100000 lines", 100000);
//   for (row = 1..count) { work.Step(row); ... }
//
// A step after the user pressed Cancel raises WorkStopped. Code that goes
// on past errors (the engine's statement-by-statement fill) lets this one
// through, so Cancel ends the whole piece of work.
#pragma once
#include <chrono>
#include <functional>
#include <memory>
#include <string>

#include "context/desktop.h"
#include "foundation/host_error.h"

namespace vemo::context {

class WorkStopped : public HostError {
 public:
  // The host's number for "the user stopped the work".
  static constexpr int kNumber = 18;
  explicit WorkStopped(const std::string& what) : HostError(kNumber, what + " was stopped by the user") {}
};

class LongWork {
 public:
  // Work of fewer steps than this shows nothing: it ends before anyone
  // would look.
  static constexpr std::size_t kShownFrom = 5000;
  // `total` steps (0 when not known: shown from the first step); `part`,
  // when given, leads each status (the column a pass of the lines fills).
  LongWork(std::string what, std::size_t total, std::string part = "");
  ~LongWork();
  LongWork(const LongWork&) = delete;
  LongWork& operator=(const LongWork&) = delete;

  void Step(std::size_t done) {
    if (shown_ && (done & kStride) == 0) Report(done, "");
  }
  // A step with its own status (the render's seconds), shown at once.
  void Status(std::size_t done, const std::string& status) {
    if (shown_) Report(done, status);
  }

 private:
  static constexpr std::size_t kStride = 1023;  // look at the clock every 1024 steps
  void Report(std::size_t done, const std::string& status);
  std::string what_;
  std::string part_;
  std::size_t total_;
  bool shown_;
  std::unique_ptr<Progress> progress_;
  std::chrono::steady_clock::time_point last_{};
};

// Runs `work`, which cannot report steps (one call into a module), on a
// thread of its own while this thread shows the seconds passing ("what: N s")
// once one has passed; answers what `work` answers. Cancel cannot interrupt
// `work`: it raises WorkStopped when `work` has ended.
int ShowSecondsWhile(const std::string& what, const std::function<int()>& work);

}  // namespace vemo::context
