#include "engine_fixture.h"

#include <cstdlib>
#include <fstream>

#include "foundation/json_convert.h"
#include "host/components/bill_data_service.h"
#include "host/components/database_components.h"
#include "host/database/account_location.h"
#include "host/database/sample_account.h"
#include "host/spreadsheet/spreadsheet_application.h"
#include "support/run_command.h"

namespace vemo::engine::test {
namespace {

constexpr const char* kAccount = "EngineTest";

std::string PropsFor(const std::string& user) { return host::MakePropsString(kAccount, user); }

}  // namespace

EngineTest::EngineTest() {
  host::InitializeSampleAccount(host::DatabasePath(kAccount), false);
  host::RegisterDatabaseComponents();
  host::RegisterSpreadsheetApplication();
  LoginAs(host::kSampleAdmin);
}

void EngineTest::LoginAs(const std::string& user) { Publish({{"UserName", user}, {"PropsString", PropsFor(user)}}); }

std::string EngineTest::MakeTemplate(const TemplateLayout& layout, const std::string& name) {
  Json json;
  json["cells"] = layout.cells;
  json["text"] = layout.textCells;
  json["sheets"] = layout.sheets;
  if (!layout.id.empty()) json["id"] = layout.id;
  const auto layoutFile = temp_.path() / (name + ".json");
  std::ofstream(layoutFile) << json.dump();
  const auto out = temp_.path() / name;
  const auto script = vemo::test::SourceDir() / "tests/engine/data/make_template.py";
  const auto result = vemo::test::RunCommand("/usr/bin/python3 " + vemo::test::ShellQuote(script) + " " +
                                             vemo::test::ShellQuote(layoutFile) + " " + vemo::test::ShellQuote(out));
  EXPECT_EQ(result.status, 0) << result.output;
  return out.string();
}

EngineTest::BillInputs EngineTest::ExpandBill(const std::string& shortJson) {
  const Json bill = Json::parse(shortJson);
  const int classTypeId = bill.value("classTypeID", 1020002);
  Json tableInfo = {{"Map", Json::object()}};
  Json data = {{"FID", bill.value("FID", 1001)}};
  int tab = 0;
  std::map<std::string, std::string> keys;
  for (const auto& [name, description] : bill.at("fields").items()) {
    char key[64];
    std::snprintf(key, sizeof key, "_%04d_%s", ++tab, name.c_str());
    keys[name] = key;
    Json info = {{"FKey", name}, {"FPage", 1}, {"FTabIndex", tab}, {"CtlIndex", 0}, {"FSourceType", 0},
                 {"FLookUpClassID", 0}, {"FCtlType", 0}, {"FKeyWord", ""}, {"FClassTypeID", classTypeId},
                 {"fsum", false}};
    for (const auto& [member, value] : description.items()) info[member] = value;
    tableInfo["Map"][name] = key;
    tableInfo[key] = info;
  }
  auto valueObject = [](const Json& value) {
    if (value.is_object()) return value;
    return Json{{"FFLD", value}, {"FDSP", value}, {"FFND", ""}};
  };
  Json entries = Json::array();
  int pages = 0;
  for (const auto& [member, value] : bill.items()) {
    if (member.rfind("Page", 0) != 0) continue;
    pages = std::max(pages, std::atoi(member.c_str() + 4));
    if (value.is_array()) {
      Json rows = Json::array();
      for (const Json& row : value) {
        Json converted = Json::object();
        for (const auto& [name, v] : row.items()) converted[keys.count(name) ? keys[name] : name] = valueObject(v);
        rows.push_back(converted);
      }
      data[member] = rows;
    } else {
      Json head = Json::object();
      for (const auto& [name, v] : value.items()) head[keys.count(name) ? keys[name] : name] = valueObject(v);
      data[member] = head;
    }
  }
  for (int page = 1; page <= pages; ++page) {
    const std::string key = "Page" + std::to_string(page);
    entries.push_back({{"FEntryType", bill.contains(key) && bill[key].is_array() ? 1 : 0}});
  }
  Json dataSrv = {{"classtype", {{"FID", classTypeId}, {"FBillTypeID", 20}, {"FName", bill.value("FName", "销售发票")}}},
                  {"ClassTypeEntry", entries},
                  {"classTypeID", classTypeId}};
  BillInputs inputs;
  auto dataSrvDict = FromJson(dataSrv).AsObject<HostDictionary>();
  inputs.dataSrv = host::BillDataService::FromRequest(*dataSrvDict, PropsFor(host::kSampleAdmin));
  inputs.data = FromJson(data).ToObject();
  inputs.tableInfo = FromJson(tableInfo).ToObject();
  return inputs;
}

bool EngineTest::FillBill(const std::string& path, const std::string& requestJson) {
  const BillInputs inputs = ExpandBill(requestJson);
  ExcelOperater engine;
  engine.SetFileAllName(path);
  engine.SetDataSrv(inputs.dataSrv);
  engine.SetData(inputs.data);
  engine.SetTableInfo(inputs.tableInfo);
  return engine.ExportSingleRecordDataToExcel();
}

void EngineTest::ExpectCells(const std::string& path, const std::vector<std::pair<std::string, std::string>>& cells) {
  auto app = host::SurfaceApplication::Create();
  auto sheet = app->Workbooks()->Open(path)->Worksheets()->Item(1);
  for (const auto& [address, expected] : cells) {
    auto cell = sheet->Range(address);
    EXPECT_EQ(cell->HasFormula() ? cell->Formula() : cell->Text(), expected) << "cell " << address;
  }
  app->Quit();
}

}  // namespace vemo::engine::test
