// The engine tests' world, on the clean session context of every context
// test (private machine configuration, scripted desktop): a company
// database of their own (the sample
// account, user Administrator unless a test logs in as someone else), our
// components and spreadsheet application registered, templates written by
// openpyxl, bills given as JSON request text, results read back through the
// spreadsheet surface.
#pragma once
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "engine/excel_operater.h"
#include "foundation/host_collections.h"
#include "support/session_fixture.h"

namespace vemo::engine::test {

struct TemplateLayout {
  std::map<std::string, std::string> cells;  // "A1" -> text (numbers as text are written as numbers)
  std::vector<std::string> textCells;        // formatted "@"
  int sheets = 1;
  std::string id;                            // B3 of sheet 3
};

class EngineTest : public vemo::test::ContextTest {
 protected:
  EngineTest();

  // Logs in as another user of the sample account ("李四" has no rights).
  void LoginAs(const std::string& user);

  std::string MakeTemplate(const TemplateLayout& layout, const std::string& name = "template.xlsx");

  // A bill in a short form, expanded to the host's shapes:
  //   {"classTypeID": 1020002, "FID": 1001, "FName": "销售发票",
  //    "fields": {"FBillNo": {"FPage": 1}, "FQty": {"FPage": 2, "fsum": true}},
  //    "Page1": {"FBillNo": "XS-1"}, "Page2": [{"FQty": 5}, {"FQty": 3}]}
  // Field descriptions get FKey, FTabIndex (their position), FClassTypeID
  // and defaults; a plain value v becomes {"FFLD": v, "FDSP": v, "FFND": ""},
  // an object value is taken as the value object. Pages given as lists are
  // entry tables (FEntryType 1).
  struct BillInputs {
    ObjectRef dataSrv, data, tableInfo;
  };
  static BillInputs ExpandBill(const std::string& shortJson);

  // Runs the bill engine on the template with the request JSON.
  bool FillBill(const std::string& path, const std::string& requestJson);

  // Expects each listed cell of the output's first sheet to read as given:
  // its formula when it has one, else its displayed text.
  void ExpectCells(const std::string& path, const std::vector<std::pair<std::string, std::string>>& cells);

  vemo::test::ScopedEnv dataDir_{"VEMO_DATA_DIR", (temp_.path() / "data").string()};
};

}  // namespace vemo::engine::test
