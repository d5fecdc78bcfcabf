// The names the styles part gives to the codes .xls records use for border
// lines, fill patterns and underlines: one table each, so that reading cell
// formats, writing them and the formats inside conditional formats agree.
#pragma once
#include <array>
#include <cstdint>
#include <string_view>

namespace vemo::wb::xls {

// By code: line style 0 and pattern 0 are "none".
inline constexpr std::array<std::string_view, 14> kBorderLineNames{
    "none",          "thin",       "medium",           "dashed",      "dotted",       "thick", "double", "hair",
    "mediumDashed",  "dashDot",    "mediumDashDot",    "dashDotDot",  "mediumDashDotDot", "slantDashDot"};
inline constexpr std::array<std::string_view, 19> kFillPatternNames{
    "none",         "solid",        "mediumGray",      "darkGray",      "lightGray",
    "darkHorizontal", "darkVertical", "darkDown",      "darkUp",        "darkGrid",
    "darkTrellis",  "lightHorizontal", "lightVertical", "lightDown",    "lightUp",
    "lightGrid",    "lightTrellis", "gray125",         "gray0625"};

struct UnderlineName {
  std::uint8_t code;
  std::string_view name;
};
inline constexpr std::array<UnderlineName, 5> kUnderlineNames{
    {{0, "none"}, {1, "single"}, {2, "double"}, {0x21, "singleAccounting"}, {0x22, "doubleAccounting"}}};

// The code of `name` in a table by code, or -1 when it is not there.
template <std::size_t N>
constexpr int CodeOf(const std::array<std::string_view, N>& names, std::string_view name) {
  for (std::size_t i = 0; i < N; ++i)
    if (names[i] == name) return static_cast<int>(i);
  return -1;
}

}  // namespace vemo::wb::xls
