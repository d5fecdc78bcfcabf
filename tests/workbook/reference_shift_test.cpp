#include "workbook/reference_shift.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

namespace vemo::wb {
namespace {

constexpr auto kRows = LineInsertion::Axis::Rows;
constexpr auto kCols = LineInsertion::Axis::Columns;

std::string ShiftRows(std::string_view f, int at = 5, int count = 2, std::string_view host = "S") {
  return ShiftFormula(f, host, "S", LineInsertion{kRows, at, count});
}

// Each formula on sheet S after two rows inserted at row 5 of S.
void ExpectShifted(std::initializer_list<std::pair<const char*, const char*>> cases) {
  for (const auto& [formula, shifted] : cases) EXPECT_EQ(ShiftRows(formula), shifted) << formula;
}

TEST(ShiftFormulaTest, RowsAtOrBelowTheInsertionMoveAndSpanningRangesGrow) {
  ExpectShifted({
      {"A4", "A4"}, {"A5", "A7"}, {"$B$9", "$B$11"}, {"SUM(A1:A4)", "SUM(A1:A4)"}, {"SUM(A1:A5)", "SUM(A1:A7)"},
      {"SUM(A5:A9)", "SUM(A7:A11)"}, {"SUM(A$1:$A5)", "SUM(A$1:$A7)"}, {"A:A", "A:A"}, {"$3:$4", "$3:$4"},
      {"SUM(A9:A1)", "SUM(A11:A1)"},  // reversed corners keep their order
      {"4:5", "4:7"}, {"$5:$5", "$7:$7"}, {"A1:XFD1", "A1:XFD1"},
      // the range operator between a reference and something else
      {"SUM(A5:INDEX(B:B,9))", "SUM(A7:INDEX(B:B,9))"}, {"SUM(S!A1:S!B9)", "SUM(S!A1:S!B11)"},
      {"A1:B9:C3", "A1:B11:C3"},
      // every other byte is kept, case and spaces included
      {"sum( a9 ,  'S'!b2 )&\"x\"\"A9\"", "sum( A11 ,  'S'!b2 )&\"x\"\"A9\""},
      // text that only looks like a reference is left alone
      {"\"A9\"&B9", "\"A9\"&B11"}, {"LOG10(A9)", "LOG10(A11)"}, {"Table1[Col9]", "Table1[Col9]"}, {"XFE9", "XFE9"},
      {"TRUE", "TRUE"}, {"ATAN2(1,2)", "ATAN2(1,2)"}, {"name_A9", "name_A9"}, {"S!Name9", "S!Name9"},
      {"#REF!A9", "#REF!A9"},
  });
}

TEST(ShiftFormulaTest, ColumnsMoveAndGrowTheSameWay) {
  LineInsertion ins{kCols, 3, 1};
  EXPECT_EQ(ShiftFormula("B1+C1+SUM(A1:C1)+D:D", "S", "S", ins), "B1+D1+SUM(A1:D1)+E:E");
  EXPECT_EQ(ShiftFormula("1:1", "S", "S", LineInsertion{kCols, 1, 1}), "1:1");
  EXPECT_EQ(ShiftFormula("$B$2:XFC2", "S", "S", ins), "$B$2:XFD2");
}

TEST(ShiftFormulaTest, OnlyReferencesToTheEditedSheetMove) {
  EXPECT_EQ(ShiftRows("Other!A9+A9"), "Other!A9+A11");
  EXPECT_EQ(ShiftRows("S!A9+A9", 5, 2, "Other"), "S!A11+A9");
  EXPECT_EQ(ShiftRows("s!A9", 5, 2, "Other"), "s!A11");  // sheet names ignore case
  EXPECT_EQ(ShiftFormula("'My ''S'''!A9", "X", "My 'S'", LineInsertion{kRows, 5, 2}), "'My ''S'''!A11");
  EXPECT_EQ(ShiftRows("[1]S!A9+S!A9", 5, 2, "X"), "[1]S!A9+S!A11");
  EXPECT_EQ(ShiftRows("S:T!A9+SUM('S:T'!A9)"), "S:T!A9+SUM('S:T'!A9)");  // 3-D never shifts
  EXPECT_EQ(ShiftRows("A9", 5, 2, ""), "A9");  // unqualified reference in a workbook-level name
}

TEST(ShiftFormulaTest, ReferencesPushedOffTheSheetBecomeRefErrors) {
  EXPECT_EQ(ShiftRows("A1048576", 10, 1), "#REF!");
  EXPECT_EQ(ShiftRows("S!A1048576+1", 10, 1, "X"), "#REF!+1");
  EXPECT_EQ(ShiftRows("A2:A1048576", 10, 1), "A2:A1048576");          // end clipped
  EXPECT_EQ(ShiftRows("A1048000:B1048576", 10, 1000), "#REF!");      // start pushed off
  EXPECT_EQ(ShiftRows("SUM(1048570:1048575)", 10, 3), "SUM(1048573:1048576)");
  EXPECT_EQ(ShiftFormula("XFD1", "S", "S", LineInsertion{kCols, 2, 1}), "#REF!");
}

// A formula copied by (rows, columns): relative parts move; what leaves the
// sheet becomes #REF!.
TEST(TranslateFormulaTest, MovesRelativePartsOnly) {
  const std::tuple<const char*, int, int, const char*> cases[] = {
      {"C6*$D6+D$6+$E$6+SUM(A:A)+3:3", 2, 1, "D8*$D8+E$6+$E$6+SUM(B:B)+5:5"},
      {"Other!B2+'My S'!$B2", 1, 1, "Other!C3+'My S'!$B3"}, {"[1]Data!B2+Jan:Mar!B2", 1, 0, "[1]Data!B2+Jan:Mar!B3"},
      {"SUM(A1:A9)-Tax", 0, 0, "SUM(A1:A9)-Tax"}, {"A1", -1, 0, "#REF!"}, {"SUM(A1:B2)+1", 0, -1, "SUM(#REF!)+1"},
      {"$A$1+A1", -1, 0, "$A$1+#REF!"}, {"XFD1", 0, 1, "#REF!"},
  };
  for (const auto& [formula, rows, cols, moved] : cases) EXPECT_EQ(TranslateFormula(formula, rows, cols), moved) << formula;
}

TEST(ShiftRangeListTest, ShiftsEachRangeAndDropsThoseMovedOff) {
  LineInsertion ins{kRows, 3, 2};
  EXPECT_EQ(ShiftRangeList("A1:B2 A3 C2:C5 D:D 3:4", ins), "A1:B2 A5 C2:C7 D:D 5:6");
  EXPECT_EQ(ShiftRangeList("A1048576 B1", ins), "B1");
  EXPECT_EQ(ShiftRangeList("", ins), "");
}

TEST(InvalidateSheetReferencesTest, ReplacesWholeReferencesToTheDeletedSheet) {
  EXPECT_EQ(InvalidateSheetReferences("Data!$A$1:$A$3+'data'!B2+A1+Other!A1", "DATA"), "#REF!+#REF!+A1+Other!A1");
  EXPECT_EQ(InvalidateSheetReferences("[1]Data!A1+Data:Other!A1+Data!Tax+Data!#REF!", "Data"),
            "[1]Data!A1+Data:Other!A1+Data!Tax+Data!#REF!");
}

}  // namespace
}  // namespace vemo::wb
