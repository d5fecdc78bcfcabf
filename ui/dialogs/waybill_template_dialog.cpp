#include "ui/dialogs/waybill_template_dialog.h"

#include <QComboBox>
#include <QEvent>
#include <QPushButton>
#include <QSignalBlocker>

#include "setup/setup_messages.h"

namespace vemo::ui {
namespace {

// The name part of an "FName|FID" entry.
QString NameOf(const std::string& entry) {
  const QString text = QString::fromStdString(entry);
  const auto bar = text.lastIndexOf(QLatin1Char('|'));
  return bar < 0 ? text : text.left(bar);
}

}  // namespace

WaybillTemplateDialog::WaybillTemplateDialog(setup::frmNoteSetLM& form, QWidget* parent)
    : TemplateDialog(form, false, parent), waybill_(form), lookup_(new QComboBox(this)) {
  lookup_->setMinimumContentsLength(16);
  lookup_->installEventFilter(this);
  TopRow()->addWidget(lookup_, 1);
  TopRow()->addWidget(AddButton(setup::frmNoteSetLM::kCouriers, QString::fromUtf8(setup::msg::kCouriersButton)));
  connect(lookup_, &QComboBox::activated, this, [this](int index) {
    const std::string entry = lookup_->itemData(index).toString().toStdString();
    Forward([&] { waybill_.OnCourierCommit(0, entry); });
  });
}

bool WaybillTemplateDialog::eventFilter(QObject* watched, QEvent* event) {
  if (watched == lookup_ && event->type() == QEvent::FocusIn) Forward([&] { waybill_.OnCourierEnter(0); });
  return TemplateDialog::eventFilter(watched, event);
}

void WaybillTemplateDialog::Refresh() {
  TemplateDialog::Refresh();
  const QSignalBlocker quiet(lookup_);
  lookup_->clear();
  for (const std::string& entry : waybill_.CourierEntries()) lookup_->addItem(NameOf(entry), QString::fromStdString(entry));
  lookup_->setCurrentIndex(lookup_->findData(QString::fromStdString(waybill_.CourierText())));
}

}  // namespace vemo::ui
