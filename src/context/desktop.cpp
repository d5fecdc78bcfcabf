#include "context/desktop.h"

#include <iostream>
#include <mutex>

#include "context/console_desktop.h"

namespace vemo::context {
namespace {

std::mutex g_mutex;
std::shared_ptr<Desktop> g_desktop;

std::shared_ptr<Desktop> Current() {
  std::lock_guard lock(g_mutex);
  if (!g_desktop) g_desktop = std::make_shared<ConsoleDesktop>();
  return g_desktop;
}

}  // namespace

int UnattendedAnswer(int flags, bool assumeYes) {
  switch (ButtonsOf(flags)) {
    case vbOKCancel:
      return assumeYes ? vbOK : vbCancel;
    case vbYesNoCancel:
      return assumeYes ? vbYes : vbCancel;
    case vbYesNo:
      return assumeYes ? vbYes : vbNo;
    default:
      return vbOK;
  }
}

Desktop& CurrentDesktop() {
  // The shared_ptr stays owned by g_desktop; a replacement during a call is
  // not expected (all calls come on one thread).
  return *Current();
}

void SetDesktop(std::shared_ptr<Desktop> desktop) {
  std::lock_guard lock(g_mutex);
  g_desktop = std::move(desktop);
}

ScopedDesktop::ScopedDesktop(std::shared_ptr<Desktop> desktop) {
  std::lock_guard lock(g_mutex);
  previous_ = std::move(g_desktop);
  g_desktop = std::move(desktop);
}

ScopedDesktop::~ScopedDesktop() {
  std::lock_guard lock(g_mutex);
  g_desktop = std::move(previous_);
}

void ShowHostMessage(const std::string& text) { CurrentDesktop().ShowHostMessage(text); }

void ReportCause(const std::string& text) { CurrentDesktop().ReportCause(text); }

}  // namespace vemo::context
