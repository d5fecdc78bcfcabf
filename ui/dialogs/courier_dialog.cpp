#include "ui/dialogs/courier_dialog.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include "setup/setup_messages.h"

namespace vemo::ui {

using setup::frmLogistic;
namespace msg = setup::msg;

CourierDialog::CourierDialog(frmLogistic& form, QWidget* parent)
    : FormDialog(form, [&form](int index) { form.ClickButton(index); }, frmLogistic::kCancel, parent) {
  auto* restore = AddButton(frmLogistic::kRestorePresets, QString::fromUtf8(msg::kRestorePresetsButton));
  restore->setToolTip(QString::fromUtf8(frmLogistic::kRestoreToolTip));
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(restore);
  buttons->addStretch(1);
  buttons->addWidget(AddButton(frmLogistic::kOk, QString::fromUtf8(msg::kOkButton)));
  buttons->addWidget(AddButton(frmLogistic::kApply, QString::fromUtf8(msg::kApplyButton)));
  buttons->addWidget(AddButton(frmLogistic::kCancel, QString::fromUtf8(msg::kCancelButton)));
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(GridView(), 1);
  layout->addLayout(buttons);
  resize(760, 330);
}

}  // namespace vemo::ui
