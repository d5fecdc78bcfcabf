#include "actions/export_timing.h"

#include <chrono>
#include <cstdlib>
#include <utility>

#include "actions/action_messages.h"

namespace vemo::actions {
namespace {

std::int64_t SteadyMilliseconds() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

}  // namespace

Installed<TickSource>& InstalledTickSource() {
  static Installed<TickSource> source;
  return source;
}

std::int64_t TickCount() {
  TickSource source = InstalledTickSource().Get();
  return source ? source() : SteadyMilliseconds();
}

std::string FormatElapsedSeconds(std::int64_t milliseconds) {
  // Hundredths of a second, rounded half away from zero: ms / 10, exactly.
  const bool negative = milliseconds < 0;
  const std::int64_t ms = std::llabs(milliseconds);
  const std::int64_t hundredths = (ms + 5) / 10;
  std::string whole = std::to_string(hundredths / 100);
  for (int at = static_cast<int>(whole.size()) - 3; at > 0; at -= 3) whole.insert(static_cast<std::size_t>(at), ",");
  const std::int64_t cents = hundredths % 100;
  return (negative && hundredths != 0 ? "-" : "") + whole + "." + (cents < 10 ? "0" : "") + std::to_string(cents);
}

std::string ExportDoneQuestion(std::int64_t milliseconds) {
  return std::string(text::kExportDonePrefix) + FormatElapsedSeconds(milliseconds) + std::string(text::kExportDoneSeconds) +
         "\r\n\r\n" + std::string(text::kExportOpenQuestion);
}

}  // namespace vemo::actions
