#include "workbook/formulas/formula_parser.h"

#include <gtest/gtest.h>

namespace vemo::wb {
namespace {

// Prints the tree as nested lists so tests can state the expected grouping.
std::string Show(const FormulaNode& n) {
  using K = FormulaNode::Kind;
  auto kids = [&n](std::string head) {
    for (const auto& c : n.children) head += " " + Show(*c);
    return "(" + head + ")";
  };
  switch (n.kind) {
    case K::Number: {
      std::string s = std::to_string(n.number);
      s.erase(s.find_last_not_of('0') + 1);
      if (s.back() == '.') s.pop_back();
      return s;
    }
    case K::Text: return "\"" + n.text + "\"";
    case K::Boolean: return n.boolean ? "TRUE" : "FALSE";
    case K::Error: return std::string(ErrorText(n.error));
    case K::Reference: return n.text;
    case K::Name: return "name:" + (n.nameSheet.empty() ? "" : n.nameSheet + "|") + n.name;
    case K::Function: return kids(n.text);
    case K::Unary: return kids("neg" + std::string(n.text == "+" ? "+" : ""));
    case K::Percent: return kids("%");
    case K::Binary: return kids(n.text);
    case K::Range: return kids(":");
    case K::Intersection: return kids("isect");
    case K::Union: return kids("union");
    case K::Array: return "{" + std::to_string(n.array.size()) + "x" + std::to_string(n.array[0].size()) + "}";
    case K::Missing: return "_";
    case K::Unsupported: return "?" + n.text;
  }
  return "!";
}

std::string Parse(std::string_view f) {
  ParsedFormula p = ParseFormula(f);
  return p.root ? Show(*p.root) : "error: " + p.error;
}

// Each formula parses to the tree shown.
void ExpectParsed(std::initializer_list<std::pair<const char*, const char*>> cases) {
  for (const auto& [formula, tree] : cases) EXPECT_EQ(Parse(formula), tree) << formula;
}

TEST(FormulaParserTest, GroupsByPrecedenceAndReadsArgumentsAndConstants) {
  ExpectParsed({
      {"=1+2*3", "(+ 1 (* 2 3))"}, {"-2^2", "(^ (neg 2) 2)"}, {"2^3^2", "(^ (^ 2 3) 2)"}, {"-5%", "(% (neg 5))"},
      {"1&2=3-4", "(= (& 1 2) (- 3 4))"}, {"1 - -A1", "(- 1 (neg A1))"}, {"a<>b", "(<> name:a name:b)"},
      // reference operators bind tightest
      {"-A1:B2 B1", "(neg (isect A1:B2 B1))"}, {"SUM((A1,B2:C3))", "(SUM (union A1 B2:C3))"},
      {"A1:INDEX(B:B,2)", "(: A1 (INDEX B:B 2))"},
      {"Data!Tax*'My Sheet'!Rate", "(* name:Data|Tax name:My Sheet|Rate)"},
      // function arguments and constants
      {"IF(A1,,\"x\"\"y\")", "(IF A1 _ \"x\"y\")"}, {"_xlfn.CONCAT(1)", "(CONCAT 1)"}, {"TODAY()", "(TODAY)"},
      {"SUM({1,2,3;4,5,-6})", "(SUM {2x3})"}, {"#N/A+#REF!A1+Data!#REF!", "(+ (+ #N/A #REF!) #REF!)"},
      {"Table1[Qty]+[1]Data!A1+Jan:Mar!B2", "(+ (+ ?Table1[Qty] ?[1]Data!A1) ?Jan:Mar!B2)"},
  });
}

TEST(FormulaParserTest, ReportsWhereTheTextIsBroken) {
  for (const char* bad : {"", "1+", "SUM(1", "(1", "1)", "{1,2;3}", "{A1}", "1 2", "\"a\" \"b\"", "*2"}) {
    ParsedFormula p = ParseFormula(bad);
    EXPECT_EQ(p.root, nullptr) << bad;
    EXPECT_NE(p.error.find("offset"), std::string::npos) << bad;
  }
  EXPECT_NE(ParseFormula("1)").error.find("offset 1"), std::string::npos);
}

// Deep nesting is refused with a reason, at any length, and never reaches the
// end of the stack; the same shapes a little less deep are read.
TEST(FormulaParserTest, NestingIsBounded) {
  auto times = [](std::string_view piece, int n) {
    std::string out;
    while (n-- > 0) out += piece;
    return out;
  };
  const std::pair<std::string, bool> cases[] = {  // formula, read
      {"=" + times("(", 5000), false},          {"=" + times("-", 20000) + "1", false},
      {"=1" + times("+1", 5000), false},        {"=" + times("ABS(", 5000) + "1" + times(")", 5000), false},
      {"=1" + times("%", 5000), false},         {"=A1" + times(":A1", 5000), false},
      {"=" + times("(", 250) + "1" + times(")", 250), true},
      {"=" + times("ABS(", 120) + "1" + times(")", 120), true},
      {"=1" + times("+1", 250), true},
  };
  for (const auto& [formula, read] : cases) {
    ParsedFormula p = ParseFormula(formula);
    EXPECT_EQ(p.root != nullptr, read) << formula.substr(0, 12) << ": " << p.error;
    EXPECT_EQ(p.error.find("nested more than 256 levels") != std::string::npos, !read) << p.error.substr(0, 300);
  }
}

}  // namespace
}  // namespace vemo::wb
