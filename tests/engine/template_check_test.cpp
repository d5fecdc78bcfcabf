// The template check's rules, straight through CheckTemplate: what answers
// each keyword, which keywords come out empty and why, and the
// identification text (B3 of the third sheet) against the request.
// (How the `check` command prints this is the app tests' job.)
#include "engine/template_check.h"

#include "engine_fixture.h"
#include "foundation/json_convert.h"
#include "foundation/recordset.h"
#include "host/database/sample_account.h"
#include "host/spreadsheet/spreadsheet_application.h"

namespace vemo::engine::test {
namespace {

// One finding, found by its cell and name; resolvesTo, value and problem are
// compared whole.
struct Expected {
  const char* cell;
  const char* name;
  const char* resolvesTo;
  const char* value;
  const char* problem;
};

class TemplateCheckTest : public EngineTest {
 protected:
  // The bill engine given a bill in ExpandBill's short form.
  static std::unique_ptr<TemplateEngine> BillEngine(const std::string& bill) {
    auto engine = MakeEngine(DocumentKind::Bill);
    const BillInputs inputs = ExpandBill(bill);
    engine->SetDataSrv(inputs.dataSrv);
    engine->SetData(inputs.data);
    engine->SetTableInfo(inputs.tableInfo);
    return engine;
  }
  TemplateCheck Check(const TemplateLayout& layout, const TemplateEngine& engine, CheckOptions options = {true, 0}) {
    const std::string path = MakeTemplate(layout);
    auto app = host::SurfaceApplication::Create();
    TemplateCheck check = CheckTemplate(*app->Workbooks()->Open(path), engine, options);
    app->Quit();
    return check;
  }
  // The finding of `name` in `cell` (a default one, failing, when there is none).
  static KeywordFinding Find(const TemplateCheck& check, const std::string& cell, const std::string& name) {
    for (const KeywordFinding& f : check.keywords)
      if (f.cell == cell && f.name == name) return f;
    ADD_FAILURE() << "no finding " << name << " in " << cell;
    return {};
  }
  static void ExpectFindings(const TemplateCheck& check, std::initializer_list<Expected> expected) {
    for (const Expected& e : expected) {
      SCOPED_TRACE(std::string(e.cell) + " " + e.name);
      const KeywordFinding found = Find(check, e.cell, e.name);
      EXPECT_EQ(found.resolvesTo, e.resolvesTo);
      EXPECT_EQ(found.value, e.value);
      EXPECT_EQ(found.problem, e.problem);
    }
  }
};

constexpr const char* kBill = R"({"classTypeID": 1020002,
  "fields": {"FBillNo": {}, "FQty": {"FPage": 2, "fsum": true}, "FNote": {"FPage": 2}, "FMemo": {"FPage": 2}},
  "Page1": {"FBillNo": "XS-0007"},
  "Page2": [{"FQty": 2}, {"FQty": 3.5}, {"FQty": 1, "FMemo": "m3"}, {"FQty": 4}]})";

// A template with one problem of each kind.
const TemplateLayout kProblems{
    .cells = {{"A1", "[$Page1_FBillNo]"}, {"A2", "[$Page1_FMissing]"}, {"A3", "US$[$Page1_FBillNo]"},
              {"A4", "[$$$PageCount]"}, {"A5", "[$FBillNo]"}, {"A6", "[$$Page3_FQty]"}, {"A7", "[$$Page2_FQty]"},
              {"B7", "[$$Page2_FNote]"}, {"C7", "=0+[$$Page2_FQty]*[$$Page2_FGhost]"}, {"D7", "[$$Page2_FMemo]"}, {"E7", "[$$Page2_EntryID]"},
              {"A8", "[$$$$Page2_FQty]"}, {"A9", "[$$$CompanyName]"}, {"A10", "=1+[$Page1_FBillNo"}},
    .textCells = {"C7", "A10"},
    .sheets = 3,
    .id = "FClassTypeID=1020002"};

constexpr const char* kNotInMap = "neither a system variable nor a name of the field dictionary's Map";

TEST_F(TemplateCheckTest, SaysWhatAnswersEachKeywordAndWhyOneComesOutEmpty) {
  const TemplateCheck check = Check(kProblems, *BillEngine(kBill));
  ExpectFindings(check, {
      {"A1", "FBillNo", "field _0001_FBillNo on Page1", "XS-0007", ""},
      {"A2", "FMissing", "", "", kNotInMap},
      {"A3", "", "", "", "no kind (keyword kinds mixed, or a \"$\" of its own): the cell stays as written"},
      {"A4", "PageCount", "system variable: a page number not known while filling", "",
       "a page number not known while filling gives nothing here"},
      {"A5", "[$FBillNo]", "", "", "no name: write [$Page1_Name], [$$Page2_Name], [$$$Name] or [$$$$Page2_Name]"},
      {"A6", "FQty", "", "",
       "the request has no lines for page key \"Page3\" (Data.Page3 is missing or empty), so the entry row prints empty"},
      {"A7", "FQty", "field _0002_FQty on Page2", "values on 4 of 4 lines: 2 | 3.5 | 1 | ...", ""},
      {"B7", "FNote", "field _0003_FNote on Page2", "values on 0 of 4 lines", "Data.Page2 holds no value _0003_FNote"},
      {"C7", "FQty", "field _0002_FQty on Page2", "values on 4 of 4 lines: 2 | 3.5 | 1 | ...", ""},
      {"C7", "FGhost", "", "values on 0 of 4 lines", kNotInMap},
      {"D7", "FMemo", "field _0004_FMemo on Page2", "values on 1 of 4 lines: m3", ""},
      {"E7", "EntryID", "the line number", "1 to 4", ""},
      {"A8", "FQty", "field _0002_FQty on Page2", "10.5", ""},
      {"A10", "FBillNo", "", "", "a formula cell without a complete keyword (\"[$\" with no \"]\" after it): left as written"},
  });
  EXPECT_EQ(check.keywords.size(), 15u);
  EXPECT_EQ(Find(check, "A3", "").keyword, "US$[$Page1_FBillNo]");
  EXPECT_TRUE(Find(check, "C7", "FQty").inFormula);
  EXPECT_EQ(Find(check, "A9", "CompanyName").source, ValueSource::SystemVariable);
  EXPECT_FALSE(Find(check, "A9", "CompanyName").value.empty());
  EXPECT_TRUE(check.identification.matches);
  EXPECT_EQ(check.ProblemCount(), 8);
}

// B3 of the third sheet against what the request's engine expects (a match
// in the test above); without a request only the grammar and the system
// variables are looked at, and no identification is expected.
TEST_F(TemplateCheckTest, AnIdentificationThatDoesNotMatchOrIsMissingIsAProblem) {
  const auto bill = BillEngine(kBill);
  const TemplateCheck other = Check({.cells = {{"A1", "[$Page1_FBillNo]"}}, .sheets = 3, .id = "FClassTypeID=1030001"}, *bill);
  EXPECT_EQ(other.identification.found + " " + other.identification.expected, "FClassTypeID=1030001 FClassTypeID=1020002");
  EXPECT_FALSE(other.identification.matches);
  EXPECT_EQ(other.ProblemCount(), 1);
  const TemplateCheck twoSheets = Check({.cells = {{"A1", "[$Page1_FBillNo]"}}, .sheets = 2}, *bill);
  EXPECT_FALSE(twoSheets.identification.present || twoSheets.identification.matches);
  EXPECT_EQ(twoSheets.ProblemCount(), 1);
  const TemplateCheck grammarOnly = Check(kProblems, *bill, {false, 0});
  EXPECT_EQ(Find(grammarOnly, "A2", "FMissing").source, ValueSource::NotChecked);
  EXPECT_EQ(Find(grammarOnly, "A9", "CompanyName").source, ValueSource::SystemVariable);
  EXPECT_EQ(grammarOnly.identification.expected, "");
  EXPECT_EQ(grammarOnly.ProblemCount(), 3);  // no kind, no name, no complete keyword
}

// A price field the user has no right to see comes out empty, and says so.
TEST_F(TemplateCheckTest, APriceTheUserMayNotSeeIsNamedAsTheReason) {
  LoginAs(host::kSampleClerkWithoutPrices);
  const auto engine = BillEngine(R"({"classTypeID": 1040002, "fields": {"FPrice": {}}, "Page1": {"FPrice": 9}})");
  ExpectFindings(Check({.cells = {{"A1", "[$Page1_FPrice]"}}}, *engine),
                 {{"A1", "FPrice", "field _0001_FPrice on Page1", "", "the user has no price right for FPrice (class type 1040002)"}});
}

// The report engine reads report head values and the columns of the report rows.
TEST_F(TemplateCheckTest, ReportsResolveHeadValuesAndColumns) {
  ExcelOperaterRpt engine;
  engine.SetDataSourceType(1);
  engine.SetRptHeadData(ParseJsonText(R"({"BDate": "2026-11-01"})").AsObject<HostDictionary>());
  engine.SetRptEntryData(Recordset::Create({"FCustName", "FAmount"}, {{Variant(std::string("c")), Variant()},
                                                                      {Variant(std::string("d")), Variant()}}));
  const TemplateCheck check =
      Check({.cells = {{"A1", "[$$$BDate]"}, {"A2", "[$$Page2_FCustName]"}, {"B2", "[$$Page2_FAmount]"},
                       {"C2", "[$$Page2_FNone]"}},
             .sheets = 3, .id = "FTemplateID=10506"},
            engine, {true, 10506});
  ExpectFindings(check, {{"A1", "BDate", "report head value BDate", "2026-11-01", ""},
                         {"A2", "FCustName", "report column FCustName", "values on 2 of 2 lines: c | d", ""},
                         {"B2", "FAmount", "report column FAmount", "values on 0 of 2 lines",
                          "the report column FAmount is empty on every row"},
                         {"C2", "FNone", "", "values on 0 of 2 lines", "not a column of the report rows (RptEntryData fields)"}});
  EXPECT_TRUE(check.identification.matches) << check.identification.expected;
}

// Waybills from the logistics screen read the first row of Data.Page1.
TEST_F(TemplateCheckTest, WaybillsFromTheScreenReadDataPageOne) {
  ExcelOperaterLM screen;
  screen.SetData(ParseJsonText(R"({"FID": 3, "Page1": [{"FInsureFee": 15}]})").ToObject());
  ExpectFindings(Check({.cells = {{"A1", "[$Page1_FInsureFee]"}, {"A2", "[$Page1_FNone]"}}}, screen),
                 {{"A1", "FInsureFee", "Data.Page1 value FInsureFee", "15", ""},
                  {"A2", "FNone", "Data.Page1 value FNone", "", "the first row of Data.Page1 has no value FNone"}});
}

}  // namespace
}  // namespace vemo::engine::test
