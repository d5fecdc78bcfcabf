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
#include <cstring>
#include <new>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>
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

// 24 bytes: a request of 100,000 bill lines holds 1.8 million of these.
// Text up to 22 bytes is held inline; longer text and byte arrays live in an
// immutable heap block shared between copies (atomic count: values cross
// threads); an object is its shared_ptr, held inline.
class Variant {
 public:
  Variant() = default;
  Variant(bool b) : kind_(Kind::Boolean) { Put(b); }
  Variant(int i) : kind_(Kind::Integer) { Put(static_cast<std::int32_t>(i)); }
  Variant(std::int64_t i);  // Integer when it fits in 32 bits, Double otherwise
  Variant(double d) : kind_(Kind::Double) { Put(d); }
  Variant(const std::string& s) { SetText(s); }
  Variant(std::string_view s) { SetText(s); }
  Variant(const char* s) { SetText(s); }
  Variant(HostDate d) : kind_(Kind::Date) { Put(d.serial); }
  Variant(Bytes b);
  Variant(ObjectRef o) : kind_(Kind::Object) { new (raw_) ObjectRef(std::move(o)); }
  template <class T, class = std::enable_if_t<std::is_base_of_v<HostObject, T>>>
  Variant(std::shared_ptr<T> o) : Variant(ObjectRef(std::move(o))) {}

  Variant(const Variant& other) { CopyFrom(other); }
  // A moved-from value holding text, bytes or an object is left Empty.
  Variant(Variant&& other) noexcept { StealFrom(other); }
  Variant& operator=(const Variant& other) {
    if (this != &other) {
      Variant copy(other);
      Release();
      StealFrom(copy);
    }
    return *this;
  }
  Variant& operator=(Variant&& other) noexcept {
    if (this != &other) {
      Release();
      StealFrom(other);
    }
    return *this;
  }
  ~Variant() { Release(); }

  static Variant Null();

  VariantType Type() const;
  bool IsEmpty() const { return kind_ == Kind::Empty; }
  bool IsNull() const { return kind_ == Kind::Null; }
  bool IsObject() const { return kind_ == Kind::Object; }
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
  // Kinds from LongText on own something that copies and destruction must
  // look after; the ones before are plain bytes.
  enum class Kind : std::uint8_t { Empty, Null, Boolean, Integer, Double, Date, ShortText, LongText, Bytes, Object };
  struct TextBlock;
  struct BytesBlock;
  static constexpr std::size_t kInlineText = 22;

  template <class T>
  void Put(T value) {
    static_assert(sizeof(T) <= kInlineText && std::is_trivially_copyable_v<T>);
    std::memcpy(raw_, &value, sizeof(T));
  }
  template <class T>
  T Get() const {
    T value;
    std::memcpy(&value, raw_, sizeof(T));
    return value;
  }
  const ObjectRef& Object() const { return *std::launder(reinterpret_cast<const ObjectRef*>(raw_)); }
  std::string_view Text() const;  // ShortText and LongText only
  void SetText(std::string_view text);
  void CopyFrom(const Variant& other);
  void StealFrom(Variant& other) noexcept {
    if (other.kind_ == Kind::Object) {
      new (raw_) ObjectRef(std::move(const_cast<ObjectRef&>(other.Object())));
      other.Object().~ObjectRef();
    } else {
      std::memcpy(raw_, other.raw_, sizeof raw_);
    }
    textSize_ = other.textSize_;
    kind_ = other.kind_;
    if (kind_ >= Kind::LongText) other.kind_ = Kind::Empty;
  }
  void Release() noexcept {
    if (kind_ >= Kind::LongText) ReleaseOwned();
  }
  void ReleaseOwned() noexcept;

  alignas(8) unsigned char raw_[kInlineText] = {};
  std::uint8_t textSize_ = 0;  // length of ShortText
  Kind kind_ = Kind::Empty;
};
static_assert(sizeof(Variant) == 24, "Variant must stay 24 bytes: bills hold millions of them");

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
