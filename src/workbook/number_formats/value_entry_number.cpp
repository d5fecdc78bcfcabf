// Numbers typed as text: sign or parentheses, currency, thousands groups,
// decimals, exponent, percent.
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string>

#include "workbook/number_formats/value_entry_parsers.h"

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
void KeepFifteenDigits(std::string& digits) {
  int significant = 0;
  for (char& c : digits) {
    if (!IsDigit(c)) continue;
    if (significant > 0 || c != '0') ++significant;
    if (significant > 15) c = '0';
  }
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

  // One buffer "<digits>.<fraction>e<exponent>" read by from_chars: a bill
  // writes every number of its lines through here.
  std::string number;
  number.reserve(integer.size() + fraction.size() + 24);
  for (char c : integer) {
    if (c != ',') number.push_back(c);
  }
  if (number.empty()) number = "0";
  number.push_back('.');
  number.append(fraction);
  KeepFifteenDigits(number);
  long exp10 = 0;
  if (!exponent.empty()) {
    std::string_view e = exponent;
    if (e.front() == '+') e.remove_prefix(1);
    if (std::from_chars(e.data(), e.data() + e.size(), exp10).ec != std::errc()) return std::nullopt;
  }
  if (percent) exp10 -= 2;
  number += 'e';
  number += std::to_string(exp10);
  double value = 0;
  const auto read = std::from_chars(number.data(), number.data() + number.size(), value);
  // Out of range: strtod's answer (infinity is refused below; a tiny number becomes 0).
  if (read.ec == std::errc::result_out_of_range) value = std::strtod(number.c_str(), nullptr);
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
