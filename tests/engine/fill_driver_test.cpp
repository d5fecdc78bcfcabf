// The fill driver: inputs, sheets, margins, saving, identification.
#include "engine_fixture.h"
#include "context/scripted_desktop.h"
#include "foundation/creation_service.h"
#include "foundation/json_convert.h"
#include "host/spreadsheet/spreadsheet_application.h"

namespace vemo::engine::test {
namespace {

const char* kSmallBill = R"({"FID": 1001,
  "fields": {"FBillNo": {"FPage": 1}, "FQty": {"FPage": 2}},
  "Page1": {"FBillNo": "XS-0001"}, "Page2": [{"FQty": 5}]})";

TEST_F(EngineTest, FilledOutputKeepsTheFirstSheetAndGainsMargins) {
  const auto path = MakeTemplate({.cells = {{"A1", "单号[$Page1_FBillNo]"}, {"C3", "[$$Page2_FQty]"}},
                                  .sheets = 3,
                                  .id = "FClassTypeID=1020002"});
  ASSERT_TRUE(FillBill(path, kSmallBill));
  EXPECT_EQ(host::LiveApplicationCount(), 0u);
  auto app = host::SurfaceApplication::Create();
  auto sheets = app->Workbooks()->Open(path)->Worksheets();
  EXPECT_EQ(sheets->Count(), 1);  // where the filled cells move to: the keyword scan tests
  EXPECT_DOUBLE_EQ(sheets->Item(1)->Rows(1)->RowHeight(), 10);
  EXPECT_DOUBLE_EQ(sheets->Item(1)->Columns(1)->ColumnWidth(), 1);
  app->Quit();
}

TEST_F(EngineTest, IncompleteInputsAnswerFalseWithoutStartingTheApplication) {
  const auto path = MakeTemplate({.cells = {{"A1", "[$Page1_FBillNo]"}}});
  const auto before = std::filesystem::last_write_time(path);
  EXPECT_FALSE(FillBill(path, R"({"FID": 0, "fields": {}, "Page1": {}})"));  // no FID: bill id 0
  EXPECT_FALSE(FillBill("", kSmallBill));
  {
    ExcelOperaterRpt engine;  // head values without rows
    engine.SetFileAllName(path);
    engine.SetRptHeadData(HostDictionary::Create());
    EXPECT_FALSE(engine.ExportSingleRecordDataToExcel());
  }
  {
    ExcelOperaterLM engine;  // dataFrom 1 needs the data service
    engine.SetDataFrom(1);
    engine.SetFileAllName(path);
    engine.SetData(ParseJsonText(R"({"FID": 5})").ToObject());
    EXPECT_FALSE(engine.ExportSingleRecordDataToExcel());
  }
  EXPECT_EQ(std::filesystem::last_write_time(path), before);
  EXPECT_EQ(host::LiveApplicationCount(), 0u);
}

TEST_F(EngineTest, DataSourceTypeTwoPassesTheInputCheck) {
  const auto path = MakeTemplate({.cells = {{"A1", "[$$$CurLine]"}}});
  ExcelOperater engine;
  engine.SetDataSourceType(2);
  engine.SetFileAllName(path);
  EXPECT_TRUE(engine.ExportSingleRecordDataToExcel());
  ExpectCells(path, {{"B2", "1"}});
}

TEST_F(EngineTest, WaybillFromTheScreenNeedsNoDataServiceAndAddsNoMargins) {
  const auto path = MakeTemplate({.cells = {{"A1", "[$Page1_FQty]"}, {"B1", "[$Page1_FQty.SUM]"}}});
  ExcelOperaterLM engine;
  engine.SetFileAllName(path);
  auto data = ParseJsonText(R"({"FID": 5, "Page1": [{"FQty": 7}, {"FQty": 9}]})").ToObject();
  engine.SetData(data);
  ASSERT_TRUE(engine.ExportSingleRecordDataToExcel());
  ExpectCells(path, {{"A1", "7"},   // row 1 of Page1, no margin row
                     {"B1", ""}});  // a dotted name is empty
}

TEST_F(EngineTest, ValidateTemplateComparesTheExactIdentificationText) {
  const auto two = MakeTemplate({.sheets = 2}, "two.xlsx");
  const auto good = MakeTemplate({.sheets = 3, .id = "FClassTypeID=21"}, "good.xlsx");
  const auto padded = MakeTemplate({.sheets = 3, .id = "FClassTypeID=021"}, "padded.xlsx");
  const auto report = MakeTemplate({.sheets = 3, .id = "FTemplateID=21"}, "report.xlsx");
  const std::string missing = (temp_.path() / "missing.xlsx").string();
  ExcelOperater bill, billFromReports, billFromNothing;
  billFromReports.SetDataSourceType(1);
  billFromNothing.SetDataSourceType(2);  // nothing is expected: never valid
  ExcelOperaterRpt reportEngine;         // always FTemplateID=, whatever the data source type
  ExcelOperaterLM waybill;
  const std::tuple<TemplateEngine*, std::string, bool> cases[] = {
      {&bill, two, false},           {&bill, good, true},           {&bill, padded, false},  {&bill, report, false},
      {&bill, missing, false},       {&billFromReports, report, true}, {&billFromNothing, good, false},
      {&reportEngine, good, false},  {&reportEngine, report, true}, {&waybill, good, true},  {&waybill, report, false},
  };
  for (const auto& [engine, file, valid] : cases) EXPECT_EQ(engine->ValidateTemplate(file, 21), valid) << file;
  EXPECT_EQ(host::LiveApplicationCount(), 0u);
}

TEST_F(EngineTest, AnOldApplicationRefusesXlsxAndTheInstanceIsEnded) {
  // An application reporting version 11 under the identifier the engine creates.
  ScopedFactory old("ET.Application", [] {
    auto app = host::SurfaceApplication::Create();
    app->SetVersion("11.0");
    return ObjectRef(app);
  });
  auto desktop = std::make_shared<context::ScriptedDesktop>();
  context::ScopedDesktop use(desktop);
  const auto path = MakeTemplate({.cells = {{"A1", "[$Page1_FBillNo]"}}});
  EXPECT_FALSE(FillBill(path, kSmallBill));
  ASSERT_EQ(desktop->Messages().size(), 1u);
  EXPECT_EQ(desktop->Messages()[0].kind, context::ShownMessage::Kind::HostMessage);
  EXPECT_EQ(desktop->Messages()[0].text, "系统不能引出xlsx格式的文件，请安装Excel2007或以上版本软件！");
  EXPECT_EQ(host::LiveApplicationCount(), 0u);
  ExpectCells(path, {{"A1", "[$Page1_FBillNo]"}});  // nothing saved
}

}  // namespace
}  // namespace vemo::engine::test
