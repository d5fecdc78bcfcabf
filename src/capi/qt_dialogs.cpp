#include "capi/qt_dialogs.h"

#include <dlfcn.h>

#include <filesystem>

#include "capi/host_desktop.h"
#include "setup/form_host.h"
#include "window_system/qt_user_interface.h"

namespace vemo::capi {
namespace {

constexpr const char* kModule = "libvemo-qt-ui-c.so";

// $VEMO_QT_UI_C_LIBRARY, else the module beside this library (the build
// folder), else where the install puts it: VEMO_LIBDIR_TO_MODULES is the
// way from the library's folder to lib/vemoprint/.
const window_system::ModuleSite& LibraryQtModule() {
  static const window_system::ModuleSite site = [] {
    Dl_info self{};
    std::error_code ec;
    std::filesystem::path folder;
    if (dladdr(reinterpret_cast<void*>(&OfferQtDialogs), &self) && self.dli_fname)
      folder = std::filesystem::weakly_canonical(self.dli_fname, ec).parent_path();
    return window_system::ModuleSite{"VEMO_QT_UI_C_LIBRARY",
                                     {folder / kModule, (folder / VEMO_LIBDIR_TO_MODULES / kModule).lexically_normal()}};
  }();
  return site;
}

// The dialogs' message boxes and file dialogs are Qt windows too, unless the
// host answers them itself (vemo_set_desktop).
bool LoadQtFormHost(std::string& why) {
  int parts = window_system::kQtFormHost;
  if (!dynamic_cast<HostDesktop*>(&context::CurrentDesktop())) parts |= window_system::kQtDesktop;
  return window_system::InstallQtUserInterface(LibraryQtModule(), parts, why);
}

}  // namespace

void OfferQtDialogs() { setup::SetFormHostLoader(LoadQtFormHost); }

}  // namespace vemo::capi
