#include "render/cell_values.h"

#include "render/render_declined.h"

namespace vemo::render {

wb::CellValue CellValues::Get(const wb::Sheet& sheet, int row, int col) {
  try {
    return values_.Get(sheet, row, col);
  } catch (const wb::CannotCompute& e) {
    throw RenderDeclined(e.what());
  }
}

wb::CellValue CellValues::Evaluate(const wb::Sheet& sheet, std::string_view formula, int row, int col,
                                   const std::string& where) {
  try {
    return values_.Evaluate(sheet, formula, row, col, where);
  } catch (const wb::CannotCompute& e) {
    throw RenderDeclined(e.what());
  }
}

}  // namespace vemo::render
