#include "workbook/formulas/formula_lexer.h"

#include <gtest/gtest.h>

#include <tuple>
#include <utility>
#include <vector>

namespace vemo::wb {
namespace {

std::vector<std::pair<TokenKind, std::string>> Kinds(std::string_view formula) {
  std::vector<std::pair<TokenKind, std::string>> out;
  for (const Token& t : LexFormula(formula)) out.emplace_back(t.kind, std::string(t.text));
  return out;
}

using K = TokenKind;
using Expected = std::vector<std::pair<TokenKind, std::string>>;

TEST(FormulaLexerTest, SplitsOperandsOperatorsAndCalls) {
  EXPECT_EQ(Kinds("=SUM($A$1:B2, 1.5E+3)*-2%"),
            (Expected{{K::Equals, "="}, {K::Function, "SUM"}, {K::OpenParen, "("}, {K::Reference, "$A$1:B2"},
                      {K::Comma, ","}, {K::Whitespace, " "}, {K::Number, "1.5E+3"}, {K::CloseParen, ")"},
                      {K::Operator, "*"}, {K::Operator, "-"}, {K::Number, "2"}, {K::Operator, "%"}}));
  EXPECT_EQ(Kinds("A1<>\"x\"\"y\"&TRUE"),
            (Expected{{K::Reference, "A1"}, {K::Operator, "<>"}, {K::String, "\"x\"\"y\""}, {K::Operator, "&"},
                      {K::Boolean, "TRUE"}}));
  EXPECT_EQ(Kinds("a>=.5"), (Expected{{K::Name, "a"}, {K::Operator, ">="}, {K::Number, ".5"}}));
}

TEST(FormulaLexerTest, TellsReferencesFromNamesThatLookAlike) {
  const std::pair<const char*, std::pair<K, std::string>> cases[] = {  // text, its first token
      {"LOG10(A9)", {K::Function, "LOG10"}},
      {"XFE9", {K::Name, "XFE9"}},  // past the last column
      {"name_A9", {K::Name, "name_A9"}}, {"A9B", {K::Name, "A9B"}}, {"_xlnm.Print_Area", {K::Name, "_xlnm.Print_Area"}},
      {"_xlfn.CONCAT(1)", {K::Function, "_xlfn.CONCAT"}}, {"Sheet1!Tax", {K::Name, "Sheet1!Tax"}},
      {"'My Sheet'!Tax", {K::Name, "'My Sheet'!Tax"}}, {"[1]!Rate", {K::Name, "[1]!Rate"}},
      {"1:3", {K::Reference, "1:3"}},  // whole rows, not a number
      {"A:XFD", {K::Reference, "A:XFD"}},
  };
  for (const auto& [text, first] : cases) EXPECT_EQ(Kinds(text)[0], first) << text;
}

// What the prefix says is the reference reader's (reference_test.cpp).
TEST(FormulaLexerTest, ReadsSheetQualifiedReferencesAsOneToken) {
  EXPECT_EQ(Kinds("'It''s'!A1+Jan:Mar!B2+[1]Data!C3+Data!#REF!"),
            (Expected{{K::Reference, "'It''s'!A1"}, {K::Operator, "+"}, {K::Reference, "Jan:Mar!B2"}, {K::Operator, "+"},
                      {K::Reference, "[1]Data!C3"}, {K::Operator, "+"}, {K::Reference, "Data!#REF!"}}));
  EXPECT_EQ(*LexFormula("'It''s'!A1")[0].ref.sheet, "It's");
}

TEST(FormulaLexerTest, KeepsStructuredReferencesErrorsAndArraysWhole) {
  EXPECT_EQ(Kinds("Table1[[#This Row],[Col 1]]*2"),
            (Expected{{K::StructuredRef, "Table1[[#This Row],[Col 1]]"}, {K::Operator, "*"}, {K::Number, "2"}}));
  EXPECT_EQ(Kinds("[@Qty]")[0].first, K::StructuredRef);
  EXPECT_EQ(Kinds("#DIV/0!+#N/A+#REF!A1"),
            (Expected{{K::Error, "#DIV/0!"}, {K::Operator, "+"}, {K::Error, "#N/A"}, {K::Operator, "+"},
                      {K::Error, "#REF!A1"}}));
  EXPECT_EQ(Kinds("{1,2;3,4}"),
            (Expected{{K::OpenBrace, "{"}, {K::Number, "1"}, {K::Comma, ","}, {K::Number, "2"}, {K::Semicolon, ";"},
                      {K::Number, "3"}, {K::Comma, ","}, {K::Number, "4"}, {K::CloseBrace, "}"}}));
}

TEST(FormulaLexerTest, MarksWhitespaceBetweenReferenceOperandsAsIntersection) {
  const std::tuple<const char*, std::size_t, K> cases[] = {  // text, token index, its kind
      {"A1:B5 B2:C9", 1, K::Intersection}, {"(A:A) 3:3", 3, K::Intersection}, {"Rates Tax", 1, K::Intersection},
      {"A1 +B1", 1, K::Whitespace},        {"SUM( A1 )", 2, K::Whitespace},   {"SUM( A1 )", 4, K::Whitespace},
      {"1 A1", 1, K::Whitespace},
  };
  for (const auto& [text, index, kind] : cases) EXPECT_EQ(Kinds(text).at(index).first, kind) << text << " " << index;
}

TEST(FormulaLexerTest, RoundTripsAnyTextExactly) {
  const char* formulas[] = {
      "=SUM( a1 , b1 )",
      "IF(ISERROR(VLOOKUP($B12,'Price list'!$A:$D,4,FALSE)),\"\",VLOOKUP($B12,'Price list'!$A:$D,4,FALSE))",
      "A1:B2 B1:C3",
      "\"unterminated",
      "'unterminated",
      "Table1[[#Headers],[A]",
      "@#$~`\\?",
      "{1,\"a\";TRUE,#N/A}",
      "Ünïcödé!A1&Größe",
      "=\r\n-A1\t",
  };
  for (const char* f : formulas) EXPECT_EQ(JoinTokens(LexFormula(f)), f);
}

}  // namespace
}  // namespace vemo::wb
