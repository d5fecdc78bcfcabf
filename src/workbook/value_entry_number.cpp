// Numbers typed as text: sign or parentheses, currency, thousands groups,
// decimals, exponent, percent.
#include <cmath>
#include <cstdlib>
#include <string>

#include "workbook/value_entry_parsers.h"

namespace vemo::wb::entry {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Consumes a leading currency symbol; answers it or "".
std::string_view TakeCurrency(std::string_view& s) {
  for (std::string_view symbol : {std::string_view("¥"), std::string_view("￥"), std::string_view("$")}) {
    if (s.substr(0, symbol.size()) == symbol) {
      s.remove_prefix(symbol.size());
      return symbol;
    }
  }
  return {};
}

bool TakeSign(std::string_view& s, bool& negative) {
  if (s.empty() || (s.front() != '+' && s.front() != '-')) return false;
  negative = s.front() == '-';
  s.remove_prefix(1);
  return true;
}

// "1,234,567": first group 1-3 digits, the others exactly 3.
bool ValidGroups(std::string_view integer) {
  size_t start = 0;
  bool first = true;
  while (true) {
    const size_t comma = integer.find(',', start);
    const size_t len = (comma == std::string_view::npos ? integer.size() : comma) - start;
    if (first ? (len < 1 || len > 3) : len != 3) return false;
    if (comma == std::string_view::npos) return true;
    start = comma + 1;
    first = false;
  }
}

// Keeps 15 significant digits; later ones become zeros.
std::string KeepFifteenDigits(const std::string& digits) {
  std::string out = digits;
  int significant = 0;
  for (char& c : out) {
    if (!IsDigit(c)) continue;
    if (significant > 0 || c != '0') ++significant;
    if (significant > 15) c = '0';
  }
  return out;
}

}  // namespace

std::optional<Recognised> RecogniseNumber(std::string_view s) {
  bool negative = false;
  bool parentheses = false;
  if (s.size() >= 2 && s.front() == '(' && s.back() == ')') {
    parentheses = true;
    negative = true;
    s = s.substr(1, s.size() - 2);
  }
  bool signed_ = !parentheses && TakeSign(s, negative);
  const std::string_view currency = TakeCurrency(s);
  if (!parentheses && !signed_ && !currency.empty()) signed_ = TakeSign(s, negative);
  bool percent = false;
  if (!s.empty() && s.back() == '%' && currency.empty()) {
    percent = true;
    s.remove_suffix(1);
  }
  // Mantissa.
  size_t i = 0;
  while (i < s.size() && (IsDigit(s[i]) || s[i] == ',')) ++i;
  const std::string_view integer = s.substr(0, i);
  std::string_view fraction;
  bool point = false;
  if (i < s.size() && s[i] == '.') {
    point = true;
    const size_t start = ++i;
    while (i < s.size() && IsDigit(s[i])) ++i;
    fraction = s.substr(start, i - start);
  }
  if (integer.empty() && fraction.empty()) return std::nullopt;
  const bool grouped = integer.find(',') != std::string_view::npos;
  if (grouped && !ValidGroups(integer)) return std::nullopt;
  if (!integer.empty() && integer.front() == ',') return std::nullopt;
  std::string_view exponent;
  if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
    if (grouped || !currency.empty() || percent) return std::nullopt;
    const size_t start = ++i;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
    const size_t digitsStart = i;
    while (i < s.size() && IsDigit(s[i])) ++i;
    if (i == digitsStart) return std::nullopt;
    exponent = s.substr(start, i - start);
  }
  if (i != s.size()) return std::nullopt;

  std::string digits;
  for (char c : integer) {
    if (c != ',') digits.push_back(c);
  }
  if (digits.empty()) digits = "0";
  std::string number = KeepFifteenDigits(digits + "." + std::string(fraction));
  long exp10 = exponent.empty() ? 0 : std::strtol(std::string(exponent).c_str(), nullptr, 10);
  if (percent) exp10 -= 2;
  number += "e" + std::to_string(exp10);
  double value = std::strtod(number.c_str(), nullptr);
  if (!std::isfinite(value)) return std::nullopt;
  if (negative) value = -value;

  Recognised r;
  r.value = value;
  const bool decimals = point && !fraction.empty();
  if (percent) {
    r.format = decimals ? "0.00%" : "0%";
  } else if (!currency.empty()) {
    const std::string sym = "\"" + std::string(currency) + "\"";
    const std::string body = decimals ? "#,##0.00" : "#,##0";
    r.format = sym + body + ";" + sym + "\\-" + body;
  } else if (!exponent.empty()) {
    r.format = "0.00E+00";
  } else if (grouped) {
    r.format = decimals ? "#,##0.00" : "#,##0";
  }
  return r;
}

}  // namespace vemo::wb::entry
