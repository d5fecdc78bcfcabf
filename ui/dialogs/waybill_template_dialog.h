// The waybill template setup window (frmNoteSetLM): the template window with
// the courier company lookup and the button "物流公司" in its top row.
//
// The lookup is a combo box listing the form's courier entries ("FName|FID")
// by their names. Entering it (focus) raises the form's enter notification;
// choosing an entry (mouse or keyboard) raises the commit notification, so
// the grid is saved for the previous company after an import before the
// rows of the chosen one are loaded. The window raises no other change
// notification. After every notification and button the combo shows the
// form's current entry again (a failed save puts the previous one back).
#pragma once
#include "setup/note_set_lm_form.h"
#include "ui/dialogs/template_dialog.h"

class QComboBox;

namespace vemo::ui {

class WaybillTemplateDialog : public TemplateDialog {
  Q_OBJECT

 public:
  explicit WaybillTemplateDialog(setup::frmNoteSetLM& form, QWidget* parent = nullptr);
  void Refresh() override;
  QComboBox* CourierLookup() const { return lookup_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  setup::frmNoteSetLM& waybill_;
  QComboBox* lookup_;
};

}  // namespace vemo::ui
