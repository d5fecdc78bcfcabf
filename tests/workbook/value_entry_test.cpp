#include "workbook/value_entry.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace vemo::wb {
namespace {

using Kind = EntryResult::Kind;

struct NumberCase {
  const char* text;
  double value;
  const char* suggested;  // nullptr: the cell keeps its format
};

void ExpectNumbers(std::initializer_list<NumberCase> cases) {
  for (const NumberCase& c : cases) {
    const EntryResult r = InterpretEntry(c.text, false, true);
    EXPECT_EQ(r.kind, Kind::Number) << "[" << c.text << "] should be a number";
    EXPECT_DOUBLE_EQ(r.number, c.value) << "[" << c.text << "]";
    EXPECT_EQ(r.suggestedFormat, c.suggested ? std::optional<std::string>(c.suggested) : std::nullopt)
        << "[" << c.text << "]";
  }
}

void ExpectText(std::initializer_list<const char*> texts) {
  for (const char* text : texts) {
    const EntryResult r = InterpretEntry(text, false, true);
    EXPECT_EQ(r.kind, Kind::Text) << "[" << text << "] should stay text";
    EXPECT_EQ(r.text, text);
    EXPECT_FALSE(r.suggestedFormat.has_value());
  }
}

// Empty entries, text cells, a leading apostrophe and formulas; what the
// formula reader refuses is shown as written.
TEST(ValueEntry, EmptyTextCellsApostropheAndFormulas) {
  const struct {
    std::string entry;
    bool textCell;
    Kind kind;
    std::string text;
  } cases[] = {
      {"", false, Kind::Empty, ""},          {"", true, Kind::Empty, ""},     {"007", true, Kind::Text, "007"},
      {"=A1", true, Kind::Text, "=A1"},       {"'2026-12-01", false, Kind::Text, "2026-12-01"},
      {"'", false, Kind::Text, ""},          {"=SUM(A1:A3)", false, Kind::Formula, "SUM(A1:A3)"},
      {"=", false, Kind::Text, "="},         {" =1", false, Kind::Text, " =1"},   {"=1+", false, Kind::Text, "=1+"},
      {"=" + std::string(5000, '('), false, Kind::Text, "=" + std::string(5000, '(')},
  };
  for (const auto& c : cases) {
    const EntryResult r = InterpretEntry(c.entry, c.textCell, !c.textCell);
    EXPECT_EQ(r.kind, c.kind) << "[" << c.entry.substr(0, 12) << "]";
    EXPECT_EQ(r.text, c.text) << "[" << c.entry.substr(0, 12) << "]";
  }
}

// A cell holds 32,767 UTF-16 code units: longer texts are cut there, never
// inside a character, and say how long they were.
TEST(ValueEntry, TextLongerThanACellHoldsIsCut) {
  const std::string emoji = "\xF0\x9F\x98\x80";  // one character, two UTF-16 units
  struct Case {
    std::string text;
    std::size_t keptBytes, cutFrom;
  };
  const Case cases[] = {
      {std::string(32767, 'a'), 32767, 0}, {std::string(40000, 'a'), 32767, 40000},
      {std::string(32766, 'a') + emoji, 32766, 32768}, {std::string(32765, 'a') + emoji + "b", 32765 + 4, 32768},
      {"'" + std::string(32768, 'a'), 32767, 32768},
  };
  for (const Case& c : cases) {
    const EntryResult r = InterpretEntry(c.text, false, true);
    EXPECT_EQ(r.text, c.text.substr(c.text[0] == '\'' ? 1 : 0, c.keptBytes)) << c.text.size();
    EXPECT_EQ(r.cutFrom, c.cutFrom) << c.text.size();
  }
}

TEST(ValueEntry, BooleansInAnyCase) {
  for (const auto& [text, value] : {std::pair{"TRUE", true}, {"true", true}, {"True", true}, {" FALSE ", false}}) {
    const EntryResult r = InterpretEntry(text, false, true);
    EXPECT_EQ(r.kind, Kind::Boolean) << text;
    EXPECT_EQ(r.boolean, value) << text;
  }
  ExpectText({"TRUEX", "是"});
}

TEST(ValueEntry, NumbersDatesAndTimesSuggestTheirFormats) {
  ExpectNumbers({
      // plain numbers
      {"12", 12, nullptr}, {" 12.5 ", 12.5, nullptr}, {"+3", 3, nullptr}, {"-3.25", -3.25, nullptr},
      {"(12)", -12, nullptr}, {".5", 0.5, nullptr}, {"5.", 5, nullptr}, {"007", 7, nullptr}, {"-0", 0, nullptr},
      {"0.1", 0.1, nullptr},
      // separators percent exponent and currency suggest formats
      {"1,234", 1234, "#,##0"}, {"1,234,567.8", 1234567.8, "#,##0.00"}, {"-1,000", -1000, "#,##0"},
      {"12%", 0.12, "0%"}, {"12.5%", 0.125, "0.00%"}, {"-5%", -0.05, "0%"}, {"1e3", 1000, "0.00E+00"},
      {"1.5E-2", 0.015, "0.00E+00"}, {"¥1,234.50", 1234.5, "\"¥\"#,##0.00;\"¥\"\\-#,##0.00"},
      {"￥12", 12, "\"￥\"#,##0;\"￥\"\\-#,##0"}, {"$5", 5, "\"$\"#,##0;\"$\"\\-#,##0"},
      {"-¥12", -12, "\"¥\"#,##0;\"¥\"\\-#,##0"}, {"¥-12", -12, "\"¥\"#,##0;\"¥\"\\-#,##0"},
      {"(¥12)", -12, "\"¥\"#,##0;\"¥\"\\-#,##0"},
      // long digit strings keep fifteen digits
      {"110101199003071234", 110101199003071000.0, nullptr}, {"1234567890123456789", 1234567890123450000.0, nullptr},
      {"0.12345678901234567", 0.123456789012345, nullptr},
      // dates and times become serials
      {"2026-12-01", 46357, "yyyy-mm-dd"}, {"2026/12/1", 46357, "yyyy/m/d"}, {"2026/12/01", 46357, "yyyy/m/d"},
      {"2026年12月1日", 46357, "yyyy\"年\"m\"月\"d\"日\""},
      {"2026-12-01 13:45", 46357 + (13 * 60 + 45) / 1440.0, "yyyy-mm-dd h:mm"},
      {"2026-12-01T13:45:10", 46357 + (13 * 3600 + 45 * 60 + 10) / 86400.0, "yyyy-mm-dd h:mm:ss"},
      {"2026/12/1 9:05", 46357 + (9 * 60 + 5) / 1440.0, "yyyy/m/d h:mm"}, {"13:45", (13 * 60 + 45) / 1440.0, "h:mm"},
      {"13:45:10", (13 * 3600 + 45 * 60 + 10) / 86400.0, "h:mm:ss"},
      {"9:05:01.5", (9 * 3600 + 5 * 60 + 1.5) / 86400.0, "h:mm:ss"}, {"25:30", 1.0625, "[h]:mm:ss"},
      {"1900-02-29", 60, "yyyy-mm-dd"}, {"1900-01-01", 1, "yyyy-mm-dd"},
  });
}

TEST(ValueEntry, NotNumbersAndInvalidDatesStayText) {
  ExpectText({"XS-0001", "1,23", "1234,567", ",123", "1,234.5,6", "12%%", "¥12%", "1e", "1e3.5", "1,000e3",
              "--1", "+-1", "(-1)", "(12", "12)", ".", "1.2.3", "１２３", "12 34", "abc", "0x1A", "  ", "¥",
              "1.5.2026", "2026-02-30", "2026-13-01", "2026-12-01 24:00", "2026-12-01T", "2026-12/01", "2026/12-01",
              "26-12-01", "12/1", "13:60", "13:5", "13:45:60", "2026-12-01Z", "2026-12-01T13:45Z",
              "1899-12-31", "2026年2月30日", "2026年12月1", "2026/12/1T13:45"});
}

// Formats are suggested only for cells formatted General; dates follow the
// workbook's date system.
TEST(ValueEntry, SuggestionsOnlyForGeneralCellsAndDatesInEitherSystem) {
  const struct {
    const char* text;
    bool general, date1904;
    double number;
  } cases[] = {{"12%", false, false, 0.12}, {"2026-12-01", false, false, 46357}, {"2026-12-01", true, true, 46357 - 1462}};
  for (const auto& c : cases) {
    const EntryResult r = InterpretEntry(c.text, false, c.general, c.date1904);
    EXPECT_EQ(r.kind, Kind::Number) << c.text;
    EXPECT_DOUBLE_EQ(r.number, c.number) << c.text;
    EXPECT_EQ(r.suggestedFormat.has_value(), c.general) << c.text;
  }
}

}  // namespace
}  // namespace vemo::wb
