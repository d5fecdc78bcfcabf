// What the formula decoder and encoder share: token numbers, the function
// table, error codes and the two string encodings of BIFF8.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vemo::wb::xls::ptg {

// Tokens without a class.
inline constexpr uint8_t kExp = 0x01, kTbl = 0x02, kAdd = 0x03, kSub = 0x04, kMul = 0x05,
                         kDiv = 0x06, kPower = 0x07, kConcat = 0x08, kLt = 0x09, kLe = 0x0A,
                         kEq = 0x0B, kGe = 0x0C, kGt = 0x0D, kNe = 0x0E, kIsect = 0x0F,
                         kUnion = 0x10, kRange = 0x11, kUplus = 0x12, kUminus = 0x13,
                         kPercent = 0x14, kParen = 0x15, kMissArg = 0x16, kStr = 0x17,
                         kAttr = 0x19, kErr = 0x1C, kBool = 0x1D, kInt = 0x1E, kNum = 0x1F;
// Classed tokens, reference-class numbers; value class adds 0x20, array 0x40.
inline constexpr uint8_t kArray = 0x20, kFunc = 0x21, kFuncVar = 0x22, kName = 0x23, kRef = 0x24,
                         kArea = 0x25, kMemArea = 0x26, kMemErr = 0x27, kMemNoMem = 0x28,
                         kMemFunc = 0x29, kRefErr = 0x2A, kAreaErr = 0x2B, kRefN = 0x2C,
                         kAreaN = 0x2D, kNameX = 0x39, kRef3d = 0x3A, kArea3d = 0x3B,
                         kRefErr3d = 0x3C, kAreaErr3d = 0x3D;
// ptgAttr kinds (bits of its first byte).
inline constexpr uint8_t kAttrVolatile = 0x01, kAttrIf = 0x02, kAttrChoose = 0x04,
                         kAttrSkip = 0x08, kAttrSum = 0x10, kAttrSpace = 0x40;

// Token classes as added to the reference-class number.
enum class Class : uint8_t { Ref = 0x00, Value = 0x20, Array = 0x40 };

// BIFF8 sheets: 65536 rows, 256 columns.
inline constexpr int kRows = 65536;
inline constexpr int kColumns = 256;

// Function number 255 calls the function named by its first argument
// (add-in functions, functions newer than the format).
inline constexpr uint16_t kExternalFunction = 255;

}  // namespace vemo::wb::xls::ptg

namespace vemo::wb::xls {

struct FunctionInfo {
  uint16_t index;
  std::string_view name;
  uint8_t minArgs;
  uint8_t maxArgs;
  char result;              // 'V' value, 'R' reference, 'A' array
  std::string_view params;  // class of each argument ('V', 'R', 'A'); the last repeats
  bool isVolatile = false;

  char ParamClass(std::size_t arg) const {
    if (params.empty()) return 'V';
    return params[arg < params.size() ? arg : params.size() - 1];
  }
  bool FixedArgs() const { return minArgs == maxArgs; }
};

const FunctionInfo* FunctionByIndex(uint16_t index);
// Upper-case or mixed-case name without any "_xlfn." prefix.
const FunctionInfo* FunctionByName(std::string_view name);

// ASCII letters compared without case (names of functions and defined names).
bool SameTextNoCase(std::string_view a, std::string_view b);

// "#DIV/0!" <-> 0x07; nullopt for texts and codes BIFF8 does not have.
std::optional<uint8_t> ErrorCodeOf(std::string_view text);
std::string_view ErrorTextOf(uint8_t code);

// UTF-16LE (or 8-bit Latin-1 when !wide) characters to UTF-8.
std::string Utf8FromBiff(const uint8_t* chars, std::size_t count, bool wide);
// UTF-8 to UTF-16 code units; invalid bytes become U+FFFD.
std::u16string Utf16FromUtf8(std::string_view text);

}  // namespace vemo::wb::xls
