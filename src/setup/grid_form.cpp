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

void LayOutColumns(SetupGrid& grid, std::initializer_list<ColumnSpec> columns) {
  grid.SetRowCount(0);
  grid.SetColumnCount(static_cast<int>(columns.size()));
  int col = 1;
  for (const ColumnSpec& spec : columns) {
    grid.SetColumnIdentifier(col, spec.identifier);
    grid.SetColumnHeader(col, spec.header);
    grid.SetColumnWidth(col, spec.width);
    grid.SetColumnHidden(col, spec.hidden);
    ++col;
  }
}

}  // namespace vemo::setup
