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

// Which text is a keyword is the grammar's: the scan replaces a keyword
// cell's whole text with the value and leaves other cells alone.
TEST_F(EngineTest, PlainCellsTakeTheirWholeCellsValue) {
  const auto path = MakeTemplate({.cells = {{"A1", "[$$$UserName]"},
                                            {"A2", "[$Page1_FBillNo]"},
                                            {"A3", "日期：[$Page1_FDate]"},             // the label is lost
                                            {"A4", "[$Page1_FBillNo][$$Page2_FQty]"}}});  // mixed kinds: unchanged
  ASSERT_TRUE(FillBill(path, kBill));
  ExpectCells(path, {{"B2", host::kSampleAdmin}, {"B3", "XS-0001"}, {"B4", "2026-12-01"}, {"B5", "[$Page1_FBillNo][$$Page2_FQty]"}});
}

TEST_F(EngineTest, TextFormulasBecomeLiveFormulasExceptWithADollarThird) {
  const auto path = MakeTemplate({.cells = {{"A1", "=2*[$Page1_FQtyHead]"},
                                            {"A2", "=[$Page1_FBillNo]"},
                                            {"A3", "=2*[$$$$Page2_FQty]+[$Page1_Nothing]"}},
                                  .textCells = {"A1", "A2", "A3"}});
  const char* bill = R"({"FID": 1, "fields": {"FQtyHead": {"FPage": 1}, "FBillNo": {"FPage": 1},
                          "FQty": {"FPage": 2, "fsum": true}},
                         "Page1": {"FQtyHead": 5, "FBillNo": "7"}, "Page2": [{"FQty": 3}, {"FQty": 4}]})";
  ASSERT_TRUE(FillBill(path, bill));
  ExpectCells(path, {{"B2", "=2*5"},
                     // "=[$..." has "$" as its third character: a plain head keyword cell.
                     {"B3", "7"},
                     // Sum keyword spliced as its total; an unknown name spliced as nothing.
                     {"B4", "=2*7+"}});
}

TEST_F(EngineTest, AScanEndsWhenAnUnfilledCellIsMetAgainOnItsRow) {
  // B1 stays unfilled (no kind) and is the only match left after A1 is
  // filled: FindNext keeps answering B1 on the same row.
  const auto path = MakeTemplate({.cells = {{"A1", "[$Page1_FBillNo]"}, {"B1", "US$[$Page1_FBillNo]"},
                                            {"A3", "=1+[$Page1_FQtyX]"}},
                                  .textCells = {"A3"}});
  ASSERT_TRUE(FillBill(path, kBill));
  ExpectCells(path, {{"B2", "XS-0001"}, {"C2", "US$[$Page1_FBillNo]"}, {"B4", "=1+"}});
}

TEST_F(EngineTest, TheFormulaPrepassEndsWhenItsFirstCellLosesItsKeyword) {
  // The pre-pass stops only at its first address (bill engine); A1 loses its
  // entry keyword, so the walk would circle A2/B2 forever without a guard.
  const auto path = MakeTemplate({.cells = {{"A1", "=0+[$$Page2_FQty]"}, {"A3", "[$Page1_FBillNo]"},
                                            {"B3", "US$[$x_y]"}},
                                  .textCells = {"A1"}});
  ASSERT_TRUE(FillBill(path, kBill));
  ExpectCells(path, {{"B2", "=0+5"}, {"B4", "XS-0001"}, {"C4", "US$[$x_y]"}});
}

TEST_F(EngineTest, ATemplateWithoutKeywordsIsSavedUnchangedApartFromMargins) {
  const auto path = MakeTemplate({.cells = {{"A1", "标题"}, {"C5", "12.5"}}});
  ASSERT_TRUE(FillBill(path, kBill));
  ExpectCells(path, {{"B2", "标题"}, {"D6", "12.5"}});
}

}  // namespace
}  // namespace vemo::engine::test
