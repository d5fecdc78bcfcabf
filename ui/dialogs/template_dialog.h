// The template setup window of the bill and report dialogs (frmNoteSet,
// frmNoteSetRpt), and the base of the waybill one: a top row (here the label
// "单据类型：" and the bill type or report name), the template grid, and the
// six buttons 导入 删除 导出 (left) and 确定 取消 应用 (right), each pressing
// the form's button of the same index.
#pragma once
#include <QHBoxLayout>

#include "setup/note_set_form.h"
#include "ui/dialogs/form_dialog.h"

class QLineEdit;

namespace vemo::ui {

class TemplateDialog : public FormDialog {
  Q_OBJECT

 public:
  explicit TemplateDialog(setup::NoteSetForm& form, QWidget* parent = nullptr);
  void Refresh() override;
  setup::NoteSetForm& NoteSet() const { return noteSet_; }

 protected:
  // `typeText` false leaves the top row empty for the variant to fill.
  TemplateDialog(setup::NoteSetForm& form, bool typeText, QWidget* parent);
  QHBoxLayout* TopRow() const { return topRow_; }

 private:
  setup::NoteSetForm& noteSet_;
  QHBoxLayout* topRow_;
  QLineEdit* typeText_ = nullptr;
};

}  // namespace vemo::ui
