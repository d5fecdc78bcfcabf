#include "ui/dialogs/template_dialog.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include "setup/setup_messages.h"

namespace vemo::ui {

using setup::NoteSetForm;
namespace msg = setup::msg;

TemplateDialog::TemplateDialog(NoteSetForm& form, QWidget* parent) : TemplateDialog(form, true, parent) {}

TemplateDialog::TemplateDialog(NoteSetForm& form, bool typeText, QWidget* parent)
    : FormDialog(form, [&form](int index) { form.ClickButton(index); }, NoteSetForm::kCancel, parent),
      noteSet_(form),
      topRow_(new QHBoxLayout) {
  if (typeText) {
    typeText_ = new QLineEdit(this);
    typeText_->setReadOnly(true);
    auto* label = new QLabel(QString::fromUtf8(msg::kTypeLabel), this);
    label->setBuddy(typeText_);
    topRow_->addWidget(label);
    topRow_->addWidget(typeText_, 1);
  }
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(AddButton(NoteSetForm::kImport, QString::fromUtf8(msg::kImportButton)));
  buttons->addWidget(AddButton(NoteSetForm::kDelete, QString::fromUtf8(msg::kDeleteButton)));
  buttons->addWidget(AddButton(NoteSetForm::kExport, QString::fromUtf8(msg::kExportButton)));
  buttons->addStretch(1);
  buttons->addWidget(AddButton(NoteSetForm::kOk, QString::fromUtf8(msg::kOkButton)));
  buttons->addWidget(AddButton(NoteSetForm::kCancel, QString::fromUtf8(msg::kCancelButton)));
  buttons->addWidget(AddButton(NoteSetForm::kApply, QString::fromUtf8(msg::kApplyButton)));
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(topRow_);
  layout->addWidget(GridView(), 1);
  layout->addLayout(buttons);
  resize(560, 360);
}

void TemplateDialog::Refresh() {
  if (typeText_) typeText_->setText(QString::fromStdString(noteSet_.TypeText()));
}

}  // namespace vemo::ui
