// The Qt user interface, loaded only when wanted: the program's `--gui` (the
// Qt desktop) and the setup dialogs of the program and of the C interface
// (the Qt desktop and form host). Neither the program nor libvemoprint.so
// links Qt; a Qt module is loaded with dlopen on demand, so work that needs
// no window starts without Qt. Without a display or without the module
// nothing is installed and everything stays as it was.
//
// There are two builds of the module, one per process that loads it (see
// ui/README.md): libvemo-qt-ui.so takes the project's code from the
// `vemoprint` program, libvemo-qt-ui-c.so from libvemoprint.so.
#pragma once
#include <filesystem>
#include <string>
#include <vector>

namespace vemo::window_system {

// A display to show windows on: DISPLAY or WAYLAND_DISPLAY set, or a Qt
// platform named in QT_QPA_PLATFORM (e.g. "offscreen").
bool DisplayPresent();

// Why the display named cannot be used, or "" when it looks usable: a local
// X display (":0") without its server socket, a Wayland display without its
// socket. Qt ends the process when it cannot connect, so this is checked
// before Qt starts. Remote X displays ("host:10") and Qt platforms that need
// no server ("offscreen") pass.
std::string UnreachableDisplay();

// Where a process finds its build of the module: the file named by the
// environment variable when it is set, else the first of `places` that
// exists (else the last, where it is installed, to name it in the error).
struct ModuleSite {
  const char* variable;
  std::vector<std::filesystem::path> places;
};

std::string QtUserInterfaceLibrary(const ModuleSite& site);

enum UiPart { kQtDesktop = 1, kQtFormHost = 2 };

// Installs the parts (UiPart bits) when there is a display and the module
// loads. False, with the reason in `why`, otherwise; nothing changes then.
bool InstallQtUserInterface(const ModuleSite& site, int parts, std::string& why);

// What the process shows the user with: "console", or "Qt (<module>)".
std::string UserInterfaceInUse();

}  // namespace vemo::window_system
