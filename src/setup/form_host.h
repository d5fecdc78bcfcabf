// Modal display of the setup dialogs. The dialog logic (the frm* classes)
// has no widgets; a FormHost shows one modally: it attaches its grid to the
// form, runs form.Load(), and, unless the form closed itself while loading,
// lets the user work until a button closes it.
//
// Without a FormHost (and without a loader that installs one), showing a
// form raises HostError kNeedsDisplay ("... needs a display ...").
#pragma once
#include <functional>
#include <memory>
#include <string>

#include "foundation/installed.h"

namespace vemo::setup {

class SetupGrid;

// What a FormHost needs of a dialog.
class SetupForm {
 public:
  virtual ~SetupForm() = default;
  virtual std::string Caption() const = 0;
  // Puts the host's grid in place of the form's in-memory one.
  virtual void AttachGrid(std::shared_ptr<SetupGrid> grid) = 0;
  // The form's load steps; the form may close itself here.
  virtual void Load() = 0;
  virtual bool IsClosed() const = 0;
};

class FormHost {
 public:
  virtual ~FormHost() = default;
  // Returns when the form is closed.
  virtual void ShowModal(SetupForm& form) = 0;
};

// The error number of a form shown without a display.
inline constexpr int kNeedsDisplay = 1001;

// nullptr when none is installed.
FormHost* CurrentFormHost();
void SetFormHost(std::shared_ptr<FormHost> host);

Installed<std::shared_ptr<FormHost>>& InstalledFormHost();
using ScopedFormHost = ScopedInstall<std::shared_ptr<FormHost>, &InstalledFormHost>;

// Installs a FormHost when the first form is shown without one (the C
// interface loads the Qt user interface then, app/ does so up front);
// answers false with the reason when it cannot.
using FormHostLoader = std::function<bool(std::string& why)>;
void SetFormHostLoader(FormHostLoader loader);

// Shows the form on the installed FormHost, asking the loader for one when
// none is installed; raises HostError kNeedsDisplay naming the form, and the
// loader's reason, when there is still none.
void ShowFormModal(SetupForm& form);

}  // namespace vemo::setup
