#include "foundation/variant.h"

#include <charconv>

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

#include "foundation/utf8_text.h"

namespace vemo {
namespace {

constexpr int kInvalidUseOfNull = 94;

HostError TypeMismatch(std::string_view what) {
  return HostError(HostError::kTypeMismatch, "Type mismatch: " + std::string(what));
}

// Days from 1970-01-01 to a civil date (proleptic Gregorian).
long long DaysFromCivil(long long y, unsigned m, unsigned d) {
  y -= m <= 2;
  const long long era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<long long>(doe) - 719468;
}

void CivilFromDays(long long z, int& y, int& m, int& d) {
  z += 719468;
  const long long era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  y = static_cast<int>(static_cast<long long>(yoe) + era * 400 + (m <= 2));
}

const long long kHostEpochDays = DaysFromCivil(1899, 12, 30);

// Length of the numeric prefix of `text` from `pos` (sign, digits, one dot,
// exponent); 0 when no digit is found. `allowGroups` accepts "," between
// digits of the integer part.
std::size_t NumericPrefix(std::string_view text, std::size_t pos, bool allowGroups) {
  const std::size_t start = pos;
  if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) ++pos;
  bool digits = false;
  while (pos < text.size() && (std::isdigit(static_cast<unsigned char>(text[pos])) ||
                               (allowGroups && digits && text[pos] == ','))) {
    digits = digits || text[pos] != ',';
    ++pos;
  }
  if (pos < text.size() && text[pos] == '.') {
    ++pos;
    while (pos < text.size() && std::isdigit(static_cast<unsigned char>(text[pos]))) {
      digits = true;
      ++pos;
    }
  }
  if (!digits) return 0;
  if (pos < text.size() && (text[pos] == 'e' || text[pos] == 'E')) {
    std::size_t e = pos + 1;
    if (e < text.size() && (text[e] == '+' || text[e] == '-')) ++e;
    if (e < text.size() && std::isdigit(static_cast<unsigned char>(text[e]))) {
      while (e < text.size() && std::isdigit(static_cast<unsigned char>(text[e]))) ++e;
      pos = e;
    }
  }
  return pos - start;
}

double ParseDecimal(std::string_view digits) {
  std::string clean;
  clean.reserve(digits.size());
  for (char c : digits)
    if (c != ',') clean.push_back(c);
  return std::strtod(clean.c_str(), nullptr);
}

double RoundHalfEven(double x) {
  double r = std::nearbyint(x);  // default rounding mode: to nearest, ties to even
  return r;
}

bool ParseDateText(std::string_view text, HostDate& out) {
  int y = 0, mo = 0, d = 0, h = 0, mi = 0, s = 0;
  std::string t = Trim(text);
  char sep1 = 0, sep2 = 0;
  int consumed = 0;
  if (std::sscanf(t.c_str(), "%4d%c%2d%c%2d%n", &y, &sep1, &mo, &sep2, &d, &consumed) != 5) return false;
  if (sep1 != sep2 || (sep1 != '-' && sep1 != '/')) return false;
  std::string_view rest = std::string_view(t).substr(static_cast<std::size_t>(consumed));
  if (!rest.empty()) {
    std::string time(rest.substr(1));
    if (rest[0] != ' ' && rest[0] != 'T') return false;
    int n = std::sscanf(time.c_str(), "%2d:%2d:%2d", &h, &mi, &s);
    if (n < 2) return false;
  }
  if (mo < 1 || mo > 12 || d < 1 || d > 31 || h > 23 || mi > 59 || s > 59) return false;
  out = HostDate::FromParts(y, mo, d, h, mi, s);
  int cy, cm, cd;
  CivilFromDays(static_cast<long long>(std::floor(out.serial)) + kHostEpochDays, cy, cm, cd);
  return cy == y && cm == mo && cd == d;  // rejects 2026-02-30
}

}  // namespace

HostDate HostDate::FromParts(int year, int month, int day, int hour, int minute, int second) {
  const long long days = DaysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) - kHostEpochDays;
  return HostDate{static_cast<double>(days) + (hour * 3600 + minute * 60 + second) / 86400.0};
}

std::string HostDate::ToText() const {
  const double day = std::floor(serial);
  int y, m, d;
  CivilFromDays(static_cast<long long>(day) + kHostEpochDays, y, m, d);
  const long secs = std::lround((serial - day) * 86400.0);
  char buf[64];
  if (secs == 0) {
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", y, m, d);
  } else {
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02ld:%02ld:%02ld", y, m, d, secs / 3600, secs / 60 % 60, secs % 60);
  }
  return buf;
}

Variant::Variant(std::int64_t i) {
  if (i >= std::numeric_limits<std::int32_t>::min() && i <= std::numeric_limits<std::int32_t>::max()) {
    value_ = static_cast<std::int32_t>(i);
  } else {
    value_ = static_cast<double>(i);
  }
}

Variant Variant::Null() {
  Variant v;
  v.value_ = NullTag{};
  return v;
}

VariantType Variant::Type() const { return static_cast<VariantType>(value_.index()); }

bool Variant::IsNumeric() const {
  switch (Type()) {
    case VariantType::Boolean:
    case VariantType::Integer:
    case VariantType::Double:
    case VariantType::Date:
      return true;
    case VariantType::String: {
      double unused;
      return TryStrictNumber(std::get<std::string>(value_), unused);
    }
    default:
      return false;
  }
}

std::string Variant::ToText() const {
  switch (Type()) {
    case VariantType::Empty:
    case VariantType::Null:  // missing database values read as empty text everywhere
      return {};
    case VariantType::Boolean:
      return std::get<bool>(value_) ? "True" : "False";
    case VariantType::Integer:
      return std::to_string(std::get<std::int32_t>(value_));
    case VariantType::Double:
      return NumberToText(std::get<double>(value_));
    case VariantType::String:
      return std::get<std::string>(value_);
    case VariantType::Date:
      return std::get<HostDate>(value_).ToText();
    case VariantType::Bytes:
      return std::string(std::get<Bytes>(value_).begin(), std::get<Bytes>(value_).end());
    case VariantType::Object:
      throw TypeMismatch("an object has no text");
  }
  return {};
}

double Variant::ToNumber() const {
  switch (Type()) {
    case VariantType::Empty:
      return 0;
    case VariantType::Null:
      throw HostError(kInvalidUseOfNull, "Invalid use of Null");
    case VariantType::Boolean:
      return std::get<bool>(value_) ? -1 : 0;
    case VariantType::Integer:
      return std::get<std::int32_t>(value_);
    case VariantType::Double:
      return std::get<double>(value_);
    case VariantType::String:
      return StrictNumber(std::get<std::string>(value_));
    case VariantType::Date:
      return std::get<HostDate>(value_).serial;
    default:
      throw TypeMismatch("not a number");
  }
}

std::int32_t Variant::ToInt32() const {
  if (Type() == VariantType::Integer) return std::get<std::int32_t>(value_);
  const double rounded = RoundHalfEven(ToNumber());
  if (!(rounded >= std::numeric_limits<std::int32_t>::min() && rounded <= std::numeric_limits<std::int32_t>::max())) {
    throw HostError(HostError::kOverflow, "Overflow");
  }
  return static_cast<std::int32_t>(rounded);
}

bool Variant::ToBool() const {
  if (Type() == VariantType::Boolean) return std::get<bool>(value_);
  if (Type() == VariantType::String) {
    const std::string t = Trim(std::get<std::string>(value_));
    if (EqualsIgnoreCase(t, "True")) return true;
    if (EqualsIgnoreCase(t, "False")) return false;
  }
  return ToNumber() != 0;
}

HostDate Variant::ToDate() const {
  switch (Type()) {
    case VariantType::Date:
      return std::get<HostDate>(value_);
    case VariantType::Integer:
    case VariantType::Double:
      return HostDate{ToNumber()};
    case VariantType::String: {
      HostDate d;
      if (ParseDateText(std::get<std::string>(value_), d)) return d;
      throw TypeMismatch("\"" + std::get<std::string>(value_) + "\" is not a date");
    }
    default:
      throw TypeMismatch("not a date");
  }
}

const Bytes& Variant::ToBytes() const {
  if (Type() != VariantType::Bytes) throw TypeMismatch("not a byte array");
  return std::get<Bytes>(value_);
}

ObjectRef Variant::ToObject() const {
  if (Type() != VariantType::Object) return nullptr;
  return std::get<ObjectRef>(value_);
}

bool Variant::operator==(const Variant& other) const { return value_ == other.value_; }

std::string NumberToText(double value) {
  if (std::isnan(value)) return "NaN";
  if (std::isinf(value)) return value > 0 ? "Infinity" : "-Infinity";
  if (value == 0) return "0";
  // printf's "%.15G", without printf's cost (a bill turns every number of
  // its lines into text).
  char buf[40];
  const auto [end, error] = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, 15);
  std::string text(buf, error == std::errc() ? end : buf);
  for (char& c : text)
    if (c == 'e') c = 'E';
  return text;
}

double LeadingNumber(std::string_view text) {
  std::size_t pos = 0;
  while (pos < text.size() && (text[pos] == ' ' || text[pos] == '\t' || text[pos] == '\r' || text[pos] == '\n')) ++pos;
  const std::size_t len = NumericPrefix(text, pos, false);
  if (len == 0) return 0;
  return ParseDecimal(text.substr(pos, len));
}

bool TryStrictNumber(std::string_view text, double& out) {
  const std::string t = Trim(text);
  if (t.empty()) return false;
  const std::size_t len = NumericPrefix(t, 0, true);
  if (len == 0 || len != t.size()) return false;
  errno = 0;
  out = ParseDecimal(t);
  return errno != ERANGE || std::abs(out) < 1;  // overflow to infinity is no number
}

double StrictNumber(std::string_view text) {
  double out = 0;
  if (!TryStrictNumber(text, out)) throw TypeMismatch("\"" + std::string(text) + "\" is not a number");
  return out;
}

int CompareText(std::string_view a, std::string_view b, bool ignoreCase) {
  if (ignoreCase) {
    const std::string la = ToLowerAscii(a), lb = ToLowerAscii(b);
    return la < lb ? -1 : (la > lb ? 1 : 0);
  }
  return a < b ? -1 : (a > b ? 1 : 0);
}

int CompareNumber(const Variant& a, const Variant& b) {
  const double x = a.ToNumber(), y = b.ToNumber();
  return x < y ? -1 : (x > y ? 1 : 0);
}

}  // namespace vemo
