#include "setup/form_host.h"

#include "foundation/host_error.h"

namespace vemo::setup {
Installed<std::shared_ptr<FormHost>>& InstalledFormHost() {
  static Installed<std::shared_ptr<FormHost>> host;
  return host;
}

// The pointer stays owned by the installed shared_ptr; forms are shown on
// one thread, which does not replace the host while a form is open.
FormHost* CurrentFormHost() { return InstalledFormHost().Get().get(); }

void SetFormHost(std::shared_ptr<FormHost> host) { InstalledFormHost().Set(std::move(host)); }

namespace {
Installed<FormHostLoader>& InstalledLoader() {
  static Installed<FormHostLoader> loader;
  return loader;
}
}  // namespace

void SetFormHostLoader(FormHostLoader loader) { InstalledLoader().Set(std::move(loader)); }

void ShowFormModal(SetupForm& form) {
  FormHost* host = CurrentFormHost();
  std::string why;
  if (!host) {
    if (const FormHostLoader load = InstalledLoader().Get(); load && load(why)) host = CurrentFormHost();
  }
  if (!host)
    throw HostError(kNeedsDisplay, "the dialog \"" + form.Caption() +
                                       "\" needs a display: no window system support is installed for the setup "
                                       "dialogs; use \"vemoprint templates\" to manage templates" +
                                       (why.empty() ? "" : " (" + why + ")"));
  host->ShowModal(form);
}

}  // namespace vemo::setup
