// Type coercions and comparisons of spreadsheet values.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <algorithm>

#include "workbook/formulas/formula_eval_internal.h"

namespace vemo::wb {

std::string GeneralNumberText(double value) {
  if (!std::isfinite(value)) return "#NUM!";
  if (value == 0) return "0";
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.14e", value);  // 15 significant digits
  char* e = std::strchr(buf, 'e');
  int exponent = std::atoi(e + 1);
  if (exponent >= 15 || exponent < -9) {
    std::string mantissa(buf, static_cast<std::size_t>(e - buf));
    if (mantissa.find('.') != std::string::npos) {
      while (mantissa.back() == '0') mantissa.pop_back();
      if (mantissa.back() == '.') mantissa.pop_back();
    }
    char exp[16];
    std::snprintf(exp, sizeof exp, "E%c%02d", exponent < 0 ? '-' : '+', std::abs(exponent));
    return mantissa + exp;
  }
  // Re-read the rounded value so the fixed form shows the same 15 digits.
  double rounded = std::strtod(buf, nullptr);
  std::snprintf(buf, sizeof buf, "%.*f", exponent >= 14 ? 0 : 14 - exponent, rounded);
  std::string s(buf);
  if (s.find('.') != std::string::npos) {
    while (s.back() == '0') s.pop_back();
    if (s.back() == '.') s.pop_back();
  }
  if (s == "-0") s = "0";
  return s;
}

namespace eval {
namespace {

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

// yyyy-mm-dd or yyyy/mm/dd.
std::optional<double> ParseIsoDate(std::string_view s, bool date1904) {
  if (s.size() != 10 || (s[4] != '-' && s[4] != '/') || s[7] != s[4]) return std::nullopt;
  for (int i : {0, 1, 2, 3, 5, 6, 8, 9})
    if (!IsDigit(s[i])) return std::nullopt;
  int y = std::atoi(std::string(s.substr(0, 4)).c_str());
  int m = std::atoi(std::string(s.substr(5, 2)).c_str());
  int d = std::atoi(std::string(s.substr(8, 2)).c_str());
  if (m < 1 || m > 12 || d < 1 || d > 31) return std::nullopt;
  auto serial = DateSerial(y, m, d, date1904);
  if (!serial) return std::nullopt;
  auto back = SerialToDate(*serial, date1904);  // rejects 2023-02-30
  if (!back || back->day != d) return std::nullopt;
  return serial;
}

}  // namespace

std::optional<double> ParseNumberText(std::string_view text, bool date1904) {
  std::string_view s = Trim(text);
  if (s.empty()) return std::nullopt;
  if (auto date = ParseIsoDate(s, date1904)) return date;
  bool percent = false;
  if (s.back() == '%') {
    percent = true;
    s = Trim(s.substr(0, s.size() - 1));
  }
  std::string clean;
  std::size_t i = 0;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) clean += s[i++];
  bool digits = false, point = false;
  for (; i < s.size(); ++i) {
    char c = s[i];
    if (IsDigit(c)) {
      digits = true;
      clean += c;
    } else if (c == ',' && digits && !point && i + 1 < s.size() && IsDigit(s[i + 1])) {
      continue;  // thousands separator
    } else if (c == '.' && !point) {
      point = true;
      clean += c;
    } else {
      break;
    }
  }
  if (!digits) return std::nullopt;
  if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
    std::size_t j = i + 1;
    std::string exp = "e";
    if (j < s.size() && (s[j] == '+' || s[j] == '-')) exp += s[j++];
    std::size_t start = j;
    while (j < s.size() && IsDigit(s[j])) exp += s[j++];
    if (j == start) return std::nullopt;
    clean += exp;
    i = j;
  }
  if (i != s.size()) return std::nullopt;
  double v = std::strtod(clean.c_str(), nullptr);
  if (!std::isfinite(v)) return std::nullopt;
  return percent ? v / 100 : v;
}

CellValue ToNumber(const CellValue& v) {
  switch (v.type()) {
    case CellValue::Type::Empty: return CellValue::Number(0);
    case CellValue::Type::Number: return v;
    case CellValue::Type::Boolean: return CellValue::Number(v.boolean() ? 1 : 0);
    case CellValue::Type::Error: return v;
    case CellValue::Type::Text:
      // Dates typed as text use the 1900 system here; the difference only
      // matters for workbooks in the 1904 system that add text dates.
      if (auto n = ParseNumberText(v.text(), false)) return CellValue::Number(*n);
      return CellValue::Error(ErrorCode::Value);
  }
  return CellValue::Error(ErrorCode::Value);
}

CellValue ToText(const CellValue& v) {
  switch (v.type()) {
    case CellValue::Type::Empty: return CellValue::Text("");
    case CellValue::Type::Number: return CellValue::Text(GeneralNumberText(v.number()));
    case CellValue::Type::Boolean: return CellValue::Text(v.boolean() ? "TRUE" : "FALSE");
    case CellValue::Type::Text:
    case CellValue::Type::Error: return v;
  }
  return v;
}

CellValue ToBoolean(const CellValue& v) {
  switch (v.type()) {
    case CellValue::Type::Empty: return CellValue::Boolean(false);
    case CellValue::Type::Number: return CellValue::Boolean(v.number() != 0);
    case CellValue::Type::Boolean:
    case CellValue::Type::Error: return v;
    case CellValue::Type::Text:
      if (EqualNoCase(v.text(), "TRUE")) return CellValue::Boolean(true);
      if (EqualNoCase(v.text(), "FALSE")) return CellValue::Boolean(false);
      return CellValue::Error(ErrorCode::Value);
  }
  return CellValue::Error(ErrorCode::Value);
}

bool EqualNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (Lower(a[i]) != Lower(b[i])) return false;
  return true;
}

namespace {

int CompareText(std::string_view a, std::string_view b) {
  std::size_t n = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < n; ++i) {
    auto x = static_cast<unsigned char>(Lower(a[i]));
    auto y = static_cast<unsigned char>(Lower(b[i]));
    if (x != y) return x < y ? -1 : 1;
  }
  return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

// Numbers equal to 15 significant digits compare equal (0.1+0.2 = 0.3).
int CompareNumbers(double a, double b) {
  if (a == b) return 0;
  char x[32], y[32];
  std::snprintf(x, sizeof x, "%.14e", a);
  std::snprintf(y, sizeof y, "%.14e", b);
  double ra = std::strtod(x, nullptr), rb = std::strtod(y, nullptr);
  if (ra == rb) return 0;
  return ra < rb ? -1 : 1;
}

int Rank(const CellValue& v) {
  switch (v.type()) {
    case CellValue::Type::Number: return 0;
    case CellValue::Type::Text: return 1;
    case CellValue::Type::Boolean: return 2;
    default: return 3;
  }
}

CellValue EmptyLike(const CellValue& other) {
  switch (other.type()) {
    case CellValue::Type::Text: return CellValue::Text("");
    case CellValue::Type::Boolean: return CellValue::Boolean(false);
    default: return CellValue::Number(0);
  }
}

}  // namespace

int CompareValues(const CellValue& a0, const CellValue& b0) {
  if (a0.IsEmpty() && b0.IsEmpty()) return 0;
  const CellValue a = a0.IsEmpty() ? EmptyLike(b0) : a0;
  const CellValue b = b0.IsEmpty() ? EmptyLike(a0) : b0;
  if (Rank(a) != Rank(b)) return Rank(a) < Rank(b) ? -1 : 1;
  switch (a.type()) {
    case CellValue::Type::Number: return CompareNumbers(a.number(), b.number());
    case CellValue::Type::Text: return CompareText(a.text(), b.text());
    case CellValue::Type::Boolean: return a.boolean() == b.boolean() ? 0 : (a.boolean() ? 1 : -1);
    default: return 0;
  }
}

bool WildcardMatch(std::string_view p, std::string_view t) {
  // Iterative matcher with one backtrack point for the last '*'.
  std::size_t pi = 0, ti = 0, starP = std::string_view::npos, starT = 0;
  while (ti < t.size()) {
    if (pi < p.size() && p[pi] == '*') {
      starP = pi++;
      starT = ti;
      continue;
    }
    if (pi < p.size()) {
      bool escaped = p[pi] == '~' && pi + 1 < p.size() && (p[pi + 1] == '*' || p[pi + 1] == '?' || p[pi + 1] == '~');
      char pc = escaped ? p[pi + 1] : p[pi];
      if ((!escaped && pc == '?') || Lower(pc) == Lower(t[ti])) {
        // '?' stands for one character; skip UTF-8 continuation bytes with it.
        if (!escaped && pc == '?')
          while (ti + 1 < t.size() && (static_cast<unsigned char>(t[ti + 1]) & 0xC0) == 0x80) ++ti;
        pi += escaped ? 2 : 1;
        ++ti;
        continue;
      }
    }
    if (starP == std::string_view::npos) return false;
    pi = starP + 1;
    ti = ++starT;
  }
  while (pi < p.size() && p[pi] == '*') ++pi;
  return pi == p.size();
}

}  // namespace eval
}  // namespace vemo::wb
