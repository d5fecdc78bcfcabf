#include "context/long_work.h"

#include <future>

namespace vemo::context {
namespace {
// A progress line or dialog rewritten more often only flickers.
constexpr auto kInterval = std::chrono::milliseconds(250);
}  // namespace

LongWork::LongWork(std::string what, std::size_t total, std::string part)
    : what_(std::move(what)), part_(std::move(part)), total_(total), shown_(total == 0 || total >= kShownFrom) {}

LongWork::~LongWork() = default;

void LongWork::Report(std::size_t done, const std::string& status) {
  const auto now = std::chrono::steady_clock::now();
  if (status.empty() && progress_ && now - last_ < kInterval) return;
  if (!progress_) {
    progress_ = CurrentDesktop().BeginProgress(what_);
    if (!progress_) {
      shown_ = false;  // this desktop shows no progress: stop asking
      return;
    }
  }
  last_ = now;
  std::string text = status;
  if (text.empty())
    text = total_ ? std::to_string(done) + " of " + std::to_string(total_) + " (" + std::to_string(done * 100 / total_) + "%)"
                  : std::to_string(done);
  if (!part_.empty()) text = part_ + ": " + text;
  if (!progress_->Update(done, total_, text)) throw WorkStopped(what_);
}

int ShowSecondsWhile(const std::string& what, const std::function<int()>& work) {
  auto running = std::async(std::launch::async, work);
  LongWork progress(what, 0);
  const auto start = std::chrono::steady_clock::now();
  long long shown = 0;
  while (running.wait_for(std::chrono::milliseconds(200)) != std::future_status::ready) {
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now() - start).count();
    if (seconds <= shown) continue;
    shown = seconds;
    try {
      progress.Status(static_cast<std::size_t>(seconds), std::to_string(seconds) + " s");
    } catch (...) {
      running.wait();
      throw;
    }
  }
  return running.get();
}

}  // namespace vemo::context
