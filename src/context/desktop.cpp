#include "context/desktop.h"

#include <iostream>

#include "context/console_desktop.h"

namespace vemo::context {
namespace {

std::shared_ptr<Desktop> Current() {
  return InstalledDesktop().Locked([](std::shared_ptr<Desktop>& desktop) {
    if (!desktop) desktop = std::make_shared<ConsoleDesktop>();
    return desktop;
  });
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
  // The shared_ptr stays owned by InstalledDesktop(); a replacement during a call is
  // not expected (all calls come on one thread).
  return *Current();
}

Installed<std::shared_ptr<Desktop>>& InstalledDesktop() {
  static Installed<std::shared_ptr<Desktop>> desktop;
  return desktop;
}

void SetDesktop(std::shared_ptr<Desktop> desktop) { InstalledDesktop().Set(std::move(desktop)); }

void ShowHostMessage(const std::string& text) { CurrentDesktop().ShowHostMessage(text); }

void ReportCause(const std::string& text) { CurrentDesktop().ReportCause(text); }

}  // namespace vemo::context
