#include "workbook/reference_shift.h"

#include <utility>

#include "workbook/formulas/formula_lexer.h"

namespace vemo::wb {
namespace {

constexpr std::string_view kRefError = "#REF!";

// One axis of the range rule; false when the span is pushed off the sheet.
bool ShiftSpan(int& a, int& b, const LineInsertion& ins, int limit) {
  bool reversed = a > b;
  int lo = reversed ? b : a;
  int hi = reversed ? a : b;
  if (lo >= ins.at) {
    lo += ins.count;
    hi += ins.count;
  } else if (hi >= ins.at) {
    hi += ins.count;
  }
  if (lo > limit) return false;
  if (hi > limit) hi = limit;
  a = reversed ? hi : lo;
  b = reversed ? lo : hi;
  return true;
}

bool PointsAt(const Reference& ref, std::string_view hostSheet, std::string_view sheet) {
  if (ref.external || ref.threeD) return false;
  if (ref.sheet) return SameSheetName(*ref.sheet, sheet);
  return !hostSheet.empty() && SameSheetName(hostSheet, sheet);
}

// Rebuilds the formula from its tokens, letting `rewrite` replace the text of
// reference tokens; a token left unchanged keeps its exact bytes.
template <typename Rewrite>
std::string RewriteReferences(std::string_view formula, Rewrite rewrite) {
  std::string out;
  out.reserve(formula.size() + 8);
  for (const Token& token : LexFormula(formula)) {
    if (token.kind == TokenKind::Reference) {
      if (auto text = rewrite(token.ref)) {
        out += *text;
        continue;
      }
    }
    out += token.text;
  }
  return out;
}

bool TranslateCoord(int& v, bool absolute, int delta, int limit) {
  if (absolute || v == 0) return true;
  v += delta;
  return v >= 1 && v <= limit;
}

}  // namespace

std::optional<AreaRef> ShiftArea(const AreaRef& area, const LineInsertion& ins) {
  AreaRef out = area;
  const bool rows = ins.axis == LineInsertion::Axis::Rows;
  const int limit = rows ? kMaxRow : kMaxColumn;
  switch (area.kind) {
    case AreaRef::Kind::Error:
      return out;
    case AreaRef::Kind::Cell: {
      int& v = rows ? out.first.row : out.first.col;
      if (v >= ins.at) v += ins.count;
      if (v > limit) return std::nullopt;
      out.last = out.first;
      return out;
    }
    case AreaRef::Kind::Columns:
      if (rows) return out;
      break;
    case AreaRef::Kind::Rows:
      if (!rows) return out;
      break;
    case AreaRef::Kind::Area:
      break;
  }
  bool ok = rows ? ShiftSpan(out.first.row, out.last.row, ins, limit)
                 : ShiftSpan(out.first.col, out.last.col, ins, limit);
  if (!ok) return std::nullopt;
  return out;
}

std::string ShiftFormula(std::string_view formula, std::string_view hostSheet, std::string_view editedSheet,
                         const LineInsertion& insertion) {
  return RewriteReferences(formula, [&](const Reference& ref) -> std::optional<std::string> {
    if (!PointsAt(ref, hostSheet, editedSheet)) return std::nullopt;
    auto shifted = ShiftArea(ref.area, insertion);
    if (!shifted) return std::string(kRefError);
    if (*shifted == ref.area) return std::nullopt;
    return ref.prefix + FormatAreaRef(*shifted);
  });
}

std::string TranslateFormula(std::string_view formula, int dRow, int dCol) {
  if (dRow == 0 && dCol == 0) return std::string(formula);
  return RewriteReferences(formula, [&](const Reference& ref) -> std::optional<std::string> {
    if (ref.external || ref.area.kind == AreaRef::Kind::Error) return std::nullopt;
    AreaRef a = ref.area;
    bool ok = TranslateCoord(a.first.row, a.first.rowAbsolute, dRow, kMaxRow) &&
              TranslateCoord(a.last.row, a.last.rowAbsolute, dRow, kMaxRow) &&
              TranslateCoord(a.first.col, a.first.colAbsolute, dCol, kMaxColumn) &&
              TranslateCoord(a.last.col, a.last.colAbsolute, dCol, kMaxColumn);
    if (!ok) return std::string(kRefError);
    if (a == ref.area) return std::nullopt;
    return ref.prefix + FormatAreaRef(a);
  });
}

std::string ShiftRangeList(std::string_view sqref, const LineInsertion& insertion) {
  std::string out;
  std::size_t i = 0;
  while (i < sqref.size()) {
    while (i < sqref.size() && sqref[i] == ' ') ++i;
    std::size_t j = i;
    while (j < sqref.size() && sqref[j] != ' ') ++j;
    if (j == i) break;
    std::string_view part = sqref.substr(i, j - i);
    std::string text(part);
    if (auto area = ParseAreaRef(part)) {
      auto shifted = ShiftArea(*area, insertion);
      if (!shifted) {
        i = j;
        continue;
      }
      if (!(*shifted == *area)) text = FormatAreaRef(*shifted);
    }
    if (!out.empty()) out += ' ';
    out += text;
    i = j;
  }
  return out;
}

std::string InvalidateSheetReferences(std::string_view formula, std::string_view deletedSheet) {
  return RewriteReferences(formula, [&](const Reference& ref) -> std::optional<std::string> {
    // Sheet!#REF! is already broken and stays exactly as written.
    if (ref.external || ref.threeD || !ref.sheet || ref.area.kind == AreaRef::Kind::Error ||
        !SameSheetName(*ref.sheet, deletedSheet))
      return std::nullopt;
    return std::string(kRefError);
  });
}

}  // namespace vemo::wb
