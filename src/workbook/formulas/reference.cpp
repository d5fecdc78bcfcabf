#include "workbook/reference.h"

#include <cctype>

namespace vemo::wb {
namespace {

bool IsAsciiLetter(char ch) { return (ch >= 'A' && ch <= 'Z') || (ch >= 'a' && ch <= 'z'); }
bool IsDigit(char ch) { return ch >= '0' && ch <= '9'; }
char Upper(char ch) { return (ch >= 'a' && ch <= 'z') ? static_cast<char>(ch - 'a' + 'A') : ch; }

// Characters of an unquoted sheet name.
bool IsSheetWordChar(char ch) {
  return IsAsciiLetter(ch) || IsDigit(ch) || ch == '_' || ch == '.' ||
         static_cast<unsigned char>(ch) >= 0x80;
}

std::size_t SheetWordEnd(std::string_view text, std::size_t i) {
  while (i < text.size() && IsSheetWordChar(text[i])) ++i;
  return i;
}

// After a reference only an operator, separator, space or the end may follow;
// otherwise the text is a name or function ("LOG10(", "A1B", "A1:A").
bool BoundaryOk(std::string_view text, std::size_t end) {
  if (end >= text.size()) return true;
  char ch = text[end];
  return !(IsFormulaWordChar(ch) || ch == '(' || ch == '[' || ch == '!' || ch == ':' || ch == '\'');
}

// Index just after the quote closing the one at i ('' is an escaped quote).
std::size_t QuoteEnd(std::string_view text, std::size_t i) {
  std::size_t j = i + 1;
  while (j < text.size()) {
    if (text[j] == '\'') {
      if (j + 1 < text.size() && text[j + 1] == '\'') {
        j += 2;
        continue;
      }
      return j + 1;
    }
    ++j;
  }
  return text.size();
}

// Index just after the bracket matching the one at i; inside brackets a quote
// escapes the next character (Table1[['#Col]]).
std::size_t BracketEnd(std::string_view text, std::size_t i) {
  int depth = 0;
  std::size_t j = i;
  while (j < text.size()) {
    char ch = text[j];
    if (ch == '\'' && depth > 0) {
      j += 2;
      continue;
    }
    if (ch == '[') {
      ++depth;
    } else if (ch == ']') {
      if (--depth == 0) return j + 1;
    }
    ++j;
  }
  return text.size();
}

std::string Unquote(std::string_view inner) {
  std::string out;
  for (std::size_t i = 0; i < inner.size(); ++i) {
    out += inner[i];
    if (inner[i] == '\'' && i + 1 < inner.size() && inner[i + 1] == '\'') ++i;
  }
  return out;
}

// $?LETTERS{1,3}: column; returns the end or npos.
std::size_t MatchColumn(std::string_view t, std::size_t i, int& col, bool& abs) {
  abs = i < t.size() && t[i] == '$';
  if (abs) ++i;
  std::size_t s = i;
  while (i < t.size() && IsAsciiLetter(t[i]) && i - s < 3) ++i;
  if (i == s) return std::string_view::npos;
  col = ColumnNumber(t.substr(s, i - s));
  return i;
}

// $?DIGITS{1,7}: row; returns the end or npos.
std::size_t MatchRow(std::string_view t, std::size_t i, int& row, bool& abs) {
  abs = i < t.size() && t[i] == '$';
  if (abs) ++i;
  std::size_t s = i;
  long value = 0;
  while (i < t.size() && IsDigit(t[i]) && i - s < 7) value = value * 10 + (t[i++] - '0');
  if (i == s) return std::string_view::npos;
  row = static_cast<int>(value);
  return i;
}

std::size_t MatchCell(std::string_view t, std::size_t i, CellRef& cell) {
  std::size_t j = MatchColumn(t, i, cell.col, cell.colAbsolute);
  if (j == std::string_view::npos) return j;
  return MatchRow(t, j, cell.row, cell.rowAbsolute);
}

bool RowOk(int row) { return row >= 1 && row <= kMaxRow; }
bool ColOk(int col) { return col >= 1 && col <= kMaxColumn; }

// The body after any sheet prefix: cell, area, whole columns or whole rows.
// The first form that matches wins, as in a left-to-right scanner.
std::optional<std::size_t> MatchBody(std::string_view t, std::size_t i, AreaRef& area) {
  constexpr auto npos = std::string_view::npos;
  area = AreaRef{};
  std::size_t end = npos;
  CellRef a;
  if (std::size_t j = MatchCell(t, i, a); j != npos) {
    area.kind = AreaRef::Kind::Cell;
    area.first = area.last = a;
    end = j;
    CellRef b;
    if (j < t.size() && t[j] == ':') {
      if (std::size_t k = MatchCell(t, j + 1, b); k != npos) {
        area.kind = AreaRef::Kind::Area;
        area.last = b;
        end = k;
      }
    }
    if (!RowOk(area.first.row) || !ColOk(area.first.col) || !RowOk(area.last.row) || !ColOk(area.last.col))
      return std::nullopt;
  } else if (std::size_t j2 = MatchColumn(t, i, a.col, a.colAbsolute);
             j2 != npos && j2 < t.size() && t[j2] == ':' &&
             MatchColumn(t, j2 + 1, area.last.col, area.last.colAbsolute) != npos) {
    area.kind = AreaRef::Kind::Columns;
    area.first = a;
    end = MatchColumn(t, j2 + 1, area.last.col, area.last.colAbsolute);
    if (!ColOk(area.first.col) || !ColOk(area.last.col)) return std::nullopt;
  } else if (std::size_t j3 = MatchRow(t, i, a.row, a.rowAbsolute);
             j3 != npos && j3 < t.size() && t[j3] == ':' &&
             MatchRow(t, j3 + 1, area.last.row, area.last.rowAbsolute) != npos) {
    area.kind = AreaRef::Kind::Rows;
    area.first = CellRef{a.row, 0, a.rowAbsolute, false};
    end = MatchRow(t, j3 + 1, area.last.row, area.last.rowAbsolute);
    area.last.col = 0;
    if (!RowOk(area.first.row) || !RowOk(area.last.row)) return std::nullopt;
  } else {
    return std::nullopt;
  }
  if (area.kind == AreaRef::Kind::Columns) area.first.row = area.last.row = 0;
  return end;
}

std::string EscapeQuotes(std::string_view name) {
  std::string s;
  for (char ch : name) {
    s += ch;
    if (ch == '\'') s += '\'';
  }
  return s;
}

bool IsPlainSheetName(std::string_view name) {
  if (name.empty() || IsDigit(name[0]) || name[0] == '.') return false;
  for (char ch : name)
    if (!IsSheetWordChar(ch)) return false;
  // A name that reads as a cell or a boolean would be misread unquoted.
  Reference probe;
  std::string tail = std::string(name);
  if (MatchReference(tail, 0, probe) == tail.size()) return false;
  std::string upper;
  for (char ch : name) upper += Upper(ch);
  return upper != "TRUE" && upper != "FALSE";
}

}  // namespace

bool IsFormulaWordChar(char ch) {
  return IsSheetWordChar(ch) || ch == '\\' || ch == '?' || ch == '$';
}

int ColumnNumber(std::string_view letters) {
  if (letters.empty() || letters.size() > 3) return 0;
  int n = 0;
  for (char ch : letters) {
    if (!IsAsciiLetter(ch)) return 0;
    n = n * 26 + (Upper(ch) - 'A' + 1);
  }
  return n <= kMaxColumn ? n : 0;
}

std::string ColumnLetters(int column) {
  if (column < 1 || column > kMaxColumn) return {};
  std::string s;
  while (column > 0) {
    int r = (column - 1) % 26;
    s.insert(s.begin(), static_cast<char>('A' + r));
    column = (column - 1) / 26;
  }
  return s;
}

int AreaRef::Top() const {
  if (kind == Kind::Columns) return 1;
  return first.row < last.row ? first.row : last.row;
}
int AreaRef::Bottom() const {
  if (kind == Kind::Columns) return kMaxRow;
  return first.row > last.row ? first.row : last.row;
}
int AreaRef::Left() const {
  if (kind == Kind::Rows) return 1;
  return first.col < last.col ? first.col : last.col;
}
int AreaRef::Right() const {
  if (kind == Kind::Rows) return kMaxColumn;
  return first.col > last.col ? first.col : last.col;
}

std::optional<std::size_t> MatchReference(std::string_view text, std::size_t pos, Reference& out) {
  const std::size_t n = text.size();
  std::size_t j = pos;
  out = Reference{};
  if (j >= n) return std::nullopt;
  if (text[j] == '[') {
    std::size_t k = BracketEnd(text, j);
    if (k < n && (text[k] == '\'' || IsFormulaWordChar(text[k]))) {
      out.external = true;
      j = k;
    } else {
      return std::nullopt;
    }
  }
  if (j < n && text[j] == '\'') {
    std::size_t k = QuoteEnd(text, j);
    if (k >= n || text[k] != '!' || k < j + 2) return std::nullopt;
    std::string inner = Unquote(text.substr(j + 1, k - j - 2));
    if (!inner.empty() && inner[0] == '[') {
      if (auto close = inner.find(']'); close != std::string::npos) {
        out.external = true;
        inner = inner.substr(close + 1);
      }
    }
    if (auto colon = inner.find(':'); colon != std::string::npos) {
      out.threeD = true;
      out.lastSheet = inner.substr(colon + 1);
      inner = inner.substr(0, colon);
    }
    out.sheet = inner;
    j = k + 1;
  } else {
    std::size_t e = SheetWordEnd(text, j);
    if (e > j && e < n && text[e] == '!') {
      out.sheet = std::string(text.substr(j, e - j));
      j = e + 1;
    } else if (e > j && e < n && text[e] == ':') {
      std::size_t e2 = SheetWordEnd(text, e + 1);
      if (e2 > e + 1 && e2 < n && text[e2] == '!') {
        out.sheet = std::string(text.substr(j, e - j));
        out.lastSheet = std::string(text.substr(e + 1, e2 - e - 1));
        out.threeD = true;
        j = e2 + 1;
      }
    }
    if (out.external && !out.sheet) return std::nullopt;
  }
  std::optional<std::size_t> end;
  if (out.sheet && n - j >= 5) {
    std::string head;
    for (std::size_t k = j; k < j + 5; ++k) head += Upper(text[k]);
    if (head == "#REF!") {
      out.area = AreaRef{AreaRef::Kind::Error, {}, {}};
      end = j + 5;
    }
  }
  if (!end) end = MatchBody(text, j, out.area);
  if (!end) return std::nullopt;
  // A ':' after a complete cell or area is the range operator applied to
  // something else (A1:INDEX(A:A,5), Sheet1!A1:Sheet1!B2, A1:B2:C3).
  const bool rangeOperatorFollows = *end < n && text[*end] == ':' &&
                                    (out.area.kind == AreaRef::Kind::Cell || out.area.kind == AreaRef::Kind::Area);
  if (!rangeOperatorFollows && !BoundaryOk(text, *end)) return std::nullopt;
  out.prefix = std::string(text.substr(pos, j - pos));
  return end;
}

std::optional<CellRef> ParseCellRef(std::string_view text) {
  auto area = ParseAreaRef(text);
  if (!area || area->kind != AreaRef::Kind::Cell) return std::nullopt;
  return area->first;
}

std::optional<AreaRef> ParseAreaRef(std::string_view text) {
  Reference ref;
  auto end = MatchReference(text, 0, ref);
  if (!end || *end != text.size() || !ref.prefix.empty()) {
    if (SameSheetName(text, "#REF!")) return AreaRef{AreaRef::Kind::Error, {}, {}};
    return std::nullopt;
  }
  return ref.area;
}

std::optional<Reference> ParseReference(std::string_view text) {
  Reference ref;
  auto end = MatchReference(text, 0, ref);
  if (!end || *end != text.size()) return std::nullopt;
  return ref;
}

std::string FormatCellRef(const CellRef& cell) {
  std::string s;
  if (cell.col > 0) {
    if (cell.colAbsolute) s += '$';
    s += ColumnLetters(cell.col);
  }
  if (cell.row > 0) {
    if (cell.rowAbsolute) s += '$';
    s += std::to_string(cell.row);
  }
  return s;
}

std::string FormatAreaRef(const AreaRef& area) {
  switch (area.kind) {
    case AreaRef::Kind::Error:
      return "#REF!";
    case AreaRef::Kind::Cell:
      return FormatCellRef(area.first);
    case AreaRef::Kind::Area:
      return FormatCellRef(area.first) + ":" + FormatCellRef(area.last);
    case AreaRef::Kind::Columns:
      return FormatCellRef({0, area.first.col, false, area.first.colAbsolute}) + ":" +
             FormatCellRef({0, area.last.col, false, area.last.colAbsolute});
    case AreaRef::Kind::Rows:
      return FormatCellRef({area.first.row, 0, area.first.rowAbsolute, false}) + ":" +
             FormatCellRef({area.last.row, 0, area.last.rowAbsolute, false});
  }
  return {};
}

std::string FormatSheetName(std::string_view sheet) {
  if (IsPlainSheetName(sheet)) return std::string(sheet);
  return "'" + EscapeQuotes(sheet) + "'";
}

std::string FormatReference(const Reference& ref) {
  if (!ref.prefix.empty() || !ref.sheet) return ref.prefix + FormatAreaRef(ref.area);
  std::string prefix;
  if (ref.threeD) {
    if (IsPlainSheetName(*ref.sheet) && IsPlainSheetName(ref.lastSheet))
      prefix = *ref.sheet + ":" + ref.lastSheet;
    else
      prefix = "'" + EscapeQuotes(*ref.sheet) + ":" + EscapeQuotes(ref.lastSheet) + "'";
  } else {
    prefix = FormatSheetName(*ref.sheet);
  }
  return prefix + "!" + FormatAreaRef(ref.area);
}

bool SameSheetName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (Upper(a[i]) != Upper(b[i])) return false;
  return true;
}

}  // namespace vemo::wb
