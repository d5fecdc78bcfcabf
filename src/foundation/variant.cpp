#include "foundation/variant.h"

#include <atomic>
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

// Long text: immutable once made, shared by every copy of the value.
struct Variant::TextBlock {
  std::atomic<std::uint32_t> refs;
  std::size_t size;
  char* Data() { return reinterpret_cast<char*>(this + 1); }

  static TextBlock* Make(std::string_view text) {
    void* memory = ::operator new(sizeof(TextBlock) + text.size());
    auto* block = new (memory) TextBlock{{1}, text.size()};
    std::memcpy(block->Data(), text.data(), text.size());
    return block;
  }
  void Drop() noexcept {
    if (refs.fetch_sub(1, std::memory_order_acq_rel) == 1) {
      this->~TextBlock();
      ::operator delete(this);
    }
  }
};

struct Variant::BytesBlock {
  std::atomic<std::uint32_t> refs;
  Bytes bytes;

  void Drop() noexcept {
    if (refs.fetch_sub(1, std::memory_order_acq_rel) == 1) delete this;
  }
};

Variant::Variant(std::int64_t i) {
  if (i >= std::numeric_limits<std::int32_t>::min() && i <= std::numeric_limits<std::int32_t>::max()) {
    kind_ = Kind::Integer;
    Put(static_cast<std::int32_t>(i));
  } else {
    kind_ = Kind::Double;
    Put(static_cast<double>(i));
  }
}

Variant::Variant(Bytes b) : kind_(Kind::Bytes) { Put(new BytesBlock{{1}, std::move(b)}); }

void Variant::SetText(std::string_view text) {
  if (text.size() <= kInlineText) {
    std::memcpy(raw_, text.data(), text.size());
    textSize_ = static_cast<std::uint8_t>(text.size());
    kind_ = Kind::ShortText;
  } else {
    Put(TextBlock::Make(text));
    kind_ = Kind::LongText;
  }
}

std::string_view Variant::Text() const {
  if (kind_ == Kind::ShortText) return {reinterpret_cast<const char*>(raw_), textSize_};
  TextBlock* block = Get<TextBlock*>();
  return {block->Data(), block->size};
}

void Variant::CopyFrom(const Variant& other) {
  switch (other.kind_) {
    case Kind::LongText:
      other.Get<TextBlock*>()->refs.fetch_add(1, std::memory_order_relaxed);
      break;
    case Kind::Bytes:
      other.Get<BytesBlock*>()->refs.fetch_add(1, std::memory_order_relaxed);
      break;
    case Kind::Object:
      new (raw_) ObjectRef(other.Object());
      kind_ = Kind::Object;
      return;
    default:
      break;
  }
  std::memcpy(raw_, other.raw_, sizeof raw_);
  textSize_ = other.textSize_;
  kind_ = other.kind_;
}

void Variant::ReleaseOwned() noexcept {
  switch (kind_) {
    case Kind::LongText:
      Get<TextBlock*>()->Drop();
      break;
    case Kind::Bytes:
      Get<BytesBlock*>()->Drop();
      break;
    case Kind::Object:
      Object().~ObjectRef();
      break;
    default:
      break;
  }
  kind_ = Kind::Empty;
}

Variant Variant::Null() {
  Variant v;
  v.kind_ = Kind::Null;
  return v;
}

VariantType Variant::Type() const {
  switch (kind_) {
    case Kind::Empty: return VariantType::Empty;
    case Kind::Null: return VariantType::Null;
    case Kind::Boolean: return VariantType::Boolean;
    case Kind::Integer: return VariantType::Integer;
    case Kind::Double: return VariantType::Double;
    case Kind::Date: return VariantType::Date;
    case Kind::ShortText:
    case Kind::LongText: return VariantType::String;
    case Kind::Bytes: return VariantType::Bytes;
    case Kind::Object: return VariantType::Object;
  }
  return VariantType::Empty;
}

bool Variant::IsNumeric() const {
  switch (Type()) {
    case VariantType::Boolean:
    case VariantType::Integer:
    case VariantType::Double:
    case VariantType::Date:
      return true;
    case VariantType::String: {
      double unused;
      return TryStrictNumber(Text(), unused);
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
      return Get<bool>() ? "True" : "False";
    case VariantType::Integer:
      return std::to_string(Get<std::int32_t>());
    case VariantType::Double:
      return NumberToText(Get<double>());
    case VariantType::String:
      return std::string(Text());
    case VariantType::Date:
      return HostDate{Get<double>()}.ToText();
    case VariantType::Bytes: {
      const Bytes& bytes = ToBytes();
      return std::string(bytes.begin(), bytes.end());
    }
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
      return Get<bool>() ? -1 : 0;
    case VariantType::Integer:
      return Get<std::int32_t>();
    case VariantType::Double:
    case VariantType::Date:
      return Get<double>();
    case VariantType::String:
      return StrictNumber(Text());
    default:
      throw TypeMismatch("not a number");
  }
}

std::int32_t Variant::ToInt32() const {
  if (kind_ == Kind::Integer) return Get<std::int32_t>();
  const double rounded = RoundHalfEven(ToNumber());
  if (!(rounded >= std::numeric_limits<std::int32_t>::min() && rounded <= std::numeric_limits<std::int32_t>::max())) {
    throw HostError(HostError::kOverflow, "Overflow");
  }
  return static_cast<std::int32_t>(rounded);
}

bool Variant::ToBool() const {
  if (kind_ == Kind::Boolean) return Get<bool>();
  if (Type() == VariantType::String) {
    const std::string t = Trim(Text());
    if (EqualsIgnoreCase(t, "True")) return true;
    if (EqualsIgnoreCase(t, "False")) return false;
  }
  return ToNumber() != 0;
}

HostDate Variant::ToDate() const {
  switch (Type()) {
    case VariantType::Date:
      return HostDate{Get<double>()};
    case VariantType::Integer:
    case VariantType::Double:
      return HostDate{ToNumber()};
    case VariantType::String: {
      HostDate d;
      if (ParseDateText(Text(), d)) return d;
      throw TypeMismatch("\"" + std::string(Text()) + "\" is not a date");
    }
    default:
      throw TypeMismatch("not a date");
  }
}

const Bytes& Variant::ToBytes() const {
  if (kind_ != Kind::Bytes) throw TypeMismatch("not a byte array");
  return Get<BytesBlock*>()->bytes;
}

ObjectRef Variant::ToObject() const {
  if (kind_ != Kind::Object) return nullptr;
  return Object();
}

bool Variant::operator==(const Variant& other) const {
  if (Type() != other.Type()) return false;
  switch (kind_) {
    case Kind::Empty:
    case Kind::Null:
      return true;
    case Kind::Boolean:
      return Get<bool>() == other.Get<bool>();
    case Kind::Integer:
      return Get<std::int32_t>() == other.Get<std::int32_t>();
    case Kind::Double:
    case Kind::Date:
      return Get<double>() == other.Get<double>();
    case Kind::ShortText:
    case Kind::LongText:
      return Text() == other.Text();
    case Kind::Bytes:
      return ToBytes() == other.ToBytes();
    case Kind::Object:
      return Object() == other.Object();
  }
  return false;
}

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
