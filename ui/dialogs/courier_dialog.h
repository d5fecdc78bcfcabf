// The courier company settings window (frmLogistic): the company grid and
// the buttons 恢复预设信息 (with its tool tip, left) and 确定 应用 取消
// (right), each pressing the form's button of the same index.
#pragma once
#include "setup/logistic_form.h"
#include "ui/dialogs/form_dialog.h"

namespace vemo::ui {

class CourierDialog : public FormDialog {
  Q_OBJECT

 public:
  explicit CourierDialog(setup::frmLogistic& form, QWidget* parent = nullptr);
};

}  // namespace vemo::ui
