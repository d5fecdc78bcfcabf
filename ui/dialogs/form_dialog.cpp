#include "ui/dialogs/form_dialog.h"

#include <QHeaderView>
#include <QPushButton>
#include <QScrollBar>
#include <QTableView>

#include "context/desktop.h"
#include "setup/error_text.h"

namespace vemo::ui {

FormDialog::FormDialog(setup::GridForm& form, std::function<void(int)> press, int cancelIndex, QWidget* parent)
    : QDialog(parent), form_(form), press_(std::move(press)), cancelIndex_(cancelIndex), view_(new QTableView(this)) {
  grid_ = std::make_shared<QtSetupGrid>(*view_);
  grid_->SetListener(&form_);
  setWindowTitle(QString::fromStdString(form_.Caption()));
  setModal(true);
}

FormDialog::~FormDialog() {
  // The form keeps its cells, on a grid that needs no window.
  grid_->SetListener(nullptr);
  form_.AttachGrid(std::make_shared<setup::ScriptedGrid>(grid_->Cells()));
}

bool FormDialog::Open() {
  form_.AttachGrid(grid_);
  grid_->SetListener(&form_);
  form_.Load();
  Refresh();
  return !form_.IsClosed();
}

QPushButton* FormDialog::AddButton(int index, const QString& caption) {
  auto* button = new QPushButton(caption, this);
  button->setAutoDefault(false);  // Enter belongs to the grid's editor
  connect(button, &QPushButton::clicked, this, [this, index] { Press(index); });
  buttons_[index] = button;
  return button;
}

QPushButton* FormDialog::Button(int index) const {
  auto it = buttons_.find(index);
  return it == buttons_.end() ? nullptr : it->second;
}

void FormDialog::Forward(const std::function<void()>& action) {
  try {
    action();
  } catch (const std::exception& e) {
    context::CurrentDesktop().MessageBox(setup::ErrorText(e), context::vbCritical, std::string(context::kMessageTitle));
  }
  Refresh();
  if (form_.IsClosed()) done(QDialog::Accepted);
}

void FormDialog::Press(int index) {
  Forward([&] { press_(index); });
}

void FormDialog::reject() { Press(cancelIndex_); }  // closes the window once the form has closed

int FormDialog::GridWidth() const {
  int width = 2 * view_->frameWidth() + view_->verticalScrollBar()->sizeHint().width();
  for (int col = 0; col < view_->model()->columnCount(); ++col)
    if (!view_->isColumnHidden(col)) width += view_->columnWidth(col);
  return width;
}

}  // namespace vemo::ui
