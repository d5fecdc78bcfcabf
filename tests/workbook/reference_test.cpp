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

TEST(ParseAreaRefTest, ReadsEveryFormWithItsAbsoluteMarks) {
  auto cell = ParseCellRef("$B7");
  ASSERT_TRUE(cell);
  EXPECT_EQ(*cell, (CellRef{7, 2, false, true}));

  auto area = ParseAreaRef("A$1:$C3");
  ASSERT_TRUE(area);
  EXPECT_EQ(area->kind, AreaRef::Kind::Area);
  EXPECT_EQ(area->first, (CellRef{1, 1, true, false}));
  EXPECT_EQ(area->last, (CellRef{3, 3, false, true}));

  auto cols = ParseAreaRef("$C:E");
  ASSERT_TRUE(cols);
  EXPECT_EQ(cols->kind, AreaRef::Kind::Columns);
  EXPECT_EQ(cols->Top(), 1);
  EXPECT_EQ(cols->Bottom(), kMaxRow);
  EXPECT_EQ(cols->Left(), 3);
  EXPECT_EQ(cols->Right(), 5);

  auto rows = ParseAreaRef("$5:3");
  ASSERT_TRUE(rows);
  EXPECT_EQ(rows->kind, AreaRef::Kind::Rows);
  EXPECT_EQ(rows->Top(), 3);
  EXPECT_EQ(rows->Bottom(), 5);
  EXPECT_EQ(rows->Right(), kMaxColumn);

  EXPECT_EQ(ParseAreaRef("#REF!")->kind, AreaRef::Kind::Error);
}

TEST(ParseAreaRefTest, RejectsTextOutsideTheSheetOrNotAReference) {
  for (const char* bad : {"A0", "XFE1", "A1048577", "A12345678", "A", "1", "A1:", "A1B", "Sheet1!A1", "", "A:1"})
    EXPECT_FALSE(ParseAreaRef(bad)) << bad;
  EXPECT_TRUE(ParseAreaRef("XFD1048576"));
}

TEST(ParseReferenceTest, ReadsSheetPrefixesQuotedAnd3DAndExternal) {
  auto plain = ParseReference("Sheet1!A1:B2");
  ASSERT_TRUE(plain);
  EXPECT_EQ(*plain->sheet, "Sheet1");
  EXPECT_EQ(plain->prefix, "Sheet1!");
  EXPECT_FALSE(plain->threeD);

  auto quoted = ParseReference("'It''s mine'!$A$1");
  ASSERT_TRUE(quoted);
  EXPECT_EQ(*quoted->sheet, "It's mine");
  EXPECT_EQ(quoted->prefix, "'It''s mine'!");

  auto threeD = ParseReference("Jan:Mar!B3");
  ASSERT_TRUE(threeD);
  EXPECT_TRUE(threeD->threeD);
  EXPECT_EQ(*threeD->sheet, "Jan");
  EXPECT_EQ(threeD->lastSheet, "Mar");

  auto quoted3D = ParseReference("'Q 1:Q 4'!B3");
  ASSERT_TRUE(quoted3D);
  EXPECT_TRUE(quoted3D->threeD);
  EXPECT_EQ(quoted3D->lastSheet, "Q 4");

  auto external = ParseReference("[1]Data!C4");
  ASSERT_TRUE(external);
  EXPECT_TRUE(external->external);
  EXPECT_EQ(*external->sheet, "Data");

  auto externalQuoted = ParseReference("'[Book 2.xlsx]My Data'!C4");
  ASSERT_TRUE(externalQuoted);
  EXPECT_TRUE(externalQuoted->external);
  EXPECT_EQ(*externalQuoted->sheet, "My Data");

  auto refError = ParseReference("Data!#REF!");
  ASSERT_TRUE(refError);
  EXPECT_EQ(refError->area.kind, AreaRef::Kind::Error);

  EXPECT_FALSE(ParseReference("'Open!A1"));
  EXPECT_FALSE(ParseReference("[1]A1"));
}

TEST(FormatReferenceTest, QuotesSheetNamesOnlyWhenNeeded) {
  EXPECT_EQ(FormatSheetName("Sheet1"), "Sheet1");
  EXPECT_EQ(FormatSheetName("My Sheet"), "'My Sheet'");
  EXPECT_EQ(FormatSheetName("It's"), "'It''s'");
  EXPECT_EQ(FormatSheetName("A1"), "'A1'");        // would read as a cell
  EXPECT_EQ(FormatSheetName("2024"), "'2024'");
  EXPECT_EQ(FormatSheetName("Straße"), "Straße");  // UTF-8 letters need no quotes

  Reference ref;
  ref.sheet = "It's";
  ref.area = *ParseAreaRef("$A$1:B2");
  EXPECT_EQ(FormatReference(ref), "'It''s'!$A$1:B2");
  auto back = ParseReference(FormatReference(ref));
  ASSERT_TRUE(back);
  EXPECT_EQ(*back->sheet, "It's");
  EXPECT_EQ(back->area, ref.area);

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
