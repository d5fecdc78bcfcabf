// Where the program finds its build of the Qt user interface (libvemo-qt-ui.so;
// loading it is window_system/qt_user_interface.h's job).
#pragma once
#include "window_system/qt_user_interface.h"

namespace vemo::app {

// $VEMO_QT_UI_LIBRARY, else libvemo-qt-ui.so beside the program (the build
// folder), else under lib/vemoprint/ beside its bin/ (installed).
const window_system::ModuleSite& ProgramQtModule();

}  // namespace vemo::app
