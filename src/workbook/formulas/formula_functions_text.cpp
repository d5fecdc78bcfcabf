// Text functions. Lengths and positions count characters, not UTF-8 bytes.
#include <cmath>
#include <vector>

#include "workbook/formulas/formula_eval_internal.h"

namespace vemo::wb::eval {
namespace {

bool IsContinuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

std::size_t CharCount(std::string_view s) {
  std::size_t n = 0;
  for (char c : s) n += IsContinuation(c) ? 0 : 1;
  return n;
}

// Byte offset of character `index` (0-based), or s.size() past the end.
std::size_t ByteOffset(std::string_view s, std::size_t index) {
  std::size_t i = 0;
  while (i < s.size() && index > 0) {
    ++i;
    while (i < s.size() && IsContinuation(s[i])) ++i;
    --index;
  }
  return i;
}

std::string Substring(std::string_view s, std::size_t start, std::size_t count) {
  std::size_t from = ByteOffset(s, start);
  std::size_t to = from + ByteOffset(s.substr(from), count);
  return std::string(s.substr(from, to - from));
}

// A character count argument: negative is #VALUE!, fractions are truncated.
std::optional<std::size_t> Count(FunctionCall& call, std::size_t i, double fallback, std::optional<ErrorCode>& error) {
  double n = i >= call.Count() ? fallback : call.Number(i, error);
  if (error) return std::nullopt;
  if (n < 0) {
    error = ErrorCode::Value;
    return std::nullopt;
  }
  return static_cast<std::size_t>(std::min(std::trunc(n), 1e9));
}

Value Left(FunctionCall& call) {
  std::optional<ErrorCode> error;
  std::string s = call.Text(0, error);
  auto n = Count(call, 1, 1, error);
  if (error) return Value::Error(*error);
  return Value::Text(Substring(s, 0, *n));
}

Value Right(FunctionCall& call) {
  std::optional<ErrorCode> error;
  std::string s = call.Text(0, error);
  auto n = Count(call, 1, 1, error);
  if (error) return Value::Error(*error);
  std::size_t len = CharCount(s);
  std::size_t take = std::min(*n, len);
  return Value::Text(Substring(s, len - take, take));
}

Value Mid(FunctionCall& call) {
  std::optional<ErrorCode> error;
  std::string s = call.Text(0, error);
  double start = call.Number(1, error);
  auto n = Count(call, 2, 0, error);
  if (error) return Value::Error(*error);
  if (start < 1) return Value::Error(ErrorCode::Value);
  return Value::Text(Substring(s, static_cast<std::size_t>(std::min(std::trunc(start), 1e9)) - 1, *n));
}

Value Len(FunctionCall& call) {
  std::optional<ErrorCode> error;
  std::string s = call.Text(0, error);
  if (error) return Value::Error(*error);
  return Value::Number(static_cast<double>(CharCount(s)));
}

// Removes leading and trailing spaces and shortens inner runs to one space.
Value Trim(FunctionCall& call) {
  std::optional<ErrorCode> error;
  std::string s = call.Text(0, error);
  if (error) return Value::Error(*error);
  std::string out;
  for (char c : s) {
    if (c == ' ' && (out.empty() || out.back() == ' ')) continue;
    out += c;
  }
  if (!out.empty() && out.back() == ' ') out.pop_back();
  return Value::Text(out);
}

// The characters of a text, one view each.
std::vector<std::string_view> Characters(std::string_view s) {
  std::vector<std::string_view> out;
  for (std::size_t i = 0; i < s.size();) {
    std::size_t next = i + 1;
    while (next < s.size() && IsContinuation(s[next])) ++next;
    out.push_back(s.substr(i, next - i));
    i = next;
  }
  return out;
}

bool SameCharacter(std::string_view a, std::string_view b, bool ignoreCase) {
  if (!ignoreCase || a.size() != 1 || b.size() != 1) return a == b;
  const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
  return lower(a[0]) == lower(b[0]);
}

// Whether SEARCH's pattern (? one character, * any run, ~ takes the next
// literally) matches text[at..] up to some end.
bool PatternMatchesFrom(const std::vector<std::string_view>& pattern, std::size_t p,
                        const std::vector<std::string_view>& text, std::size_t at) {
  for (; p < pattern.size(); ++p, ++at) {
    if (pattern[p] == "*") {
      for (std::size_t from = at; from <= text.size(); ++from)
        if (PatternMatchesFrom(pattern, p + 1, text, from)) return true;
      return false;
    }
    const bool escaped = pattern[p] == "~" && p + 1 < pattern.size();
    if (escaped) ++p;
    if (at >= text.size()) return false;
    if (!escaped && pattern[p] == "?") continue;
    if (!SameCharacter(pattern[p], text[at], true)) return false;
  }
  return true;
}

// FIND(text, within, [start]) and SEARCH: the position of the first match at
// or after character `start` (1-based), #VALUE! when there is none. FIND is
// exact; SEARCH ignores case and reads wildcards.
template <bool search>
Value Find(FunctionCall& call) {
  std::optional<ErrorCode> error;
  const std::string wanted = call.Text(0, error);
  const std::string within = call.Text(1, error);
  const double start = call.Count() > 2 ? call.Number(2, error) : 1;
  if (error) return Value::Error(*error);
  const std::vector<std::string_view> pattern = Characters(wanted), text = Characters(within);
  if (start < 1 || start > static_cast<double>(text.size()) + 1) return Value::Error(ErrorCode::Value);
  for (std::size_t at = static_cast<std::size_t>(start) - 1; at + (search ? 0 : pattern.size()) <= text.size(); ++at) {
    bool found = true;
    if (search) {
      found = PatternMatchesFrom(pattern, 0, text, at);
    } else {
      for (std::size_t k = 0; k < pattern.size() && found; ++k) found = pattern[k] == text[at + k];
    }
    if (found) return Value::Number(static_cast<double>(at + 1));
  }
  return Value::Error(ErrorCode::Value);
}

Value Concatenate(FunctionCall& call) {
  std::optional<ErrorCode> error;
  std::string out;
  for (std::size_t i = 0; i < call.Count(); ++i) out += call.Text(i, error);
  if (error) return Value::Error(*error);
  return Value::Text(out);
}

// CONCAT also joins every cell of a range.
Value Concat(FunctionCall& call) {
  std::optional<ErrorCode> error;
  std::string out;
  for (std::size_t i = 0; i < call.Count() && !error; ++i) {
    if (call.IsMissing(i)) continue;
    call.evaluator().ForEach(call.Arg(i), [&](const CellValue& v, bool) {
      CellValue t = ToText(v);
      if (t.IsError()) {
        error = t.error();
        return false;
      }
      call.evaluator().ChargeMemory(0, t.text().size());
      out += t.text();
      return true;
    });
  }
  if (error) return Value::Error(*error);
  return Value::Text(out);
}

template <bool upper>
Value ChangeCase(FunctionCall& call) {
  std::optional<ErrorCode> error;
  std::string s = call.Text(0, error);
  if (error) return Value::Error(*error);
  for (char& c : s) {
    if (upper && c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if (!upper && c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return Value::Text(s);
}

// TEXT(value, format): numbers (and text that reads as a number) go through
// the number formatter; other text comes back unchanged.
Value Text(FunctionCall& call) {
  CellValue v = call.Scalar(0);
  std::optional<ErrorCode> error;
  std::string format = call.Text(1, error);
  if (v.IsError()) return Value::Of(v);
  if (error) return Value::Error(*error);
  if (v.IsBoolean()) return Value::Text(v.boolean() ? "TRUE" : "FALSE");
  CellValue n = ToNumber(v);
  if (n.IsError()) return Value::Of(ToText(v));
  return Value::Text(FormatForText(call.evaluator(), n.number(), format));
}

Value ValueFn(FunctionCall& call) {
  CellValue v = call.Scalar(0);
  if (v.IsError()) return Value::Of(v);
  if (v.IsBoolean()) return Value::Error(ErrorCode::Value);
  if (v.IsText()) {
    auto n = ParseNumberText(v.text(), call.evaluator().context().Date1904());
    if (!n) return Value::Error(ErrorCode::Value);
    return Value::Number(*n);
  }
  return Value::Of(ToNumber(v));
}

}  // namespace

void AddTextFunctions(FunctionTable& table) {
  table.push_back({"LEFT", {1, 2, Left, ArgMode::Scalar}});
  table.push_back({"RIGHT", {1, 2, Right, ArgMode::Scalar}});
  table.push_back({"MID", {3, 3, Mid, ArgMode::Scalar}});
  table.push_back({"LEN", {1, 1, Len, ArgMode::Scalar}});
  table.push_back({"TRIM", {1, 1, Trim, ArgMode::Scalar}});
  table.push_back({"FIND", {2, 3, Find<false>, ArgMode::Scalar}});
  table.push_back({"SEARCH", {2, 3, Find<true>, ArgMode::Scalar}});
  table.push_back({"CONCATENATE", {1, -1, Concatenate, ArgMode::Scalar}});
  table.push_back({"CONCAT", {1, -1, Concat}});
  table.push_back({"UPPER", {1, 1, ChangeCase<true>, ArgMode::Scalar}});
  table.push_back({"LOWER", {1, 1, ChangeCase<false>, ArgMode::Scalar}});
  table.push_back({"TEXT", {2, 2, Text, ArgMode::Scalar}});
  table.push_back({"VALUE", {1, 1, ValueFn, ArgMode::Scalar}});
}

}  // namespace vemo::wb::eval
