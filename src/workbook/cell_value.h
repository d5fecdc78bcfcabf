// The value of a cell: empty, a number, text, a boolean or an error code.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <variant>

namespace vemo::wb {

enum class ErrorCode { Null, Div0, Value, Ref, Name, Num, NA, GettingData };

// "#DIV/0!" etc.
constexpr std::string_view ErrorText(ErrorCode code) {
  switch (code) {
    case ErrorCode::Null: return "#NULL!";
    case ErrorCode::Div0: return "#DIV/0!";
    case ErrorCode::Value: return "#VALUE!";
    case ErrorCode::Ref: return "#REF!";
    case ErrorCode::Name: return "#NAME?";
    case ErrorCode::Num: return "#NUM!";
    case ErrorCode::NA: return "#N/A";
    case ErrorCode::GettingData: return "#GETTING_DATA";
  }
  return "#VALUE!";
}

// Reads an error literal (case-insensitive); nullopt for anything else.
inline std::optional<ErrorCode> ParseErrorText(std::string_view text) {
  for (ErrorCode code : {ErrorCode::Null, ErrorCode::Div0, ErrorCode::Value, ErrorCode::Ref, ErrorCode::Name,
                         ErrorCode::Num, ErrorCode::NA, ErrorCode::GettingData}) {
    std::string_view want = ErrorText(code);
    if (want.size() != text.size()) continue;
    bool same = true;
    for (std::size_t i = 0; i < text.size() && same; ++i) {
      char c = text[i];
      if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
      same = c == want[i];
    }
    if (same) return code;
  }
  return std::nullopt;
}

class CellValue {
 public:
  enum class Type { Empty, Number, Text, Boolean, Error };

  CellValue() = default;
  static CellValue Number(double v) { return CellValue(std::in_place_index<1>, v); }
  static CellValue Text(std::string v) { return CellValue(std::in_place_index<2>, std::move(v)); }
  static CellValue Boolean(bool v) { return CellValue(std::in_place_index<3>, v); }
  static CellValue Error(ErrorCode v) { return CellValue(std::in_place_index<4>, v); }

  Type type() const { return static_cast<Type>(value_.index()); }
  bool IsEmpty() const { return type() == Type::Empty; }
  bool IsNumber() const { return type() == Type::Number; }
  bool IsText() const { return type() == Type::Text; }
  bool IsBoolean() const { return type() == Type::Boolean; }
  bool IsError() const { return type() == Type::Error; }

  // Accessors for the held type; calling the wrong one throws std::bad_variant_access.
  double number() const { return std::get<1>(value_); }
  const std::string& text() const { return std::get<2>(value_); }
  bool boolean() const { return std::get<3>(value_); }
  ErrorCode error() const { return std::get<4>(value_); }

  bool operator==(const CellValue&) const = default;

 private:
  using Storage = std::variant<std::monostate, double, std::string, bool, ErrorCode>;
  template <std::size_t index, typename T>
  CellValue(std::in_place_index_t<index> tag, T&& v) : value_(tag, std::forward<T>(v)) {}
  Storage value_;
};

}  // namespace vemo::wb
