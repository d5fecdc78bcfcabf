// Variant: the one value type of the host's automation layer. Every value the
// host hands over (bill values, settings, record-set fields, component
// answers) is one of these, and every conversion the system relies on lives
// here, so "text of a number" or "number of a text" means one thing
// everywhere:
//   ToText()    text of a value; numbers in the default number-to-text form
//               (15 significant digits, "1E+15", "1E-05", "-0.25", "100")
//   LeadingNumber(text)  the leading-number rule: ".5" -> 0.5, "12abc" -> 12,
//               "abc" -> 0, " -3e2x" -> -300
//   ToNumber()  strict: numeric text converts, other text raises "Type mismatch"
//   ToInt32()   ToNumber rounded half to even; outside 32 bits raises "Overflow"
//   ToBool()    numbers: non-zero is True; text "True"/"False" or numeric text
//   Booleans become numbers as True = -1, False = 0.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "foundation/host_error.h"
#include "foundation/host_object.h"

namespace vemo {

using Bytes = std::vector<std::uint8_t>;

// A point in time as the host stores it: days since 1899-12-30, the fraction
// being the time of day.
struct HostDate {
  double serial = 0;
  static HostDate FromParts(int year, int month, int day, int hour = 0, int minute = 0, int second = 0);
  // Text "yyyy-mm-dd" (or "yyyy-mm-dd hh:mm:ss" when there is a time of day).
  std::string ToText() const;
  bool operator==(const HostDate&) const = default;
};

enum class VariantType { Empty, Null, Boolean, Integer, Double, String, Date, Bytes, Object };

class Variant {
 public:
  Variant() = default;
  Variant(bool b) : value_(b) {}
  Variant(int i) : value_(static_cast<std::int32_t>(i)) {}
  Variant(std::int64_t i);  // Integer when it fits in 32 bits, Double otherwise
  Variant(double d) : value_(d) {}
  Variant(std::string s) : value_(std::move(s)) {}
  Variant(std::string_view s) : value_(std::string(s)) {}
  Variant(const char* s) : value_(std::string(s)) {}
  Variant(HostDate d) : value_(d) {}
  Variant(Bytes b) : value_(std::move(b)) {}
  Variant(ObjectRef o) : value_(std::move(o)) {}
  template <class T, class = std::enable_if_t<std::is_base_of_v<HostObject, T>>>
  Variant(std::shared_ptr<T> o) : value_(ObjectRef(std::move(o))) {}

  static Variant Null();

  VariantType Type() const;
  bool IsEmpty() const { return Type() == VariantType::Empty; }
  bool IsNull() const { return Type() == VariantType::Null; }
  bool IsObject() const { return Type() == VariantType::Object; }
  // True for Integer, Double, Boolean and Date, and for text that converts
  // strictly to a number.
  bool IsNumeric() const;

  std::string ToText() const;
  double ToNumber() const;
  std::int32_t ToInt32() const;
  bool ToBool() const;
  HostDate ToDate() const;
  const Bytes& ToBytes() const;
  ObjectRef ToObject() const;  // nullptr unless an Object

  // The object as interface T, or nullptr when the value is no such object.
  template <class T>
  std::shared_ptr<T> AsObject() const {
    return std::dynamic_pointer_cast<T>(ToObject());
  }

  // Equality of kind and content (objects by identity).
  bool operator==(const Variant& other) const;

 private:
  struct NullTag {
    bool operator==(const NullTag&) const = default;
  };
  std::variant<std::monostate, NullTag, bool, std::int32_t, double, std::string, HostDate, Bytes, ObjectRef> value_;
};

// The default number-to-text form: 15 significant digits, no trailing zeros,
// scientific ("1E+15", "1.5E-07") outside 1E-05 <= |x| < 1E+15.
std::string NumberToText(double value);
// The leading-number rule: the longest numeric prefix after leading blanks
// (sign, digits, one ".", exponent); 0 when there is none.
double LeadingNumber(std::string_view text);
// Strict: the whole text (blanks around allowed) is a number; raises HostError
// "Type mismatch" otherwise.
double StrictNumber(std::string_view text);
bool TryStrictNumber(std::string_view text, double& out);

// Comparison as text (byte-wise, optionally ignoring ASCII case) and as number.
int CompareText(std::string_view a, std::string_view b, bool ignoreCase = false);
int CompareNumber(const Variant& a, const Variant& b);

}  // namespace vemo
