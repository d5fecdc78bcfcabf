// Shows the setup forms modally in Qt windows: the window that belongs to the
// form's kind (courier settings, waybill templates, bill or report
// templates), loaded through FormDialog::Open and run until the form closes.
// A form that closes itself while loading is never shown.
#pragma once
#include <memory>

#include "setup/form_host.h"
#include "ui/dialogs/form_dialog.h"

namespace vemo::ui {

// The window for a form; raises HostError when the form is of no kind this
// host has a window for.
std::unique_ptr<FormDialog> DialogFor(setup::SetupForm& form, QWidget* parent);

class QtFormHost : public setup::FormHost {
 public:
  void ShowModal(setup::SetupForm& form) override;
};

}  // namespace vemo::ui
