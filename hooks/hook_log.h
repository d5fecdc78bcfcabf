// The hook libraries' own line in the host's debug log. The log follows the
// system's rule: it is written only when the file already exists, one line
// per event, and any error is ignored. The component tells the library where
// the log is (PrinterHookSetDebugLog) right after loading it.
#pragma once
#include <fcntl.h>
#include <unistd.h>

#include <ctime>
#include <mutex>
#include <string>

namespace vemo::hooks {

inline std::mutex& LogMutex() {
  static std::mutex mutex;
  return mutex;
}

inline std::string& LogPath() {
  static std::string path;
  return path;
}

inline void SetLogPath(const char* path) {
  std::lock_guard lock(LogMutex());
  LogPath() = path ? path : "";
}

inline void AppendLogLine(const std::string& text) {
  std::lock_guard lock(LogMutex());
  if (LogPath().empty()) return;
  // No O_CREAT: a missing log stays missing.
  int fd = ::open(LogPath().c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
  if (fd < 0) return;
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char stamp[32];
  std::strftime(stamp, sizeof stamp, "%Y-%m-%d %H:%M:%S", &local);
  std::string line = std::string(stamp) + " " + text + "\n";
  [[maybe_unused]] ssize_t written = ::write(fd, line.data(), line.size());
  ::close(fd);
}

}  // namespace vemo::hooks

#define VEMO_HOOK_EXPORT extern "C" __attribute__((visibility("default")))
