#include "workbook/xls/biff_formula.h"

#include <gtest/gtest.h>

#include "workbook/workbook_error.h"

namespace vemo::wb::xls {
namespace {

std::vector<uint8_t> Bytes(std::string_view hex) {
  std::vector<uint8_t> out;
  for (std::size_t i = 0; i + 1 < hex.size(); i += 2) out.push_back(static_cast<uint8_t>(std::stoi(std::string(hex.substr(i, 2)), nullptr, 16)));
  return out;
}

std::string Hex(const std::vector<uint8_t>& bytes) {
  static const char* digits = "0123456789abcdef";
  std::string out;
  for (uint8_t b : bytes) out += {digits[b >> 4], digits[b & 15]};
  return out;
}

// Sheets Sheet1, Sheet2, 'My Sheet', Sheet4; names Tax (workbook),
// Rate (local to Sheet2) and calculatePayment (a user function); one linked
// book with sheets Other and 'My Other' and a name Rate.
FormulaContext Context(std::string secondSheet = "Sheet2") {
  FormulaContext context;
  context.sheetNames = {"Sheet1", secondSheet, "My Sheet", "Sheet4"};
  context.supbooks = {Supbook{}, Supbook{SupbookKind::External, "book.xls", {"Other", "My Other"}, {"Rate"}}};
  context.xti = {{0, 0, 0}, {0, 1, 1}};
  context.names = {{"calculatePayment", 0}, {"Tax", 0}, {"Rate", 2}};
  return context;
}

// Token arrays taken from .xls files written by spreadsheet programs, with
// the text they stand for: decoding gives the text and encoding the text
// gives the same bytes (token classes, jumps, whitespace and all).
TEST(BiffFormulaTest, ReadsAndWritesTokensAsSpreadsheetProgramsDo) {
  struct Case {
    FormulaUse use;
    CellAddress base;
    const char* rgce;
    const char* extra;
    const char* text;
    const char* secondSheet = "Sheet2";
  };
  const Case cases[] = {
      // value-class references, IF with its jumps, a space before the function
      {FormulaUse::Cell, {45, 12}, "442c0006c01e00000b190207001e000019081600442c000ac0442c0006c006194000011908030042030100", "", " IF(G45=0,0,K45/G45)"},
      // a negative constant folded into one number; PMT with a variable count
      {FormulaUse::Cell, {11, 2}, "44040001c01e0c000644080001c044060001c00544020001c042033b001f000000000000f0bf05", "", "PMT(B5/12,B9*B7,B3)*-1"},
      // array-class 3-D areas in SUMPRODUCT
      {FormulaUse::Cell, {54, 6}, "7b010008002b00094009c07b010008002b00044004c04202e4007b010008002b00014001c07b010008002b00044004c04202e40004", "", "SUMPRODUCT(IncurredClaims!J$9:J44,IncurredClaims!E$9:E44)-SUMPRODUCT(IncurredClaims!B$9:B44,IncurredClaims!E$9:E44)", "IncurredClaims"},
      // SUM of one argument as an attribute; a fixed-count function with a text
      {FormulaUse::Cell, {40, 3}, "252700280008c008c019100000252700280003c003c01702003c3e415a0106", "", "SUM(I40:I41)/COUNTIF(D40:D41,\"<>\")"},
      {FormulaUse::Cell, {63, 3}, "1f000000e0fa524241", "", "2401781.75"},
      {FormulaUse::Cell, {5, 4}, "19010000414a00", "", "NOW()"},  // volatile
      // a user function called through a defined name: number 255
      {FormulaUse::Cell, {4, 2}, "230100000024000001c024010001c024020001c04204ff00", "", "calculatePayment(B1,B2,B3)"},
      // shared formulas: offsets from the cell, a column offset of one byte
      {FormulaUse::Shared, {4, 7}, "4c0000ffc01e00000d19020f004c000005c04c0000ffc00619080a001e00001908030042030100", "", "IF(F4>0,L4/F4,0)"},
      {FormulaUse::Shared, {12, 2}, "4cfdff00c04cfaff00c006", "", "B9/B6"},
      {FormulaUse::Array, {130, 2}, "4001010000000000", "01010001000000000000f03f010000000000000040010000000000000840010000000000001040", "{1,2;3,4}"},
      // conditional format: absolute areas plain, the relative cell as an offset, percent
      {FormulaUse::ConditionalFormat, {4, 3}, "250300180002000200420100001e140014054119001e00000d19022500250300180002000200250300180002000200420100001e1400140541190041450119081800194000012503001800020002004201070019080300420301004c000000c00a", "", "IF(INT(COUNT($C$4:$C$25)*20%)>0,LARGE($C$4:$C$25,INT(COUNT($C$4:$C$25)*20%)),MAX( $C$4:$C$25))<=C4"},
      {FormulaUse::DataValidation, {81, 3}, "255000790001000100", "", "$B$81:$B$122"},
      // a name's list of areas: whole columns and rows inside ptgMemFunc
      {FormulaUse::Name, {1, 1}, "2917003b01000000ffff020002003b0100000001000000ff0010", "", "'Pilot Loans'!$C:$C,'Pilot Loans'!$1:$2", "Pilot Loans"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    FormulaContext context = Context(c.secondSheet);
    auto rgce = Bytes(c.rgce);
    auto extra = Bytes(c.extra);
    EXPECT_EQ(DecodeFormula(rgce, extra, c.use, c.base, context), c.text);
    EncodedFormula encoded = EncodeFormula(c.text, c.use, c.base, context);
    EXPECT_EQ(Hex(encoded.rgce), c.rgce);
    EXPECT_EQ(Hex(encoded.extra), c.extra);
  }
}

// Text written as tokens reads back as the same text.
TEST(BiffFormulaTest, TextSurvivesTokensForEveryKindOfToken) {
  struct Case {
    FormulaUse use;
    const char* text;
  };
  const Case cases[] = {
      {FormulaUse::Cell, "1+2.5*3-4/5^6&\"a\"\"b\""}, {FormulaUse::Cell, "-A1%+(+B2)"}, {FormulaUse::Cell, "A1<>B1"},
      {FormulaUse::Cell, "IF(A1<=1,\"x\")=IF(A1>=2,TRUE,FALSE)"}, {FormulaUse::Cell, "CHOOSE(A1,B1,\"two\",C1:C3)"},
      {FormulaUse::Cell, "SUM($A$1:B$2,$C3,D:D,$4:$5)"},
      {FormulaUse::Cell, "Sheet2!A1+'My Sheet'!$B$2+Sheet1:Sheet4!C3"},
      {FormulaUse::Cell, "#REF!A1+Sheet2!#REF!+#DIV/0!+#N/A"}, {FormulaUse::Cell, "Tax*Sheet2!Rate*[1]!Rate"},
      {FormulaUse::Cell, "[1]Other!A1+SUM('[1]My Other'!B2:C3)"},
      {FormulaUse::Cell, "SUM((A1:B2,C3),A1:B2 B1:C3,A1   B1)"},
      {FormulaUse::Cell, "INDEX({1,-2.5;\"x\",TRUE;#N/A,FALSE},2,1)"}, {FormulaUse::Cell, "ROUND(A1,)+NA()+ROW()"},
      {FormulaUse::Cell, "\"中文\"&LEFT(\"été\",1)"}, {FormulaUse::Cell, "_xlfn.CONCAT(A1,\"b\")&EOMONTH(A1,1)"},
      {FormulaUse::Cell, "SUM( A1, B1 )+\n1"}, {FormulaUse::Cell, "1E+20+0.001"},
      {FormulaUse::Shared, "A1+$B$2+C$3+$D4+IV65536"}, {FormulaUse::Array, "SUM(A1:A3*B1:B3)"},
      {FormulaUse::Name, "Sheet1!$A$1:$B$2,Sheet2!$C$3"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    FormulaContext context = Context();
    CellAddress base{10, 5};
    EncodedFormula encoded = EncodeFormula(c.text, c.use, base, context);
    EXPECT_EQ(DecodeFormula(encoded.rgce, encoded.extra, c.use, base, context), c.text);
  }
}

TEST(BiffFormulaTest, RefusesTextThatAnXlsFileCannotHold) {
  const std::pair<FormulaUse, const char*> cases[] = {
      {FormulaUse::Cell, "A65537"},           {FormulaUse::Cell, "IW1"},
      {FormulaUse::Cell, "Table1[Col]"},      {FormulaUse::Cell, "Nope+1"},
      {FormulaUse::Cell, "Missing!A1"},       {FormulaUse::Cell, "[2]Other!A1"},
      {FormulaUse::Cell, "SUM(1"},            {FormulaUse::Cell, "IF(1,2,3,4)"},
      {FormulaUse::Cell, "#SPILL!"},          {FormulaUse::Cell, "{1,2;3}"}, {FormulaUse::Name, "A1"},
  };
  for (auto [use, text] : cases) {
    FormulaContext context = Context();
    EXPECT_THROW(EncodeFormula(text, use, {1, 1}, context), WorkbookError) << text;
  }
  FormulaContext context = Context();
  EXPECT_THROW(EncodeFormula("\"" + std::string(256, 'x') + "\"", FormulaUse::Cell, {1, 1}, context), WorkbookError);
}

// Damaged token arrays are refused with an error, never read past their end.
TEST(BiffFormulaTest, RefusesDamagedTokenArrays) {
  const std::pair<const char*, const char*> cases[] = {
      {"", ""},
      {"4400", ""},                    // ptgRef cut short
      {"ff", ""},                      // no such token
      {"03", ""},                      // an operator without operands
      {"1e01001e0200", ""},            // two values left
      {"1e01002203ff00", ""},          // function with more arguments than values
      {"1e01002203fe00", ""},          // no function number 254
      {"1705004142", ""},              // string longer than the tokens
      {"4000000000000000", "0101"},    // array constant without its size
      {"4000000000000000", "000000ee"},// array value of unknown type
      {"230900000000", ""},            // name 9 of 3
      {"3a0700000000000000", ""},      // sheet list entry 7 of 2
      {"0101000200", ""},              // a pointer to a shared formula
      {"1e010019040500000000", ""},    // CHOOSE jump table past the end
      {"1c63", ""},                    // unknown error code
  };
  FormulaContext context = Context();
  for (auto [rgce, extra] : cases) {
    auto tokens = Bytes(rgce);
    auto data = Bytes(extra);
    EXPECT_THROW(DecodeFormula(tokens, data, FormulaUse::Cell, {1, 1}, context), WorkbookError) << rgce;
  }
  // Deep nesting is bounded by the text it would make, not by recursion.
  std::vector<uint8_t> nested = {0x1E, 0x01, 0x00};
  nested.insert(nested.end(), 60000, 0x15);
  EXPECT_THROW(DecodeFormula(nested, {}, FormulaUse::Cell, {1, 1}, context), WorkbookError);
}

TEST(BiffFormulaTest, FindsTheCellASharedFormulaPointsAt) {
  auto link = FindFormulaLink(Bytes("0104000200"));
  ASSERT_TRUE(link);
  EXPECT_EQ(link->kind, FormulaLink::Kind::SharedOrArray);
  EXPECT_EQ(link->master.row, 5);
  EXPECT_EQ(link->master.col, 3);
  EXPECT_EQ(FindFormulaLink(Bytes("0204000200"))->kind, FormulaLink::Kind::Table);
  EXPECT_FALSE(FindFormulaLink(Bytes("1e0100")));
}

}  // namespace
}  // namespace vemo::wb::xls
