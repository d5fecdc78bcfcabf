// Function calls: arguments evaluated on demand, and single-value functions
// applied element by element inside SUMPRODUCT.
#include <algorithm>

#include "workbook/formulas/formula_eval_internal.h"

namespace vemo::wb::eval {

FunctionCall::FunctionCall(Evaluator& ev, const FormulaNode& node, std::vector<Value> args)
    : ev_(ev), node_(node), cache_(node.children.size()) {
  for (std::size_t i = 0; i < args.size() && i < cache_.size(); ++i) cache_[i] = std::move(args[i]);
}

bool FunctionCall::IsMissing(std::size_t i) const {
  return i >= node_.children.size() || node_.children[i]->kind == FormulaNode::Kind::Missing;
}

const Value& FunctionCall::Arg(std::size_t i) {
  if (!cache_[i]) cache_[i] = ev_.Evaluate(*node_.children[i]);
  return *cache_[i];
}

CellValue FunctionCall::Scalar(std::size_t i) {
  if (IsMissing(i)) return CellValue();
  return ev_.ToScalar(Arg(i));
}

double FunctionCall::Number(std::size_t i, std::optional<ErrorCode>& error) {
  CellValue v = ToNumber(Scalar(i));
  if (v.IsError()) {
    if (!error) error = v.error();
    return 0;
  }
  return v.number();
}

std::string FunctionCall::Text(std::size_t i, std::optional<ErrorCode>& error) {
  CellValue v = ToText(Scalar(i));
  if (v.IsError()) {
    if (!error) error = v.error();
    return {};
  }
  return v.text();
}

Value Evaluator::EvaluateFunction(const FormulaNode& node) {
  const FunctionForm* layout = FindFunction(node.text);
  if (!layout) {
    MarkIncomplete("unknown function " + node.text);
    return Value::Error(ErrorCode::Name);
  }
  const int n = static_cast<int>(node.children.size());
  if (n < layout->minArgs || (layout->maxArgs >= 0 && n > layout->maxArgs)) {
    MarkIncomplete("wrong number of arguments to " + node.text);
    return Value::Error(ErrorCode::Value);
  }
  if (layout->mode == ArgMode::Scalar && InArrayContext()) return ApplyOverArrays(node, *layout);
  FunctionCall call(*this, node);
  if (layout->mode == ArgMode::Array) EnterArrayContext();
  Value result = layout->impl(call);
  if (layout->mode == ArgMode::Array) LeaveArrayContext();
  return result;
}

// Inside SUMPRODUCT, ROUND(A1:A3*B1:B3,2) rounds each product: a function of
// single values is applied to each element of its array arguments.
Value Evaluator::ApplyOverArrays(const FormulaNode& node, const FunctionForm& layout) {
  std::vector<Value> args;
  std::size_t rows = 1, cols = 1;
  bool anyArray = false;
  for (const auto& child : node.children) {
    args.push_back(child->kind == FormulaNode::Kind::Missing ? Value{Value::Kind::Missing, {}, {}, {}}
                                                             : Operand(Evaluate(*child)));
    if (args.back().kind == Value::Kind::Array) {
      anyArray = true;
      rows = std::max(rows, args.back().array.size());
      cols = std::max(cols, args.back().array[0].size());
    }
  }
  if (!anyArray) {
    FunctionCall call(*this, node, std::move(args));
    return layout.impl(call);
  }
  ChargeMemory(rows * cols);
  Matrix out(rows, std::vector<CellValue>(cols));
  for (std::size_t r = 0; r < rows; ++r)
    for (std::size_t c = 0; c < cols; ++c) {
      std::vector<Value> element;
      for (const Value& a : args)
        element.push_back(a.kind == Value::Kind::Array ? Value::Of(ElementAt(a.array, r, c)) : a);
      FunctionCall call(*this, node, std::move(element));
      out[r][c] = ToScalar(layout.impl(call));
    }
  return Value{Value::Kind::Array, {}, {}, std::move(out)};
}

}  // namespace vemo::wb::eval
