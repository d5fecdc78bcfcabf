// The table of functions the evaluator knows.
#include <algorithm>
#include <unordered_map>

#include "workbook/formula_eval_internal.h"

namespace vemo::wb::eval {

const FunctionSpec* FindFunction(std::string_view upperName) {
  static const std::unordered_map<std::string_view, FunctionSpec> table = [] {
    FunctionTable list;
    AddMathFunctions(list);
    AddLogicFunctions(list);
    AddTextFunctions(list);
    AddDateFunctions(list);
    AddLookupFunctions(list);
    return std::unordered_map<std::string_view, FunctionSpec>(list.begin(), list.end());
  }();
  auto it = table.find(upperName);
  return it == table.end() ? nullptr : &it->second;
}

}  // namespace vemo::wb::eval
