#pragma once

#include <mutex>
#include <utility>

namespace vemo {

// One process-wide replaceable value: the desktop, the form host, a factory,
// a clock, a folder. Reads and replacements are serialised, so a thread that
// installs a value while another reads it is safe; the value is copied out,
// so a caller keeps what it read even when it is replaced meanwhile.
template <typename T>
class Installed {
 public:
  explicit Installed(T initial = T{}) : value_(std::move(initial)) {}
  Installed(const Installed&) = delete;
  Installed& operator=(const Installed&) = delete;

  T Get() const {
    std::lock_guard lock(mutex_);
    return value_;
  }
  void Set(T value) {
    std::lock_guard lock(mutex_);
    value_ = std::move(value);
  }
  T Exchange(T value) {
    std::lock_guard lock(mutex_);
    return std::exchange(value_, std::move(value));
  }
  // Runs `f` on the value under the lock (a default made on first use).
  template <typename F>
  auto Locked(F&& f) {
    std::lock_guard lock(mutex_);
    return f(value_);
  }

 private:
  mutable std::mutex mutex_;
  T value_;
};

// Installs a value for the object's lifetime and puts the previous one back
// afterwards (tests, and a host that lends a service for one call). `Slot`
// names the function that returns the one `Installed<T>`.
template <typename T, Installed<T>& (*Slot)()>
class ScopedInstall {
 public:
  explicit ScopedInstall(T value) : previous_(Slot().Exchange(std::move(value))) {}
  ~ScopedInstall() { Slot().Set(std::move(previous_)); }
  ScopedInstall(const ScopedInstall&) = delete;
  ScopedInstall& operator=(const ScopedInstall&) = delete;

 private:
  T previous_;
};

}  // namespace vemo
