#include "setup/form_host.h"

#include <mutex>

#include "foundation/host_error.h"

namespace vemo::setup {
namespace {

std::mutex g_mutex;
std::shared_ptr<FormHost> g_host;

}  // namespace

FormHost* CurrentFormHost() {
  std::lock_guard lock(g_mutex);
  return g_host.get();
}

void SetFormHost(std::shared_ptr<FormHost> host) {
  std::lock_guard lock(g_mutex);
  g_host = std::move(host);
}

ScopedFormHost::ScopedFormHost(std::shared_ptr<FormHost> host) {
  std::lock_guard lock(g_mutex);
  previous_ = std::move(g_host);
  g_host = std::move(host);
}

ScopedFormHost::~ScopedFormHost() {
  std::lock_guard lock(g_mutex);
  g_host = std::move(previous_);
}

void ShowFormModal(SetupForm& form) {
  FormHost* host = CurrentFormHost();
  if (!host)
    throw HostError(kNeedsDisplay, "the dialog \"" + form.Caption() +
                                       "\" needs a display: no window system support is installed for the setup "
                                       "dialogs; use \"vemoprint templates\" to manage templates");
  host->ShowModal(form);
}

}  // namespace vemo::setup
