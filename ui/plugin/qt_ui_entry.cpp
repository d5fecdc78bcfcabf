#include "ui/plugin/qt_ui_entry.h"

#include <QApplication>
#include <memory>

#include "context/desktop.h"
#include "setup/form_host.h"
#include "ui/desktop/qt_desktop.h"
#include "ui/dialogs/qt_form_host.h"

namespace {

void StartApplication() {
  if (QApplication::instance()) return;
  // Qt keeps references to both for the application's lifetime.
  static int argc = 1;
  static char name[] = "vemoprint";
  static char* argv[] = {name, nullptr};
  // Lives until the process ends: destroying it after the program's own
  // static objects are gone is not safe.
  new QApplication(argc, argv);
}

}  // namespace

extern "C" __attribute__((visibility("default"))) int vemo_qt_ui_install(int parts) {
  StartApplication();
  if (parts & kVemoQtDesktop) vemo::context::SetDesktop(std::make_shared<vemo::ui::QtDesktop>());
  if (parts & kVemoQtFormHost) vemo::setup::SetFormHost(std::make_shared<vemo::ui::QtFormHost>());
  return 0;
}
