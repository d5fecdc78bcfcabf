// An in-memory workbook for evaluator tests: cells set by A1 address; and the
// fixture the evaluator and function tests share.
#pragma once

#include <gtest/gtest.h>

#include <initializer_list>
#include <map>
#include <string>
#include <tuple>

#include "workbook/formula_eval.h"
#include "workbook/reference.h"

namespace vemo::wb::testing {

class MapContext : public EvalContext {
 public:
  // Set("A1", 3) on the current sheet, Set("Data!B2", "x") on another.
  template <typename T>
  void Set(const std::string& address, T value) {
    auto ref = ParseReference(address);
    if (!ref) throw std::invalid_argument("bad test address " + address);
    cells_[{Upper(ref->sheet.value_or("")), ref->area.first.row, ref->area.first.col}] = Make(value);
  }
  void SetName(const std::string& name, const std::string& formula) { names_[Upper(name)] = formula; }

  CellValue CellAt(std::string_view sheet, int row, int col) override {
    auto it = cells_.find({Upper(std::string(sheet)), row, col});
    return it == cells_.end() ? CellValue() : it->second;
  }
  std::optional<std::string> NameFormula(std::string_view name, std::string_view) override {
    auto it = names_.find(Upper(std::string(name)));
    if (it == names_.end()) return std::nullopt;
    return it->second;
  }
  double Today() override { return today; }
  bool Date1904() override { return date1904; }
  Extent UsedExtent(std::string_view) override { return {100, 26}; }

  double today = 45292;  // 2024-01-01
  bool date1904 = false;

 private:
  static std::string Upper(std::string s) {
    for (char& c : s)
      if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return s;
  }
  static CellValue Make(double v) { return CellValue::Number(v); }
  static CellValue Make(int v) { return CellValue::Number(v); }
  static CellValue Make(bool v) { return CellValue::Boolean(v); }
  static CellValue Make(const char* v) { return CellValue::Text(v); }
  static CellValue Make(ErrorCode v) { return CellValue::Error(v); }

  std::map<std::tuple<std::string, int, int>, CellValue> cells_;
  std::map<std::string, std::string> names_;
};

// A fixture evaluating formulas on a MapContext: Expect({{formula, value}, ...})
// with N(umber), T(ext), B(oolean) and E(rror) values.
class FormulaTest : public ::testing::Test {
 protected:
  CellValue Eval(std::string_view formula, EvalOptions options = {}) {
    EvalResult r = EvaluateFormula(formula, ctx, options);
    EXPECT_TRUE(r.complete) << formula << ": " << r.problem;
    return r.value;
  }
  struct Case {
    const char* formula;
    CellValue want;
  };
  void Expect(std::initializer_list<Case> cases) {
    for (const Case& c : cases) EXPECT_EQ(Eval(c.formula), c.want) << c.formula;
  }
  static CellValue N(double v) { return CellValue::Number(v); }
  static CellValue T(const char* v) { return CellValue::Text(v); }
  static CellValue B(bool v) { return CellValue::Boolean(v); }
  static CellValue E(ErrorCode e) { return CellValue::Error(e); }
  MapContext ctx;
};

}  // namespace vemo::wb::testing
