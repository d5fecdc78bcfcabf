#include "engine/pictures/debug_log.h"

#include <ctime>
#include <fstream>

#include "context/file_utils.h"
#include "context/path_mapping.h"
#include "context/settings.h"
#include "foundation/host_error.h"

namespace vemo::engine {

namespace {

std::string NowText() {
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
  return text;
}

}  // namespace

std::string DebugLogPath() { return context::JoinPath(context::GetInstallPath(3), kDebugLogName); }

void WriteDebugLog(std::string_view text, bool withHeader, bool withFooter) {
  try {
    const std::string path = DebugLogPath();
    if (!context::FileExists(path)) return;
    std::ofstream log(context::ToHostPath(path), std::ios::binary | std::ios::app);
    if (!log) return;
    constexpr const char* kEnd = "\r\n";
    if (withHeader) log << std::string(42, '=') << kEnd << "时间：" << NowText() << kEnd << std::string(42, '-') << kEnd;
    log << text << kEnd;
    if (withFooter) log << std::string(42, '=') << kEnd << kEnd;
  } catch (...) {
    // The log is a diagnostic aid; failing to write it must not disturb the print.
  }
}

void WriteDrawingError(std::string_view routine, int step, const std::exception& error) {
  const auto* hostError = dynamic_cast<const HostError*>(&error);
  const std::string description = hostError != nullptr ? hostError->Description() : std::string(error.what());
  WriteDebugLog(std::string(routine) + " Error: Erl=" + std::to_string(step) + "\r\nErrdesc:" + description, false, false);
}

}  // namespace vemo::engine
