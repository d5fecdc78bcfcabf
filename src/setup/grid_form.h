// What the template dialogs and the courier dialog share as forms: the grid
// they work on (an in-memory one until a window system attaches its own),
// the props string they hand the components, and whether they are closed.
#pragma once
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>

#include "setup/form_host.h"
#include "setup/setup_grid.h"

namespace vemo::setup {

class GridForm : public SetupForm, public GridListener {
 public:
  GridForm();
  ~GridForm() override;
  GridForm(const GridForm&) = delete;
  GridForm& operator=(const GridForm&) = delete;

  // A ScriptedGrid attached here reports its user actions to this form.
  void AttachGrid(std::shared_ptr<SetupGrid> grid) override;
  bool IsClosed() const override { return closed_; }
  void Close() { closed_ = true; }

  SetupGrid& Grid() { return *grid_; }
  const SetupGrid& Grid() const { return *grid_; }

  // The props string handed to the components; the session's by default.
  void SetPropsString(std::string props) { props_ = std::move(props); }

 protected:
  std::string Props() const;
  void Reopen() { closed_ = false; }

 private:
  std::shared_ptr<SetupGrid> grid_;
  std::optional<std::string> props_;
  bool closed_ = false;
};

// One column of a dialog's grid layout.
struct ColumnLook {
  const char* identifier;
  const char* header;
  int width;
  bool hidden;
};
// Empties the grid and lays its columns out (column 1 first).
void LayOutColumns(SetupGrid& grid, std::initializer_list<ColumnLook> columns);

// Gives a flag a value for a scope and restores the previous one.
class ScopedFlag {
 public:
  ScopedFlag(bool& flag, bool value) : flag_(flag), previous_(flag) { flag_ = value; }
  ~ScopedFlag() { flag_ = previous_; }
  ScopedFlag(const ScopedFlag&) = delete;
  ScopedFlag& operator=(const ScopedFlag&) = delete;

 private:
  bool& flag_;
  bool previous_;
};

}  // namespace vemo::setup
