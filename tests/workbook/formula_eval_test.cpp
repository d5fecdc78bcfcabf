#include "workbook/formula_eval.h"

#include <gtest/gtest.h>

#include <cmath>

#include "formula_eval_test_context.h"

namespace vemo::wb {
namespace {

using testing::MapContext;

class FormulaEvalTest : public testing::FormulaTest {
 protected:
  double Num(std::string_view formula) {
    CellValue v = Eval(formula);
    EXPECT_TRUE(v.IsNumber()) << formula;
    return v.IsNumber() ? v.number() : NAN;
  }
};

// How operators group is the parser's rule; here what they compute.
TEST_F(FormulaEvalTest, OperatorsComputeAsSpreadsheetsDo) {
  Expect({
      {"=1+2*3", N(7)},
      {"=-2^2", N(4)},  // negation binds tighter than ^
      {"=50%*4", N(2)}, {"=2^-1", N(0.5)},
      {"=1+2&\"x\"", T("3x")},  // & below arithmetic
      {"=1+1=2", B(true)}, {"=\"a\"&1=\"a1\"", B(true)},
  });
}

TEST_F(FormulaEvalTest, ArithmeticCoercesTextAndBooleans) {
  ctx.Set("A1", "3"); ctx.Set("A2", true); ctx.Set("A3", "abc");
  Expect({
      {"=A1+1", N(4)}, {"=\"3\"+1", N(4)}, {"=A2*5", N(5)},
      {"=A9+1", N(1)},  // empty cell is 0
      {"=\" 1,234.5 \"*2", N(2469)}, {"=\"50%\"*2", N(1)}, {"=A3+1", E(ErrorCode::Value)},
      {"=\"\"+1", E(ErrorCode::Value)}, {"=-\"2\"", N(-2)},
  });
}

TEST_F(FormulaEvalTest, ArithmeticErrors) {
  Expect({
      {"=1/0", E(ErrorCode::Div0)}, {"=0^0", E(ErrorCode::Num)}, {"=(-8)^0.5", E(ErrorCode::Num)},
      {"=10^400", E(ErrorCode::Num)},
      {"=#N/A+1/0", E(ErrorCode::NA)},  // the left error wins
      {"=#REF!A1+1", E(ErrorCode::Ref)},
  });
  ctx.Set("B1", ErrorCode::Div0);
  EXPECT_EQ(Eval("=B1&\"x\""), E(ErrorCode::Div0));
}

TEST_F(FormulaEvalTest, ComparisonsIgnoreCaseAndOrderTypes) {
  Expect({
      {"=\"abc\"=\"ABC\"", B(true)}, {"=\"a\"<\"B\"", B(true)},
      {"=1<\"0\"", B(true)},  // numbers sort before text
      {"=\"z\"<FALSE", B(true)},  // text before booleans
      {"=A1=0", B(true)},  // empty equals 0 ...
      {"=A1=\"\"", B(true)},  // ... and ""
      {"=A1=FALSE", B(true)}, {"=0.1+0.2=0.3", B(true)}, {"=1<>1.0000001", B(true)},
  });
}

TEST_F(FormulaEvalTest, ConcatenationUsesGeneralNumberText) {
  Expect({
      {"=1/3&\"\"", T("0.333333333333333")}, {"=0.1+0.2&\"\"", T("0.3")}, {"=10^15&\"\"", T("1E+15")},
      {"=123456789012345&\"\"", T("123456789012345")}, {"=-1.5&TRUE", T("-1.5TRUE")},
  });
  EXPECT_EQ(GeneralNumberText(1e-10), "1E-10");
  EXPECT_EQ(GeneralNumberText(-2.5e20), "-2.5E+20");
}

TEST_F(FormulaEvalTest, ReferencesReadCellsOnOtherSheetsAndEmptyResultIsZero) {
  ctx.Set("'Price list'!B2", 12.5); ctx.Set("B2", 2);
  Expect({
      {"='Price list'!B2*B2", N(25)}, {"=B3", N(0)}, {"=IF(TRUE,B3)", N(0)},
  });
}

TEST_F(FormulaEvalTest, ImplicitIntersectionPicksTheFormulasRow) {
  ctx.Set("B5", 7); ctx.Set("C3", 4);
  EvalOptions at{5, 4, {}};
  EXPECT_EQ(Eval("=B:B*2", at), CellValue::Number(14));
  EXPECT_EQ(Eval("=B1:B10", at), CellValue::Number(7));
  EXPECT_EQ(Eval("=A3:F3", EvalOptions{9, 3, {}}), CellValue::Number(4));
  EXPECT_EQ(Eval("=B1:B10"), E(ErrorCode::Value));  // position unknown
}

TEST_F(FormulaEvalTest, RangeIntersectionAndUnionOperators) {
  ctx.Set("B2", 5); ctx.Set("C3", 7);
  EXPECT_EQ(Eval("=SUM(A1:C3 B2:D4)"), N(12));
  EXPECT_EQ(Eval("=SUM((A1,C3,B2))"), N(12));
  ctx.SetName("Corner", "$C$3");
  EXPECT_EQ(Eval("=SUM(A1:Corner)"), N(12));  // ':' between a cell and a name spans both
  EXPECT_EQ(Eval("=SUM(A1:A2 C1:C2)"), E(ErrorCode::Null));
}

TEST_F(FormulaEvalTest, DefinedNamesEvaluateTheirFormula) {
  ctx.Set("Data!A1", 0.19); ctx.Set("B1", 100);
  ctx.SetName("VatRate", "Data!$A$1");
  ctx.SetName("Net", "=B1");
  ctx.SetName("Loop", "Loop+1");
  EXPECT_NEAR(Num("=Net*VatRate"), 19, 1e-12);
  EXPECT_EQ(Eval("=Missing+1"), E(ErrorCode::Name));
  EvalResult loop = EvaluateFormula("Loop", ctx);
  EXPECT_FALSE(loop.complete);
}

// Each cell's formula reads the next cell at its deepest level, as a chain of
// formula cells is computed: the levels add up across the chain and are
// bounded there, short of the end of the stack.
TEST_F(FormulaEvalTest, ChainsOfDeepFormulasAreBounded) {
  struct Chain : testing::MapContext {
    CellValue CellAt(std::string_view, int row, int) override {
      if (row >= 500) return CellValue::Number(1);
      std::string formula = "A" + std::to_string(row + 1);
      for (int i = 0; i < 250; ++i) formula += "+1";
      EvalResult cell = EvaluateFormula(formula, *this);
      if (!cell.complete && problem.empty()) problem = cell.problem;
      return cell.value;
    }
    std::string problem;
  } chain;
  EvalResult r = EvaluateFormula("A1", chain);
  EXPECT_EQ(r.value.type(), CellValue::Type::Error);
  EXPECT_NE(chain.problem.find("nest more than 1024 levels"), std::string::npos) << chain.problem;
}

TEST_F(FormulaEvalTest, WhatCannotBeComputedIsFlagged) {
  const char* formulas[] = {"=FOO(1)", "=Table1[Qty]*2", "=[1]Data!A1", "=SUM(Jan:Mar!B2)", "=SUM(1,", "=1+",
                            // argument counts a function does not take
                            "ROUND(1)", "IF(1)", "MID(\"a\",1)", "TODAY(1)", "VLOOKUP(1,A1:B2)"};
  for (const char* f : formulas) {
    EvalResult r = EvaluateFormula(f, ctx);
    EXPECT_FALSE(r.complete) << f;
    EXPECT_TRUE(r.value.IsError()) << f;
    EXPECT_FALSE(r.problem.empty()) << f;
  }
  EXPECT_EQ(EvaluateFormula("=FOO(1)", ctx).value, CellValue::Error(ErrorCode::Name));
  EXPECT_TRUE(EvaluateFormula("=_xlfn.CONCAT(\"a\",1)", ctx).complete);
}

// Whole rows and columns, in ranges and as arrays, end where the sheet's use ends (the
// context says 100 rows, 26 columns); past a budget the formula gives #NUM!
// and asks for recalculation instead of taking the process down.
TEST_F(FormulaEvalTest, EvaluationStaysWithinItsBudget) {
  ctx.Set("A1", 2); ctx.Set("Z100", 3); ctx.Set("B1", 5);
  struct Case {
    const char* formula;
    std::uint64_t maxCellReads, maxBytes;
    CellValue value;
  } cases[] = {
      {"=SUMPRODUCT(A:XFD,A:XFD)", 20'000'000, 256u << 20, CellValue::Number(38)},
      {"=SUM(A:A)", 150, 256u << 20, CellValue::Number(2)},  // a whole column read as far as the sheet is used
      {"=SUMPRODUCT((A:A>1)*B:B)", 20'000'000, 256u << 20, CellValue::Number(5)},
      {"=SUMPRODUCT(A1:XFD1048575)", 20'000'000, 256u << 20, CellValue::Error(ErrorCode::Num)},
      {"=SUM(A1:Z100)", 2599, 256u << 20, CellValue::Error(ErrorCode::Num)},
      {"=SUMPRODUCT(A1:Z100*2)", 20'000'000, 2600 * sizeof(CellValue), CellValue::Error(ErrorCode::Num)},
      {"=LEN(CONCAT(A1:Z100,A1:Z100))", 20'000'000, 3, CellValue::Error(ErrorCode::Num)},
  };
  for (const Case& c : cases) {
    EvalOptions options;
    options.maxCellReads = c.maxCellReads;
    options.maxBytes = c.maxBytes;
    EvalResult r = EvaluateFormula(c.formula, ctx, options);
    EXPECT_EQ(r.value, c.value) << c.formula;
    EXPECT_EQ(r.complete, !c.value.IsError()) << c.formula << ": " << r.problem;
  }
}

TEST_F(FormulaEvalTest, ArrayConstantsAndSumproductWithConditions) {
  ctx.Set("A1", "x"); ctx.Set("A2", "y"); ctx.Set("A3", "X"); ctx.Set("B1", 2); ctx.Set("B2", 3); ctx.Set("B3", 4);
  ctx.Set("C1", 10); ctx.Set("C2", "n/a"); ctx.Set("C3", 1);
  Expect({
      {"=SUMPRODUCT((A1:A3=\"x\")*B1:B3)", N(6)},
      {"=SUMPRODUCT(B1:B3,C1:C3)", N(24)},  // text counts as 0
      {"=SUMPRODUCT({1,2;3,4},{1,1;1,1})", N(10)}, {"=SUMPRODUCT(B1:B3,C1:C2)", E(ErrorCode::Value)},
      {"=SUM({1,\"2\",TRUE,3})", N(4)},  // text and booleans in arrays are skipped
      {"={5,6}*2", N(10)},
  });
}

TEST_F(FormulaEvalTest, InsideSumproductSingleValueFunctionsApplyToEachElement) {
  ctx.Set("A1", 1.005); ctx.Set("A2", 2.555); ctx.Set("B1", 3); ctx.Set("B2", 1); ctx.Set("C1", "x");
  EXPECT_NEAR(Num("=SUMPRODUCT(ROUND(A1:A2*B1:B2,2))"), 3.02 + 2.56, 1e-12);
  Expect({
      {"=SUMPRODUCT(IF(C1:C2=\"x\",B1:B2,0))", N(3)}, {"=SUMPRODUCT(LEN(C1:C2)*10)", N(10)},
      {"=SUMPRODUCT(--ISBLANK(C1:C3))", N(2)},
      {"=ROUND(A1:A2,2)", E(ErrorCode::Value)},  // outside: one value needed, position unknown
  });
}

}  // namespace
}  // namespace vemo::wb
