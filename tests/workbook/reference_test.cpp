#include "workbook/reference.h"

#include <gtest/gtest.h>

namespace vemo::wb {
namespace {

TEST(ColumnLettersTest, ConvertsBothWaysAtTheEdgesOfEachLetterCount) {
  const std::pair<int, const char*> cases[] = {{1, "A"}, {26, "Z"}, {27, "AA"}, {52, "AZ"},
                                               {702, "ZZ"}, {703, "AAA"}, {16384, "XFD"}};
  for (auto [number, letters] : cases) {
    EXPECT_EQ(ColumnLetters(number), letters);
    EXPECT_EQ(ColumnNumber(letters), number);
  }
  EXPECT_EQ(ColumnNumber("xfd"), 16384);
  EXPECT_EQ(ColumnNumber("XFE"), 0);
  EXPECT_EQ(ColumnNumber("ABCD"), 0);
  EXPECT_EQ(ColumnNumber("A1"), 0);
  EXPECT_EQ(ColumnLetters(0), "");
  EXPECT_EQ(ColumnLetters(16385), "");
}

// An area as written back with its absolute marks, and the rows and columns
// it spans.
TEST(ParseAreaRefTest, ReadsEveryFormWithItsAbsoluteMarks) {
  const std::pair<const char*, const char*> cases[] = {
      {"$B7", "$B7 rows 7-7 columns 2-2"},
      {"A$1:$C3", "A$1:$C3 rows 1-3 columns 1-3"},
      {"$C:E", "$C:E rows 1-1048576 columns 3-5"},
      {"$5:3", "$5:3 rows 3-5 columns 1-16384"},
      {"#REF!", "#REF!"},
  };
  for (const auto& [text, described] : cases) {
    const auto a = ParseAreaRef(text);
    ASSERT_TRUE(a) << text;
    EXPECT_EQ(FormatAreaRef(*a) + (a->kind == AreaRef::Kind::Error ? "" : " rows " + std::to_string(a->Top()) + "-" +
                                   std::to_string(a->Bottom()) + " columns " + std::to_string(a->Left()) + "-" +
                                   std::to_string(a->Right())),
              described);
  }
  EXPECT_EQ(*ParseCellRef("$B7"), (CellRef{7, 2, false, true}));
}

TEST(ParseAreaRefTest, RejectsTextOutsideTheSheetOrNotAReference) {
  for (const char* bad : {"A0", "XFE1", "A1048577", "A12345678", "A", "1", "A1:", "A1B", "Sheet1!A1", "", "A:1"})
    EXPECT_FALSE(ParseAreaRef(bad)) << bad;
  EXPECT_TRUE(ParseAreaRef("XFD1048576"));
}

// What a reader of the reference learns, as text: sheet, last sheet, prefix,
// flags and the area written out.
std::string Describe(const std::optional<Reference>& r) {
  if (!r) return "refused";
  return r->sheet.value_or("-") + "|" + r->lastSheet + "|" + r->prefix + (r->threeD ? "|3D" : "") +
         (r->external ? "|external" : "") + "|" + FormatAreaRef(r->area);
}

TEST(ParseReferenceTest, ReadsSheetPrefixesQuotedAnd3DAndExternal) {
  const std::pair<const char*, const char*> cases[] = {
      {"Sheet1!A1:B2", "Sheet1||Sheet1!|A1:B2"},
      {"'It''s mine'!$A$1", "It's mine||'It''s mine'!|$A$1"},
      {"Jan:Mar!B3", "Jan|Mar|Jan:Mar!|3D|B3"},
      {"'Q 1:Q 4'!B3", "Q 1|Q 4|'Q 1:Q 4'!|3D|B3"},
      {"[1]Data!C4", "Data||[1]Data!|external|C4"},
      {"'[Book 2.xlsx]My Data'!C4", "My Data||'[Book 2.xlsx]My Data'!|external|C4"},
      {"Data!#REF!", "Data||Data!|#REF!"},
      {"'Open!A1", "refused"},
      {"[1]A1", "refused"},
  };
  for (const auto& [text, described] : cases) EXPECT_EQ(Describe(ParseReference(text)), described) << text;
}

TEST(FormatReferenceTest, QuotesSheetNamesOnlyWhenNeeded) {
  const std::pair<const char*, const char*> names[] = {
      {"Sheet1", "Sheet1"}, {"My Sheet", "'My Sheet'"}, {"It's", "'It''s'"}, {"2024", "'2024'"},
      {"A1", "'A1'"},           // would read as a cell
      {"Straße", "Straße"},     // UTF-8 letters need no quotes
  };
  for (const auto& [name, written] : names) EXPECT_EQ(FormatSheetName(name), written) << name;
  Reference ref;
  ref.sheet = "It's";
  ref.area = *ParseAreaRef("$A$1:B2");
  EXPECT_EQ(FormatReference(ref), "'It''s'!$A$1:B2");
  ref.threeD = true;
  ref.sheet = "Jan";
  ref.lastSheet = "Mar 2";
  EXPECT_EQ(FormatReference(ref), "'Jan:Mar 2'!$A$1:B2");
  EXPECT_EQ(FormatAreaRef(*ParseAreaRef("$a:c")), "$A:C");
  EXPECT_EQ(FormatAreaRef(*ParseAreaRef("3:$4")), "3:$4");
}

TEST(SameSheetNameTest, IgnoresAsciiCaseOnly) {
  EXPECT_TRUE(SameSheetName("Invoice", "INVOICE"));
  EXPECT_FALSE(SameSheetName("Invoice", "Invoices"));
}

}  // namespace
}  // namespace vemo::wb
