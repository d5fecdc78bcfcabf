// The one entry of the Qt user interface, loaded at run time
// (window_system/qt_user_interface.h) so that neither the program nor the C
// interface links Qt. It is built twice from the same code:
//
// - libvemo-qt-ui.so, for vemoprint: linked without the project's libraries,
//   its references to them are bound at load time to the program's own
//   copies, which the program exports (app/exported_symbols.list);
// - libvemo-qt-ui-c.so, for libvemoprint.so: linked against that library,
//   which exports the project's code in its private version node
//   (src/capi/exports.map).
//
// So there is one desktop, one form host, one session and one component
// registry, those of the program or of the C library. Module and loader
// must come from the same build.
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
