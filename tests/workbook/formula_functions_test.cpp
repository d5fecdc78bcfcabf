// Function results checked against what spreadsheet applications return.
#include <gtest/gtest.h>

#include <cmath>

#include "formula_eval_test_context.h"
#include "workbook/formula_eval.h"

namespace vemo::wb {
namespace {

using FormulaFunctionsTest = testing::FormulaTest;

TEST_F(FormulaFunctionsTest, SumSkipsTextAndBooleansInRangesButConvertsTypedArguments) {
  ctx.Set("A1", 1); ctx.Set("A2", "2"); ctx.Set("A3", true); ctx.Set("A4", 4);
  Expect({
      {"SUM(A1:A5)", N(5)},
      {"SUM(A2)", N(0)},  // a reference, even to one cell, skips text
      {"SUM(\"2\",TRUE,1)", N(4)}, {"SUM(1,,2)", N(3)}, {"SUM(\"x\")", E(ErrorCode::Value)},
  });
  ctx.Set("A5", ErrorCode::NA);
  EXPECT_EQ(Eval("SUM(A1:A5)"), E(ErrorCode::NA));
}

TEST_F(FormulaFunctionsTest, CountingAndAveraging) {
  ctx.Set("A1", 1); ctx.Set("A2", "2"); ctx.Set("A3", true); ctx.Set("A4", 5); ctx.Set("A5", "");
  ctx.Set("A6", ErrorCode::Div0);
  Expect({
      {"COUNT(A1:A10)", N(2)}, {"COUNT(\"3\",TRUE,\"x\",A1)", N(3)},
      {"COUNTA(A1:A10)", N(6)},  // empty text and errors count
      {"AVERAGE(A1:A4)", N(3)}, {"AVERAGE(A7:A9)", E(ErrorCode::Div0)}, {"MIN(A1:A4)", N(1)}, {"MAX(A1:A4,-3)", N(5)},
      {"MAX(A7:A9)", N(0)}, {"MIN(A1:A6)", E(ErrorCode::Div0)},
  });
}

TEST_F(FormulaFunctionsTest, RoundingIsHalfAwayFromZeroOnTheDecimalShown) {
  Expect({
      {"ROUND(2.5,0)", N(3)}, {"ROUND(-2.5,0)", N(-3)},
      {"ROUND(2.675,2)", N(2.68)},  // binary 2.67499999... still rounds up
      {"ROUND(1.005,2)", N(1.01)}, {"ROUND(1234.5678,-2)", N(1200)}, {"ROUND(-0.4,0)", N(0)},
  });
  EXPECT_FALSE(std::signbit(Eval("ROUND(-0.4,0)").number()));
  Expect({
      {"ROUNDUP(3.2,0)", N(4)}, {"ROUNDUP(-3.2,0)", N(-4)},
      {"ROUNDUP(0.1+0.2,1)", N(0.3)},  // not 0.4: 0.30000000000000004 is 0.3
      {"ROUNDDOWN(3.99,1)", N(3.9)}, {"ROUNDDOWN(-3.99,0)", N(-3)},
      {"ROUND(1.23456,2.9)", N(1.23)},  // digits are truncated
      {"ROUND(\"x\",1)", E(ErrorCode::Value)},
  });
}

TEST_F(FormulaFunctionsTest, IntAbsMod) {
  Expect({
      {"INT(-1.5)", N(-2)}, {"INT(1.9)", N(1)}, {"ABS(-4)", N(4)},
      {"MOD(-3,2)", N(1)},  // the sign of the divisor
      {"MOD(3,-2)", N(-1)}, {"MOD(5,0)", E(ErrorCode::Div0)},
  });
}

TEST_F(FormulaFunctionsTest, SumIfAndCountIfCriteria) {
  const char* fruit[] = {"apple", "Banana", "apple pie", "", "cherry"};
  for (int i = 0; i < 5; ++i) {
    if (*fruit[i]) ctx.Set("A" + std::to_string(i + 1), fruit[i]);
    ctx.Set("B" + std::to_string(i + 1), (i + 1) * 10);
  }
  ctx.Set("C1", 5); ctx.Set("C2", 15); ctx.Set("C3", "20");
  Expect({
      {"SUMIF(A1:A5,\"APPLE\",B1:B5)", N(10)}, {"SUMIF(A1:A5,\"apple*\",B1:B5)", N(40)},
      {"SUMIF(A1:A5,\"?anana\",B1:B5)", N(20)},
      {"SUMIF(A1:A5,\"<>apple\",B1:B5)", N(140)},  // includes the empty A4
      {"SUMIF(A1:A5,\"\",B1:B5)", N(40)}, {"SUMIF(B1:B5,\">=30\")", N(120)},
      {"SUMIF(C1:C3,\">4\")", N(20)},  // text "20" is not a number to compare
      {"SUMIF(B1:B5,20,A1)", N(0)},  // sum range follows the shape of the range
      {"SUMIF(A1:A5,\"cherry\",C1)", N(0)}, {"SUMIF(A1:A5,\"apple\",C1)", N(5)},
      {"SUMIF(A1:A5,\"Banana\",C1)", N(15)},  // C1 stands for C1:C5
      {"SUMIF(A1:A5,\"*a*\",C1:C2)", N(20)},  // A1..A3 match; C3 holds text
      {"COUNTIF(A1:A5,\"*e*\")", N(3)}, {"COUNTIF(B1:B5,\"<30\")", N(2)}, {"COUNTIF(D1:D3,\"\")", N(3)},
      {"SUMIF(1,1)", E(ErrorCode::Value)}, {"SUMIFS(B1:B5,A1:A5,\"apple*\",B1:B5,\">10\")", N(30)},
      {"SUMIFS(B1:B5,A1:A5,\"<>\")", N(110)}, {"COUNTIFS(A1:A5,\"*a*\",B1:B5,\"<=20\")", N(2)},
      {"COUNTIFS(A1:A5,\"\",D1:D5,\"\")", N(1)},
      {"SUMIFS(B1:B5,A1:A4,\"x\")", E(ErrorCode::Value)},  // shapes differ
      {"COUNTIFS(A1:A5,1,B1:B5)", E(ErrorCode::Value)},  // a range without criterion
      {"SUMIF(#N/A,1)", E(ErrorCode::NA)},
  });
}

TEST_F(FormulaFunctionsTest, VlookupExactAndApproximate) {
  ctx.Set("A1", 10); ctx.Set("B1", "ten"); ctx.Set("A2", 20); ctx.Set("B2", "twenty"); ctx.Set("A3", 30);
  ctx.Set("B3", "thirty"); ctx.Set("D1", "Bolt"); ctx.Set("E1", 0.25); ctx.Set("D2", "Nut"); ctx.Set("E2", 0.1);
  Expect({
      {"VLOOKUP(20,A1:B3,2,FALSE)", T("twenty")}, {"VLOOKUP(25,A1:B3,2)", T("twenty")},
      {"VLOOKUP(99,A1:B3,2,TRUE)", T("thirty")}, {"VLOOKUP(5,A1:B3,2)", E(ErrorCode::NA)},
      {"VLOOKUP(25,A1:B3,2,0)", E(ErrorCode::NA)}, {"VLOOKUP(\"nut\",D:E,2,FALSE)", N(0.1)},
      {"VLOOKUP(\"B*\",D1:E2,2,FALSE)", N(0.25)},
      {"VLOOKUP(\"20\",A1:B3,2,FALSE)", E(ErrorCode::NA)},  // text never equals a number
      {"VLOOKUP(20,A1:B3,3,FALSE)", E(ErrorCode::Ref)}, {"VLOOKUP(20,A1:B3,0,FALSE)", E(ErrorCode::Value)},
      {"VLOOKUP(2,{1,\"a\";2,\"b\"},2,FALSE)", T("b")},
      {"VLOOKUP(10,A1:C3,3,FALSE)", N(0)},  // an empty cell reads as 0
  });
}

TEST_F(FormulaFunctionsTest, HlookupMatchAndIndex) {
  ctx.Set("A1", "net"); ctx.Set("B1", "vat"); ctx.Set("C1", "gross"); ctx.Set("A2", 100); ctx.Set("B2", 19);
  ctx.Set("C2", 119); ctx.Set("A3", 200); ctx.Set("B3", 38); ctx.Set("C3", 238);
  Expect({
      {"HLOOKUP(\"VAT\",A1:C3,3,FALSE)", N(38)}, {"HLOOKUP(\"x\",A1:C3,2,FALSE)", E(ErrorCode::NA)},
      {"HLOOKUP(\"vat\",A1:C3,4,FALSE)", E(ErrorCode::Ref)}, {"MATCH(\"gross\",A1:C1,0)", N(3)},
      {"MATCH(150,A2:A3)", N(1)}, {"MATCH(250,A2:A3,1)", N(2)}, {"MATCH(50,A2:A3,1)", E(ErrorCode::NA)},
      {"MATCH(150,{300,200,100},-1)", N(2)}, {"MATCH(\"g*\",A1:C1,0)", N(3)},
      {"MATCH(1,A1:C3,0)", E(ErrorCode::NA)},  // not one row or column
      {"INDEX(A1:C3,3,2)", N(38)},
      {"INDEX(A1:C1,2)", T("vat")},  // a single row: the index picks the column
      {"INDEX(A1:A3,2)", N(100)},
      {"SUM(INDEX(A1:C3,0,3))", N(357)},  // the whole third column
      {"SUM(INDEX(A1:C3,2,0))", N(238)},
      {"SUM(B2:INDEX(C1:C3,3))", N(414)},  // INDEX gives a reference
      {"INDEX(A1:C3,4,1)", E(ErrorCode::Ref)}, {"INDEX({1,2;3,4},2,1)", N(3)},
      {"INDEX(A2:C3,MATCH(200,A2:A3,0),MATCH(\"gross\",A1:C1,0))", N(238)},
  });
}

TEST_F(FormulaFunctionsTest, LookupAndN) {
  ctx.Set("A1", 10); ctx.Set("B1", "ten"); ctx.Set("D1", "x"); ctx.Set("A2", "s"); ctx.Set("B2", "text");
  ctx.Set("D2", "y"); ctx.Set("A3", 30); ctx.Set("B3", "thirty"); ctx.Set("D3", "x"); ctx.Set("A4", true);
  ctx.Set("C4", ErrorCode::Div0); ctx.Set("F1", "late");
  Expect({
      {"LOOKUP(9.99E+307,A1:A5)", N(30)},  // the last number of a column
      {"LOOKUP(25,A1:A3,B1:B3)", T("ten")},  // approximate; the text between is skipped
      {"LOOKUP(5,A1:A3,B1:B3)", E(ErrorCode::NA)},
      {"LOOKUP(2,1/(D1:D3=\"x\"),B1:B3)", T("thirty")},  // the last row that holds "x"
      {"LOOKUP(30,A1:A3,B1)", T("thirty")},  // a short result range extends downwards
      {"LOOKUP(\"T\",{\"a\",\"s\",\"u\";1,2,3})", N(2)},  // wider than tall: along the first row
      {"LOOKUP(20,{10,\"a\";20,\"b\";30,\"c\"})", T("b")},  // taller: down the first column
      {"LOOKUP(#N/A,A1:A3)", E(ErrorCode::NA)}, {"N(A1)", N(10)}, {"N(A2)", N(0)}, {"N(A4)", N(1)},
      {"N(C4)", E(ErrorCode::Div0)},
      {"N(A3:A4)", N(30)},  // a range gives its first cell
  });
}

TEST_F(FormulaFunctionsTest, PositionFunctions) {
  EvalOptions at;
  at.row = 12;
  at.col = 3;
  EXPECT_EQ(EvaluateFormula("ROW()-9", ctx, at).value, N(3));  // line numbers in a list
  EXPECT_EQ(EvaluateFormula("COLUMN()", ctx, at).value, N(3));
  Expect({
      {"ROW(B7:C9)+COLUMN(D:E)", N(11)}, {"ROWS(B7:C9)*COLUMNS(B7:C9)", N(6)}, {"ROWS({1,2;3,4;5,6})", N(3)},
  });
  EvalResult unknown = EvaluateFormula("ROW()", ctx);
  EXPECT_FALSE(unknown.complete);
}

TEST_F(FormulaFunctionsTest, LogicalFunctions) {
  ctx.Set("A1", true); ctx.Set("A2", "text"); ctx.Set("A3", 0);
  Expect({
      {"IF(1>2,\"a\",\"b\")", T("b")}, {"IF(FALSE,1)", B(false)}, {"IF(FALSE,1,)", N(0)},
      {"IF(\"x\",1,2)", E(ErrorCode::Value)},
      {"IF(TRUE,1,1/0)", N(1)},  // the other branch is not computed
      {"SUM(IF(TRUE,A3:B9,0))", N(0)}, {"IFERROR(1/0,\"none\")", T("none")}, {"IFERROR(5,\"none\")", N(5)},
      {"IFNA(#N/A,1)", N(1)},
      {"AND(A1:A3)", B(false)},  // text in a range is skipped, 0 is FALSE
      {"OR(A1:A3)", B(true)},
      {"AND(A2)", E(ErrorCode::Value)},  // nothing logical to test
      {"AND(\"x\",TRUE)", E(ErrorCode::Value)}, {"OR(0,\"TRUE\")", B(true)}, {"NOT(0)", B(true)},
      {"ISBLANK(A9)", B(true)}, {"ISNUMBER(A3)", B(true)}, {"ISERROR(1/0)", B(true)},
  });
}

TEST_F(FormulaFunctionsTest, TextFunctionsCountCharactersNotBytes) {
  ctx.Set("A1", "Größe");
  Expect({
      {"LEFT(A1,3)", T("Grö")}, {"LEFT(A1)", T("G")}, {"RIGHT(A1,2)", T("ße")}, {"RIGHT(A1,99)", T("Größe")},
      {"MID(A1,3,2)", T("öß")}, {"MID(A1,9,2)", T("")}, {"MID(A1,0,2)", E(ErrorCode::Value)},
      {"LEFT(A1,-1)", E(ErrorCode::Value)}, {"LEN(A1)", N(5)},
      {"LEN(12.50)", N(4)},  // "12.5"
      {"TRIM(\"  a   b  \")", T("a b")}, {"CONCATENATE(\"Nr. \",7,\"/\",TRUE)", T("Nr. 7/TRUE")},
      {"UPPER(\"abc\")&LOWER(\"DEF\")", T("ABCdef")}, {"VALUE(\" 1,000.5 \")", N(1000.5)},
      {"VALUE(\"abc\")", E(ErrorCode::Value)}, {"VALUE(\"2024-01-31\")", N(45322)},
      {"FIND(\"ß\",A1)", N(4)}, {"FIND(\"g\",A1)", E(ErrorCode::Value)}, {"FIND(\"\",A1,6)", N(6)},
      {"FIND(\"e\",A1,7)", E(ErrorCode::Value)}, {"SEARCH(\"g\",A1)", N(1)}, {"SEARCH(\"r?ß\",A1)", N(2)},
      {"SEARCH(\"ö*e\",A1,2)", N(3)}, {"SEARCH(\"~?\",\"a*?\")", N(3)}, {"SEARCH(\"x*\",A1)", E(ErrorCode::Value)},
  });
}

TEST_F(FormulaFunctionsTest, TextUsesTheNumberFormatterHook) {
  EXPECT_EQ(Eval("TEXT(1234.5,\"0.00\")"), T("1234.5"));  // no formatter: General
  EXPECT_EQ(Eval("TEXT(\"abc\",\"0.00\")"), T("abc"));
  EvalOptions options;
  options.numberFormatter = [](double v, std::string_view code, bool) {
    return std::string(code) + "|" + GeneralNumberText(v);
  };
  EXPECT_EQ(EvaluateFormula("TEXT(\"3\",\"0.00\")", ctx, options).value, T("0.00|3"));
}

TEST_F(FormulaFunctionsTest, DatesCountTheLeapDayOf1900) {
  Expect({
      {"DATE(1900,1,1)", N(1)}, {"DATE(1900,2,28)", N(59)}, {"DATE(1900,2,29)", N(60)}, {"DATE(1900,3,1)", N(61)},
      {"DATE(2024,1,1)", N(45292)},
      {"DATE(2024,14,1)", N(45689)},  // 2025-02-01
      {"DATE(2024,1,0)", N(45291)},  // 2023-12-31
      {"DATE(2024,-1,1)", N(45231)},  // 2023-11-01
      {"DATE(99,1,1)", N(36161)},  // 1999
      {"DATE(10000,1,1)", E(ErrorCode::Num)}, {"DATE(1900,1,-1)", E(ErrorCode::Num)},
      {"YEAR(60)&\"-\"&MONTH(60)&\"-\"&DAY(60)", T("1900-2-29")}, {"DAY(0)", N(0)}, {"MONTH(59.9)", N(2)},
      {"YEAR(2958465)", N(9999)}, {"YEAR(2958466)", E(ErrorCode::Num)}, {"DAY(-1)", E(ErrorCode::Num)},
      {"DAY(\"2024-03-15\")", N(15)}, {"TODAY()", N(45292)},
  });
}

TEST_F(FormulaFunctionsTest, Dates1904System) {
  ctx.date1904 = true;
  Expect({
      {"DATE(1904,1,1)", N(0)}, {"DATE(2024,1,1)", N(45292 - 1462)},
      {"YEAR(0)*10000+MONTH(0)*100+DAY(0)", N(19040101)}, {"DATE(1903,12,31)", E(ErrorCode::Num)},
  });
}

}  // namespace
}  // namespace vemo::wb
