// The one entry of libvemo-qt-ui.so, the Qt user interface that vemoprint
// loads at run time (app/window_system.h) so that the program itself never
// links Qt.
//
// The library takes the project's code from the program that loads it: it is
// linked without the project's libraries, and its references to them are
// bound at load time to the program's own copies, which the program exports
// (app/exported_symbols.list). So there is one desktop, one form host, one
// session and one component registry, those of the program. Library and
// program must come from the same build.
#pragma once

extern "C" {

// What to install: the Qt desktop (message boxes, file dialogs, pointer)
// and/or the Qt form host (the setup dialogs).
enum VemoQtUiParts { kVemoQtDesktop = 1, kVemoQtFormHost = 2 };

// Creates the Qt application once, then installs the parts asked for;
// answers 0. Qt ends the process when the display it is given cannot be
// reached, so the caller looks for a display first.
int vemo_qt_ui_install(int parts);
}
