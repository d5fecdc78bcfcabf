// The table of functions the evaluator knows.
#include <algorithm>
#include <unordered_map>
#include <utility>

#include "workbook/formulas/formula_eval_internal.h"

namespace vemo::wb::eval {

Grid::Grid(Evaluator& ev, const Value& v, bool transposed) : ev_(ev), transposed_(transposed) {
  if (v.kind == Value::Kind::Range && v.areas.size() == 1) {
    area_ = v.areas[0];
    used_ = ev.Clipped(area_);
    valid_ = true;
  } else if (v.kind == Value::Kind::Array) {
    ev.ChargeMemory(v.array.size() * v.array[0].size());
    matrix_ = v.array;
    valid_ = true;
  } else if (v.kind == Value::Kind::Scalar && !v.scalar.IsError()) {
    matrix_ = Matrix{{v.scalar}};
    valid_ = true;
  }
}

int Grid::Rows() const {
  if (transposed_) return isRange() ? area_.Cols() : static_cast<int>(matrix_[0].size());
  return isRange() ? area_.Rows() : static_cast<int>(matrix_.size());
}

int Grid::Cols() const {
  if (transposed_) return isRange() ? area_.Rows() : static_cast<int>(matrix_.size());
  return isRange() ? area_.Cols() : static_cast<int>(matrix_[0].size());
}

int Grid::UsedRows() const {
  if (!isRange()) return Rows();
  return transposed_ ? used_.Cols() : used_.Rows();
}

CellValue Grid::At(int r, int c) const {
  if (transposed_) std::swap(r, c);
  if (!isRange()) return matrix_[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)];
  if (area_.top + r > used_.bottom || area_.left + c > used_.right) return CellValue();
  return ev_.Cell(area_.sheet, area_.top + r, area_.left + c);
}

const FunctionForm* FindFunction(std::string_view upperName) {
  static const std::unordered_map<std::string_view, FunctionForm> table = [] {
    FunctionTable list;
    AddMathFunctions(list);
    AddLogicFunctions(list);
    AddTextFunctions(list);
    AddDateFunctions(list);
    AddLookupFunctions(list);
    AddCriteriaFunctions(list);
    return std::unordered_map<std::string_view, FunctionForm>(list.begin(), list.end());
  }();
  auto it = table.find(upperName);
  return it == table.end() ? nullptr : &it->second;
}

}  // namespace vemo::wb::eval
