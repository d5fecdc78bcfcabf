// The Qt user interface, loaded only when wanted: `--gui` (the Qt desktop)
// and the setup dialogs (the Qt desktop and form host). The program does not
// link Qt; libvemo-qt-ui.so is loaded with dlopen on demand, so commands that
// need no window start without Qt. Without a display or without the library
// nothing is installed and everything stays on the console.
#pragma once
#include <string>

namespace vemo::app {

// A display to show windows on: DISPLAY or WAYLAND_DISPLAY set, or a Qt
// platform named in QT_QPA_PLATFORM (e.g. "offscreen").
bool DisplayPresent();

// Why the display named cannot be used, or "" when it looks usable: a local
// X display (":0") without its server socket, a Wayland display without its
// socket. Qt ends the process when it cannot connect, so this is checked
// before Qt starts. Remote X displays ("host:10") and Qt platforms that need
// no server ("offscreen") pass.
std::string UnreachableDisplay();

// The library: $VEMO_QT_UI_LIBRARY, else libvemo-qt-ui.so beside the program.
std::string QtUserInterfaceLibrary();

enum UiPart { kQtDesktop = 1, kQtFormHost = 2 };

// Installs the parts (UiPart bits) when there is a display and the library
// loads. False, with the reason in `why`, otherwise; nothing changes then.
bool InstallQtUserInterface(int parts, std::string& why);

// What the program shows the user with: "console", or "Qt (<library>)".
std::string UserInterfaceInUse();

}  // namespace vemo::app
