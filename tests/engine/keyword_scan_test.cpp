// The keyword scan: plain cells, formula cells, and scans that must end.
#include <ctime>

#include "context/spreadsheet_detection.h"
#include "engine_fixture.h"

namespace vemo::engine::test {
namespace {

const char* kBill = R"({"FID": 1001,
  "fields": {"FBillNo": {"FPage": 1}, "FDate": {"FPage": 1}, "FQty": {"FPage": 2}, "FPrice": {"FPage": 2},
             "A": {"FPage": 1}, "B": {"FPage": 1}},
  "Page1": {"FBillNo": "XS-0001", "FDate": "2026-12-01", "A": "a", "B": "b"},
  "Page2": [{"FQty": 5, "FPrice": 2.5}]})";

std::string ThisYear() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return std::to_string(1900 + local.tm_year);
}

TEST_F(EngineTest, PlainCellsTakeTheirWholeCellsValue) {
  const auto path = MakeTemplate({.cells = {
                                      {"A1", "[$$$CurYear]"},
                                      {"A2", "[$Page1_FBillNo]"},
                                      {"A3", "[$FBillNo]"},                       // no "_": empty
                                      {"A4", "日期：[$Page1_FDate]"},             // the label is lost
                                      {"A5", "[$Page1_FBillNo][$$Page2_FQty]"},   // mixed kinds: unchanged
                                      {"A6", "[$Page1_A] [$Page1_B]"},            // two keywords: emptied
                                      {"A7", "US$[$Page1_FBillNo]"},              // a "$" of its own: unchanged
                                      {"A8", "[$$$cUrYeAr.head]"},
                                  }});
  ASSERT_TRUE(FillBill(path, kBill));
  EXPECT_EQ(Cell(path, "B2"), ThisYear());
  EXPECT_EQ(Cell(path, "B3"), "XS-0001");
  EXPECT_EQ(Cell(path, "B4"), "");
  EXPECT_EQ(Cell(path, "B5"), "2026-12-01");
  EXPECT_EQ(Cell(path, "B6"), "[$Page1_FBillNo][$$Page2_FQty]");
  EXPECT_EQ(Cell(path, "B7"), "");
  EXPECT_EQ(Cell(path, "B8"), "US$[$Page1_FBillNo]");
  EXPECT_EQ(Cell(path, "B9"), ThisYear());
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
  EXPECT_EQ(Cell(path, "B2"), "=2*5");
  // "=[$..." has "$" as its third character: a plain head keyword cell.
  EXPECT_EQ(Cell(path, "B3"), "7");
  // Sum keyword spliced as its total; an unknown name spliced as nothing.
  EXPECT_EQ(Cell(path, "B4"), "=2*7+");
}

TEST_F(EngineTest, TheReportEngineTakesAnyTextWithEqualsAsAFormula) {
  const auto path = MakeTemplate({.cells = {{"A1", "=[$$$BDate]"}}, .textCells = {"A1"}});
  ExcelOperaterRpt engine;
  engine.SetFileAllName(path);
  auto head = HostDictionary::Create();
  head->Set("BDate", Variant(std::string("45000")));
  engine.SetRptHeadData(head);
  engine.SetRptEntryData(Recordset::Create({"FCustName"}, {{Variant(std::string("鼎盛"))}}));
  ASSERT_TRUE(engine.ExportSingleRecordDataToExcel());
  EXPECT_EQ(Cell(path, "B2"), "=45000");
}

TEST_F(EngineTest, AScanEndsWhenAnUnfilledCellIsMetAgainOnItsRow) {
  // B1 stays unfilled (no kind) and is the only match left after A1 is
  // filled: FindNext keeps answering B1 on the same row.
  const auto path = MakeTemplate({.cells = {{"A1", "[$Page1_FBillNo]"}, {"B1", "US$[$Page1_FBillNo]"},
                                            {"A3", "=1+[$Page1_FQtyX]"}},
                                  .textCells = {"A3"}});
  ASSERT_TRUE(FillBill(path, kBill));
  EXPECT_EQ(Cell(path, "B2"), "XS-0001");
  EXPECT_EQ(Cell(path, "C2"), "US$[$Page1_FBillNo]");
  EXPECT_EQ(Cell(path, "B4"), "=1+");
}

TEST_F(EngineTest, TheFormulaPrepassEndsWhenItsFirstCellLosesItsKeyword) {
  // The pre-pass stops only at its first address (bill engine); A1 loses its
  // entry keyword, so the walk would circle A2/B2 forever without a guard.
  const auto path = MakeTemplate({.cells = {{"A1", "=0+[$$Page2_FQty]"}, {"A3", "[$Page1_FBillNo]"},
                                            {"B3", "US$[$x_y]"}},
                                  .textCells = {"A1"}});
  ASSERT_TRUE(FillBill(path, kBill));
  EXPECT_EQ(Cell(path, "B2"), "=0+5");
  EXPECT_EQ(Cell(path, "B4"), "XS-0001");
  EXPECT_EQ(Cell(path, "C4"), "US$[$x_y]");
}

TEST_F(EngineTest, ATemplateWithoutKeywordsIsSavedUnchangedApartFromMargins) {
  const auto path = MakeTemplate({.cells = {{"A1", "标题"}, {"C5", "12.5"}}});
  ASSERT_TRUE(FillBill(path, kBill));
  EXPECT_EQ(Cell(path, "B2"), "标题");
  EXPECT_EQ(Cell(path, "D6"), "12.5");
}

}  // namespace
}  // namespace vemo::engine::test
