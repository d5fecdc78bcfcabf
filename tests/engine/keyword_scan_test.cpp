// The keyword scan: plain cells, formula cells, and scans that must end
// (the report engine's formula rule is with its entry rows).
#include "engine_fixture.h"
#include "host/database/sample_account.h"

namespace vemo::engine::test {
namespace {

const char* kBill = R"({"FID": 1001,
  "fields": {"FBillNo": {"FPage": 1}, "FDate": {"FPage": 1}, "FQty": {"FPage": 2}, "FPrice": {"FPage": 2}},
  "Page1": {"FBillNo": "XS-0001", "FDate": "2026-12-01"},
  "Page2": [{"FQty": 5, "FPrice": 2.5}]})";

// Each template is filled and read back one row down and one column right
// (the margins).
TEST_F(EngineTest, TheScanFillsKeywordCellsAndEnds) {
  struct Case {
    const char* name;
    TemplateLayout layout;
    const char* bill;
    std::vector<std::pair<std::string, std::string>> expected;
  };
  const Case cases[] = {
      // Which text is a keyword is the grammar's: a keyword cell's whole text
      // becomes the value, the label with it; mixed kinds stay unchanged.
      {"plain",
       {.cells = {{"A1", "[$$$UserName]"}, {"A2", "[$Page1_FBillNo]"}, {"A3", "日期：[$Page1_FDate]"},
                  {"A4", "[$Page1_FBillNo][$$Page2_FQty]"}}},
       kBill,
       {{"B2", host::kSampleAdmin}, {"B3", "XS-0001"}, {"B4", "2026-12-01"}, {"B5", "[$Page1_FBillNo][$$Page2_FQty]"}}},
      // Text formulas become live formulas, except "=[$...", whose third
      // character "$" makes it a plain head keyword cell; a sum keyword is
      // spliced as its total, an unknown name as nothing.
      {"formulas",
       {.cells = {{"A1", "=2*[$Page1_FQtyHead]"}, {"A2", "=[$Page1_FBillNo]"}, {"A3", "=2*[$$$$Page2_FQty]+[$Page1_Nothing]"}},
        .textCells = {"A1", "A2", "A3"}},
       R"({"FID": 1, "fields": {"FQtyHead": {"FPage": 1}, "FBillNo": {"FPage": 1}, "FQty": {"FPage": 2, "fsum": true}},
           "Page1": {"FQtyHead": 5, "FBillNo": "7"}, "Page2": [{"FQty": 3}, {"FQty": 4}]})",
       {{"B2", "=2*5"}, {"B3", "7"}, {"B4", "=2*7+"}}},
      // B1 stays unfilled (no kind) and is the only match left after A1 is
      // filled: FindNext keeps answering B1 on the same row.
      {"unfilled cell met again",
       {.cells = {{"A1", "[$Page1_FBillNo]"}, {"B1", "US$[$Page1_FBillNo]"}, {"A3", "=1+[$Page1_FQtyX]"}}, .textCells = {"A3"}},
       kBill,
       {{"B2", "XS-0001"}, {"C2", "US$[$Page1_FBillNo]"}, {"B4", "=1+"}}},
      // The pre-pass stops only at its first address (bill engine); A1 loses
      // its entry keyword, so the walk would circle A2/B2 forever without a guard.
      {"formula pre-pass",
       {.cells = {{"A1", "=0+[$$Page2_FQty]"}, {"A3", "[$Page1_FBillNo]"}, {"B3", "US$[$x_y]"}}, .textCells = {"A1"}},
       kBill,
       {{"B2", "=0+5"}, {"B4", "XS-0001"}, {"C4", "US$[$x_y]"}}},
      {"no keywords", {.cells = {{"A1", "标题"}, {"C5", "12.5"}}}, kBill, {{"B2", "标题"}, {"D6", "12.5"}}},
  };
  int n = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const auto path = MakeTemplate(c.layout, "scan" + std::to_string(++n) + ".xlsx");
    ASSERT_TRUE(FillBill(path, c.bill));
    ExpectCells(path, c.expected);
  }
}

}  // namespace
}  // namespace vemo::engine::test
