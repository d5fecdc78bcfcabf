#include "program_qt_module.h"

namespace vemo::app {

const window_system::ModuleSite& ProgramQtModule() {
  static const window_system::ModuleSite site = [] {
    std::error_code ec;
    const auto self = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) return window_system::ModuleSite{"VEMO_QT_UI_LIBRARY", {"libvemo-qt-ui.so"}};
    return window_system::ModuleSite{"VEMO_QT_UI_LIBRARY", {self.parent_path() / "libvemo-qt-ui.so",
                                                            self.parent_path().parent_path() / "lib/vemoprint/libvemo-qt-ui.so"}};
  }();
  return site;
}

}  // namespace vemo::app
