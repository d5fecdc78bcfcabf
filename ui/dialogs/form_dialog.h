// What every setup dialog window has: the form it shows (a presenter of
// src/setup), its grid, and command buttons that forward to the form's
// button indices. The window holds no logic of its own: after each button it
// shows again what the form holds outside the grid (Refresh) and closes when
// the form has closed. The window's close box and Escape press the form's
// cancel button.
//
// The form must outlive the window. While the window exists the form works
// on the window's grid; when the window goes, the form gets an in-memory
// grid holding the same cells.
#pragma once
#include <QDialog>
#include <functional>
#include <map>
#include <memory>

#include "setup/grid_form.h"
#include "ui/grid/qt_setup_grid.h"

class QPushButton;
class QTableView;

namespace vemo::ui {

class FormDialog : public QDialog {
  Q_OBJECT

 public:
  ~FormDialog() override;

  // Puts the window's grid into the form and runs its load steps. False
  // when the form closed itself while loading (the window is then not shown).
  bool Open();

  setup::GridForm& Form() const { return form_; }
  QtSetupGrid& Grid() const { return *grid_; }
  QTableView* GridView() const { return view_; }
  // The button of a form button index; nullptr when the form has none.
  QPushButton* Button(int index) const;
  // What the form holds outside the grid, shown again.
  virtual void Refresh() {}

  void reject() override;

 protected:
  // `press` runs one of the form's buttons; `cancelIndex` is the button the
  // close box stands for.
  FormDialog(setup::GridForm& form, std::function<void(int)> press, int cancelIndex, QWidget* parent);
  // A command button with its caption (accelerator written with "&").
  QPushButton* AddButton(int index, const QString& caption);
  // Runs an action of the form; an error it lets out is shown.
  void Forward(const std::function<void()>& action);
  // The grid's width for its visible columns.
  int GridWidth() const;

 private:
  void Press(int index);

  setup::GridForm& form_;
  std::function<void(int)> press_;
  int cancelIndex_;
  QTableView* view_;
  std::shared_ptr<QtSetupGrid> grid_;
  std::map<int, QPushButton*> buttons_;
};

}  // namespace vemo::ui
