#include "ui/dialogs/qt_form_host.h"

#include <QApplication>

#include "foundation/host_error.h"
#include "ui/dialogs/courier_dialog.h"
#include "ui/dialogs/template_dialog.h"
#include "ui/dialogs/waybill_template_dialog.h"

namespace vemo::ui {

std::unique_ptr<FormDialog> DialogFor(setup::SetupForm& form, QWidget* parent) {
  if (auto* couriers = dynamic_cast<setup::frmLogistic*>(&form)) return std::make_unique<CourierDialog>(*couriers, parent);
  if (auto* waybill = dynamic_cast<setup::frmNoteSetLM*>(&form)) return std::make_unique<WaybillTemplateDialog>(*waybill, parent);
  if (auto* templates = dynamic_cast<setup::NoteSetForm*>(&form)) return std::make_unique<TemplateDialog>(*templates, parent);
  throw HostError(HostError::kGeneric, "the dialog \"" + form.Caption() + "\" has no window in the Qt user interface");
}

void QtFormHost::ShowModal(setup::SetupForm& form) {
  // A form opened from another form's window (the courier settings from
  // the waybill templates) sits on top of it.
  std::unique_ptr<FormDialog> dialog = DialogFor(form, QApplication::activeModalWidget());
  if (!dialog->Open()) return;
  dialog->exec();
}

}  // namespace vemo::ui
