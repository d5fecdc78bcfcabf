#include "capi/qt_dialogs.h"

#include <dlfcn.h>

#include <filesystem>
#include <memory>
#include <thread>

#include "capi/host_desktop.h"
#include "foundation/host_error.h"
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

// The Qt form host as a C host has it. Qt's windows live on the thread that
// made its application: a dialog asked for on another host thread is
// refused instead of breaking Qt. While a dialog is open its message boxes
// and file dialogs are Qt windows, unless the host answers them itself
// (vemo_set_desktop); the calls outside the dialogs keep the desktop they
// had.
class DialogHost : public setup::FormHost {
 public:
  DialogHost(std::shared_ptr<setup::FormHost> qt, std::shared_ptr<context::Desktop> qtDesktop)
      : qt_(std::move(qt)), qtDesktop_(std::move(qtDesktop)) {}
  void ShowModal(setup::SetupForm& form) override {
    if (std::this_thread::get_id() != thread_)
      throw HostError(HostError::kGeneric, "the dialog \"" + form.Caption() +
                                               "\" is asked for on another thread than the first dialog was; open "
                                               "the setup dialogs from one thread, the host's user interface thread");
    const bool hostAnswers = dynamic_cast<HostDesktop*>(&context::CurrentDesktop()) != nullptr;
    context::ScopedDesktop use(hostAnswers ? context::InstalledDesktop().Get() : qtDesktop_);
    qt_->ShowModal(form);
  }

 private:
  std::shared_ptr<setup::FormHost> qt_;
  std::shared_ptr<context::Desktop> qtDesktop_;
  std::thread::id thread_ = std::this_thread::get_id();
};

// Installs the module's form host and desktop, then keeps its desktop for
// the dialogs and puts the one in use back.
bool LoadQtFormHost(std::string& why) {
  const std::shared_ptr<context::Desktop> inUse = context::InstalledDesktop().Get();
  if (!window_system::InstallQtUserInterface(LibraryQtModule(), window_system::kQtFormHost | window_system::kQtDesktop, why))
    return false;
  std::shared_ptr<context::Desktop> qtDesktop = context::InstalledDesktop().Exchange(inUse);
  std::shared_ptr<setup::FormHost> qt = setup::InstalledFormHost().Get();
  if (qt) setup::SetFormHost(std::make_shared<DialogHost>(std::move(qt), std::move(qtDesktop)));
  return true;
}

}  // namespace

void OfferQtDialogs() { setup::SetFormHostLoader(LoadQtFormHost); }

}  // namespace vemo::capi
