// VLOOKUP, HLOOKUP, LOOKUP, MATCH, INDEX and the position functions ROW, COLUMN, ROWS, COLUMNS.
#include <cmath>

#include "workbook/formulas/formula_eval_internal.h"

namespace vemo::wb::eval {
namespace {

bool HasWildcard(std::string_view s) { return s.find_first_of("*?~") != std::string_view::npos; }

// Exact match: text without regard to case (with wildcards when the key has
// them), numbers and booleans by value; a key never equals a value of another kind.
bool ExactMatch(const CellValue& key, const CellValue& cell) {
  if (key.IsText() && HasWildcard(key.text())) return cell.IsText() && WildcardMatch(key.text(), cell.text());
  return !cell.IsEmpty() && cell.type() == key.type() && CompareValues(cell, key) == 0;
}

// Position (0-based) of `key` in column 0 of `grid`, or -1.
//  type 0: first exact match;
//  type 1: last entry not greater than the key (ascending data);
//  type -1: last entry not less than the key (descending data).
// Entries of another kind than the key are skipped.
int Find(const Grid& grid, const CellValue& key, int type) {
  const int rows = grid.UsedRows();
  if (type == 0) {
    for (int r = 0; r < rows; ++r)
      if (ExactMatch(key, grid.At(r, 0))) return r;
    return -1;
  }
  int found = -1;
  for (int r = 0; r < rows; ++r) {
    CellValue cell = grid.At(r, 0);
    if (cell.IsEmpty() || cell.type() != key.type()) continue;
    int c = CompareValues(cell, key);
    if (type > 0 ? c > 0 : c < 0) break;
    found = r;
  }
  return found;
}

template <bool vertical>
Value Lookup(FunctionCall& call) {
  CellValue key = call.Scalar(0);
  if (key.IsError()) return Value::Of(key);
  const Value& tableArg = call.Arg(1);
  if (tableArg.kind == Value::Kind::Scalar && tableArg.scalar.IsError()) return tableArg;
  Grid table(call.evaluator(), tableArg, !vertical);
  if (!table.valid()) return Value::Error(ErrorCode::Value);
  std::optional<ErrorCode> error;
  double index = std::trunc(call.Number(2, error));
  bool approximate = true;
  if (call.Count() > 3) {
    CellValue a = ToBoolean(call.Scalar(3));
    if (a.IsError()) return Value::Of(a);
    approximate = a.boolean();
  }
  if (error) return Value::Error(*error);
  if (index < 1) return Value::Error(ErrorCode::Value);
  if (index > table.Cols()) return Value::Error(ErrorCode::Ref);
  int row = Find(table, key, approximate ? 1 : 0);
  if (row < 0) return Value::Error(ErrorCode::NA);
  return Value::Of(table.At(row, static_cast<int>(index) - 1));
}

// LOOKUP(key, vector, [result]) and LOOKUP(key, array): always the approximate
// match (the last entry not greater than the key, entries of another kind
// skipped), so LOOKUP(9.99E+307, A:A) is the last number of a column and
// LOOKUP(2, 1/(A1:A9="x"), B1:B9) the last row that holds "x". Without a
// result vector an array taller than wide is searched down its first column
// and answers from its last; otherwise along its first row, answering from
// its last row. A result range shorter than the search extends past its end
// in its own direction, as a reference does.
Value LookupVector(FunctionCall& call) {
  CellValue key = call.Scalar(0);
  if (key.IsError()) return Value::Of(key);
  const Value& searchArg = call.Arg(1);
  if (searchArg.kind == Value::Kind::Scalar && searchArg.scalar.IsError()) return searchArg;
  Grid probe(call.evaluator(), searchArg);
  if (!probe.valid()) return Value::Error(ErrorCode::NA);
  const bool across = probe.Cols() > probe.Rows();
  Grid search(call.evaluator(), searchArg, across);
  const int pos = Find(search, key, 1);
  if (pos < 0) return Value::Error(ErrorCode::NA);
  if (call.Count() < 3) return Value::Of(search.At(pos, search.Cols() - 1));
  const Value& resultArg = call.Arg(2);
  if (resultArg.kind == Value::Kind::Scalar && resultArg.scalar.IsError()) return resultArg;
  Grid result(call.evaluator(), resultArg);
  if (!result.valid() || (result.Rows() > 1 && result.Cols() > 1)) return Value::Error(ErrorCode::NA);
  const bool resultAcross = result.Rows() == 1 && result.Cols() > 1;
  if (pos < (resultAcross ? result.Cols() : result.Rows()))
    return Value::Of(resultAcross ? result.At(0, pos) : result.At(pos, 0));
  if (!result.isRange()) return Value::Error(ErrorCode::NA);
  const Area& a = result.area();
  return Value::Of(resultAcross ? call.evaluator().Cell(a.sheet, a.top, a.left + pos)
                                : call.evaluator().Cell(a.sheet, a.top + pos, a.left));
}

Value Match(FunctionCall& call) {
  CellValue key = call.Scalar(0);
  if (key.IsError()) return Value::Of(key);
  const Value& listArg = call.Arg(1);
  if (listArg.kind == Value::Kind::Scalar && listArg.scalar.IsError()) return listArg;
  Grid probe(call.evaluator(), listArg);
  if (!probe.valid()) return Value::Error(ErrorCode::NA);
  if (probe.Rows() > 1 && probe.Cols() > 1) return Value::Error(ErrorCode::NA);  // one row or column only
  Grid list(call.evaluator(), listArg, probe.Rows() == 1 && probe.Cols() > 1);
  std::optional<ErrorCode> error;
  double type = call.Count() > 2 && !call.IsMissing(2) ? call.Number(2, error) : 1;
  if (error) return Value::Error(*error);
  int pos = Find(list, key, type > 0 ? 1 : (type < 0 ? -1 : 0));
  if (pos < 0) return Value::Error(ErrorCode::NA);
  return Value::Number(pos + 1);
}

// INDEX(range, row, [column]) gives a reference, so A1:INDEX(A:A,5) is a range;
// a 0 row or column selects the whole column or row.
Value Index(FunctionCall& call) {
  const Value& source = call.Arg(0);
  if (source.kind == Value::Kind::Scalar && source.scalar.IsError()) return source;
  std::optional<ErrorCode> error;
  double rowArg = call.IsMissing(1) ? 0 : std::trunc(call.Number(1, error));
  double colArg = call.Count() > 2 && !call.IsMissing(2) ? std::trunc(call.Number(2, error)) : 0;
  if (error) return Value::Error(*error);
  if (rowArg < 0 || colArg < 0) return Value::Error(ErrorCode::Value);
  Grid grid(call.evaluator(), source);
  if (!grid.valid()) return Value::Error(ErrorCode::Value);
  // With one index into a single row, that index picks the column.
  if (call.Count() == 2 && grid.Rows() == 1 && grid.Cols() > 1) std::swap(rowArg, colArg);
  if (rowArg > grid.Rows() || colArg > grid.Cols()) return Value::Error(ErrorCode::Ref);
  if (call.Count() == 2 && grid.Rows() > 1 && grid.Cols() > 1 && rowArg > 0)
    colArg = 0;  // INDEX(A1:C3, 2): the whole second row
  const int r = static_cast<int>(rowArg), c = static_cast<int>(colArg);
  if (grid.isRange()) {
    Area a = grid.area();
    if (r > 0) a.top = a.bottom = a.top + r - 1;
    if (c > 0) a.left = a.right = a.left + c - 1;
    return Value{Value::Kind::Range, {}, {a}, {}};
  }
  if (r > 0 && c > 0) return Value::Of(grid.At(r - 1, c - 1));
  if (grid.Rows() == 1 && r <= 1 && c > 0) return Value::Of(grid.At(0, c - 1));
  if (grid.Cols() == 1 && c <= 1 && r > 0) return Value::Of(grid.At(r - 1, 0));
  Matrix part;
  for (int i = 0; i < grid.Rows(); ++i) {
    if (r > 0 && i != r - 1) continue;
    part.emplace_back();
    for (int j = 0; j < grid.Cols(); ++j)
      if (c == 0 || j == c - 1) part.back().push_back(grid.At(i, j));
  }
  return Value{Value::Kind::Array, {}, {}, std::move(part)};
}

// ROW() / COLUMN(): the formula's own position; ROW(ref): the first row of ref.
template <bool row>
Value Position(FunctionCall& call) {
  if (call.Count() == 0 || call.IsMissing(0)) {
    const EvalOptions& o = call.evaluator().options();
    int here = row ? o.row : o.col;
    if (here <= 0) {
      call.evaluator().MarkIncomplete(std::string(row ? "ROW()" : "COLUMN()") + " without the formula's position");
      return Value::Error(ErrorCode::Value);
    }
    return Value::Number(here);
  }
  const Value& v = call.Arg(0);
  if (v.kind == Value::Kind::Scalar && v.scalar.IsError()) return v;
  if (v.kind != Value::Kind::Range || v.areas.size() != 1) return Value::Error(ErrorCode::Value);
  return Value::Number(row ? v.areas[0].top : v.areas[0].left);
}

// ROWS / COLUMNS: the size of a range or array.
template <bool rows>
Value Size(FunctionCall& call) {
  const Value& v = call.Arg(0);
  if (v.kind == Value::Kind::Scalar && v.scalar.IsError()) return v;
  if (v.kind == Value::Kind::Range && v.areas.size() == 1)
    return Value::Number(rows ? v.areas[0].Rows() : v.areas[0].Cols());
  if (v.kind == Value::Kind::Array)
    return Value::Number(static_cast<double>(rows ? v.array.size() : v.array[0].size()));
  if (v.kind == Value::Kind::Scalar) return Value::Number(1);
  return Value::Error(ErrorCode::Value);
}

}  // namespace

void AddLookupFunctions(FunctionTable& table) {
  table.push_back({"VLOOKUP", {3, 4, Lookup<true>}});
  table.push_back({"HLOOKUP", {3, 4, Lookup<false>}});
  // Array arguments: LOOKUP(2, 1/(A1:A9="x"), B1:B9) searches a computed column.
  table.push_back({"LOOKUP", {2, 3, LookupVector, ArgMode::Array}});
  table.push_back({"MATCH", {2, 3, Match}});
  table.push_back({"INDEX", {2, 3, Index}});
  table.push_back({"ROW", {0, 1, Position<true>}});
  table.push_back({"COLUMN", {0, 1, Position<false>}});
  table.push_back({"ROWS", {1, 1, Size<true>}});
  table.push_back({"COLUMNS", {1, 1, Size<false>}});
}

}  // namespace vemo::wb::eval
