#include "setup/grid_form.h"

#include "context/login.h"
#include "setup/scripted_grid.h"

namespace vemo::setup {
namespace {

void Listen(const std::shared_ptr<SetupGrid>& grid, GridListener* listener) {
  if (auto* scripted = dynamic_cast<ScriptedGrid*>(grid.get())) scripted->SetListener(listener);
}

}  // namespace

GridForm::GridForm() { AttachGrid(std::make_shared<ScriptedGrid>()); }

GridForm::~GridForm() { Listen(grid_, nullptr); }

void GridForm::AttachGrid(std::shared_ptr<SetupGrid> grid) {
  Listen(grid_, nullptr);
  grid_ = std::move(grid);
  Listen(grid_, this);
}

std::string GridForm::Props() const { return props_ ? *props_ : context::GetPropsString(); }

void LayOutColumns(SetupGrid& grid, std::initializer_list<ColumnLook> columns) {
  grid.SetRowCount(0);
  grid.SetColumnCount(static_cast<int>(columns.size()));
  int col = 1;
  for (const ColumnLook& column : columns) {
    grid.SetColumnIdentifier(col, column.identifier);
    grid.SetColumnHeader(col, column.header);
    grid.SetColumnWidth(col, column.width);
    grid.SetColumnHidden(col, column.hidden);
    ++col;
  }
}

}  // namespace vemo::setup
