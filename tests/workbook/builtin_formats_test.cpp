#include "workbook/number_formats/builtin_formats.h"

#include <gtest/gtest.h>

#include <optional>

#include "workbook/number_format.h"

namespace vemo::wb {
namespace {

TEST(BuiltinFormats, ChineseLocaleCodesDisplayAsTheSurfaceShowsThem) {
  struct Case {
    int id;
    double value;
    const char* expected;
  };
  const Case cases[] = {
      {0, 1234.5, "1234.5"},          {1, 1234.5, "1235"},
      {2, 1234.5, "1234.50"},         {3, 1234.5, "1,235"},
      {4, 1234.5, "1,234.50"},        {5, -1234.5, "¥-1,235"},
      {7, 1234.5, "¥1,234.50"},       {9, 0.125, "13%"},
      {10, 0.125, "12.50%"},          {11, 12345, "1.23E+04"},
      {12, 1.5, "1 1/2"},             {14, 46357, "2026/12/1"},
      {20, 46357.573032407, "13:45"}, {22, 46357.573032407, "2026/12/1 13:45"},
      {27, 46357, "2026年12月"},      {28, 46357, "12月1日"},
      {31, 46357, "2026年12月1日"},   {32, 46357.573032407, "13时45分"},
      {33, 46357.573032407, "13时45分10秒"},
      {34, 46357.573032407, "下午1时45分"},
      {41, -1234, " -1,234 "},        {43, 0, " -   "},
      {44, 1234.5, " ¥1,234.50 "},    {46, 1.25, "30:00:00"},
      {47, 0.0006, "00:51.8"},        {48, 12345, "12.3E+3"},
      {49, 12, "12"},                 {55, 0.375, "上午9时00分"},
      {57, 46357, "2026年12月"},      {58, 46357, "12月1日"},
  };
  for (const Case& c : cases) {
    const auto code = BuiltinFormatCode(c.id);
    ASSERT_TRUE(code.has_value()) << "id " << c.id;
    EXPECT_EQ(FormatNumber(c.value, *code), c.expected) << "id " << c.id << " code " << *code;
  }
}

TEST(BuiltinFormats, UnknownIdsHaveNoCode) {
  EXPECT_FALSE(BuiltinFormatCode(23).has_value());
  EXPECT_FALSE(BuiltinFormatCode(59).has_value());
  EXPECT_FALSE(BuiltinFormatCode(164).has_value());
  EXPECT_FALSE(BuiltinFormatCode(-1).has_value());
}

TEST(BuiltinFormats, CodesMapBackToTheirFirstId) {
  const std::pair<const char*, std::optional<int>> cases[] = {
      {"General", 0}, {"G/通用格式", 0}, {"0.00", 2}, {"yyyy/m/d", 14}, {"m\"月\"d\"日\"", 28},
      {"yyyy\"年\"m\"月\"d\"日\"", 31}, {"@", 49}, {"0.000", std::nullopt},
  };
  for (const auto& [code, id] : cases) EXPECT_EQ(BuiltinFormatId(code), id) << code;
  for (int id = 0; id < 164; ++id) {
    if (const auto code = BuiltinFormatCode(id)) {
      const auto back = BuiltinFormatId(*code);
      ASSERT_TRUE(back.has_value()) << *code;
      EXPECT_EQ(*BuiltinFormatCode(*back), *code);
    }
  }
}

TEST(BuiltinFormats, OnlyGeneralHasALocalName) {
  const std::pair<const char*, const char*> local[] = {
      {"General", "G/通用格式"}, {"general", "G/通用格式"}, {"0.00", "0.00"}, {"\"General\"0", "\"General\"0"}};
  for (const auto& [code, name] : local) EXPECT_EQ(LocalFormatName(code), name) << code;
  for (const char* code : {"General", "yyyy\"年\"m\"月\"d\"日\""}) EXPECT_EQ(CodeFromLocalName(code), code);
  EXPECT_EQ(CodeFromLocalName("G/通用格式"), "General");
}

}  // namespace
}  // namespace vemo::wb
