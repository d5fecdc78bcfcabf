// Entry rows: expansion, columns, line numbers, formula rows, the report's
// one-by-one insertion and the outside cell handler.
#include "context/long_work.h"
#include "context/scripted_desktop.h"
#include "engine/outside_cell_handler.h"
#include "engine_fixture.h"
#include "foundation/creation_service.h"
#include "foundation/json_convert.h"
#include "host/components/prog_ids.h"
#include "host/components/security_info.h"

namespace vemo::engine::test {
namespace {

// Page2 lines {FQty: 10 i, FPrice: i}, Page3 lines {FNote: "n" i}.
std::string BillWithRows(int rows, int page3Rows = 0) {
  Json bill = Json::parse(R"({"FID": 1, "fields": {"FQty": {"FPage": 2}, "FPrice": {"FPage": 2}, "FNote": {"FPage": 3}},
                              "Page1": {}, "Page2": [], "Page3": []})");
  for (int i = 1; i <= rows; ++i) bill["Page2"].push_back({{"FQty", i * 10}, {"FPrice", i}});
  for (int i = 1; i <= page3Rows; ++i) bill["Page3"].push_back({{"FNote", "n" + std::to_string(i)}});
  return bill.dump();
}

TEST_F(EngineTest, OneRowInsertsNothingAndNoRowsEmptiesTheKeyword) {
  const auto one = MakeTemplate({.cells = {{"C10", "[$$Page2_FQty]"}, {"C11", "合计"}}}, "one.xlsx");
  ASSERT_TRUE(FillBill(one, BillWithRows(1)));
  ExpectCells(one, {{"D11", "10"}, {"D12", "合计"}});
  const auto none = MakeTemplate({.cells = {{"C10", "[$$Page2_FQty]"}, {"C11", "合计"}, {"D10", "=0+[$$Page2_FPrice]"}},
                                  .textCells = {"D10"}},
                                 "none.xlsx");
  ASSERT_TRUE(FillBill(none, BillWithRows(0)));
  ExpectCells(none, {{"D11", ""}, {"E11", "=0+"}, {"D12", "合计"}});
}

// Each line fills a row of its own, numbered by the entry id; two tables
// expand independently, and what stood below moves down.
TEST_F(EngineTest, EntryRowsExpandPerTableAndNumberTheirLines) {
  const auto path = MakeTemplate({.cells = {{"A2", "[$$Page2_FQty]"}, {"B2", "[$$Page2_EntryID]"}, {"C2", "[$$Page2_FPrice]"},
                                            {"A4", "[$$Page3_FNote]"}, {"A6", "end"}}});
  ASSERT_TRUE(FillBill(path, BillWithRows(3, 2)));
  ExpectCells(path, {{"B3", "10"}, {"C3", "1"}, {"D3", "1"}, {"B4", "20"}, {"C4", "2"}, {"D4", "2"}, {"B5", "30"},
                     {"C5", "3"}, {"D5", "3"}, {"B7", "n1"}, {"B8", "n2"}, {"B10", "end"}});
}

TEST_F(EngineTest, FormulaCellsBecomeOneLiveFormulaPerLine) {
  const auto path = MakeTemplate({.cells = {{"A2", "[$$Page2_FQty]"},
                                            {"B2", "=0+[$$Page2_FQty]*[$$Page2_FPrice]"},
                                            {"C2", "=[$$Page2_FQty]*[$$Page2_FPrice]"},
                                            {"D2", "=[$$Page2_EntryID]+0"}},
                                  .textCells = {"B2", "C2", "D2"}});
  ASSERT_TRUE(FillBill(path, BillWithRows(3)));
  ExpectCells(path, {{"C3", "=0+10*1"},
                     {"C5", "=0+30*3"},
                     // "=[$$..." is a plain cell to the bill engine: its page key "=Page2" names no table.
                     {"D3", ""},
                     // Its copies are entry cells of that missing table as well: each is emptied.
                     {"E4", ""}});
}

// The report engine inserts copies one by one, reads its rows from the
// report's records and takes any text with "=" as a formula.
TEST_F(EngineTest, TheReportEngineInsertsCopiesOneByOneAndReadsReportRows) {
  const auto path = MakeTemplate({.cells = {{"A1", "=[$$$BDate]"}, {"A2", "[$$Page9_FAmount]"}, {"B2", "[$$Page2_EntryID]"},
                                            {"A3", "end"}},
                                  .textCells = {"A1"}});
  ExcelOperaterRpt engine;
  engine.SetFileAllName(path);
  engine.SetRptHeadData(ParseJsonText(R"({"BDate": "45000"})").AsObject<HostDictionary>());
  std::vector<std::vector<Variant>> rows;
  for (int i = 1; i <= 5; ++i) rows.push_back({Variant(std::string("c")), Variant(i * 1.5)});
  engine.SetRptEntryData(Recordset::Create({"FCustName", "FAmount"}, rows));
  ASSERT_TRUE(engine.ExportSingleRecordDataToExcel());
  ExpectCells(path, {{"B2", "=45000"}, {"B3", "1.5"}, {"B7", "7.5"}, {"C7", "5"}, {"B8", "end"}});
}

// A host's outside cell handler that writes item numbers into empty cells.
class NumberingHandler : public IOutsideCellHandler {
 public:
  std::string TypeName() const override { return "NumberingHandler"; }
  void init() override { ++inits; }
  bool DealSetBodyCell(const std::shared_ptr<host::IRange>& cell, std::string& fieldName, std::string& itemID,
                       std::int32_t& classTypeID, std::int32_t&, std::int32_t& row) override {
    if (fieldName != "FHandled") return false;
    cell->SetValue(Variant(fieldName + ":" + itemID + ":" + std::to_string(classTypeID) + ":" + std::to_string(row)));
    return true;
  }
  static inline int inits = 0;
};

class ProfileWithHandler : public host::ISystemProfile {
 public:
  std::string TypeName() const override { return "ProfileWithHandler"; }
  std::string GetProfile(std::string_view, std::string_view category, std::string_view key) override {
    return category == "IC" && key == "ThirdPrintCom" ? "  Host.NumberingHandler " : "";
  }
};

TEST_F(EngineTest, TheOutsideCellHandlerWritesEmptyEntryCellsAndAnUnknownOneIsIgnored) {
  ScopedFactory profile(std::string(host::progid::kSystemProfile), [] { return std::make_shared<ProfileWithHandler>(); });
  const char* bill = R"({"FID": 1, "classTypeID": 1020002, "fields": {"FItemID": {"FPage": 2}},
                         "Page1": {}, "Page2": [{"FItemID": 77}, {"FItemID": 78}]})";
  {
    ScopedFactory handler("Host.NumberingHandler", [] { return std::make_shared<NumberingHandler>(); });
    NumberingHandler::inits = 0;
    const auto path = MakeTemplate({.cells = {{"A1", "[$$Page2_FHandled]"}, {"B1", "[$$Page2_FOther]"},
                                              {"C1", "[$$Page2_FItemID]"}}});
    ASSERT_TRUE(FillBill(path, bill));
    EXPECT_EQ(NumberingHandler::inits, 1);
    ExpectCells(path, {{"B2", "FHandled:77:1020002:1"},
                       {"B3", "FHandled:78:1020002:2"},
                       {"C2", ""},  // the handler declined: emptied
                       {"D3", "78"}});
  }
  const auto path = MakeTemplate({.cells = {{"A1", "[$$Page2_FHandled]"}, {"B1", "[$$Page2_FItemID]"}}}, "unknown.xlsx");
  ASSERT_TRUE(FillBill(path, bill));
  ExpectCells(path, {{"B2", ""}, {"C2", "77"}});
}

// A long fill shows its progress, and Cancel ends the whole fill: the
// statement-by-statement error rule does not swallow it.
TEST_F(EngineTest, ALongFillShowsProgressAndCancelEndsIt) {
  const int lines = static_cast<int>(context::LongWork::kShownFrom) + 1000;
  for (bool cancel : {false, true}) {
    // The fill writes its result over the template: one each.
    const auto path = MakeTemplate({.cells = {{"A2", "[$$Page2_FQty]"}, {"B2", "[$$Page2_FPrice]"}}},
                                   cancel ? "cancelled.xlsx" : "whole.xlsx");
    auto desktop = std::make_shared<context::ScriptedDesktop>();
    if (cancel) desktop->StopProgressAfter(1);
    context::ScopedDesktop use(desktop);
    EXPECT_EQ(FillBill(path, BillWithRows(lines)), !cancel) << cancel;
    const auto shown = desktop->ProgressShown();
    ASSERT_FALSE(shown.empty()) << cancel;
    EXPECT_EQ(shown.size() == 1, cancel) << "cancelled in the first column, the second never starts";
    EXPECT_EQ(shown[0].what, "filling " + std::to_string(lines) + " lines");
  }
}

}  // namespace
}  // namespace vemo::engine::test
