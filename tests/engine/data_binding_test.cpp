// Field values: kinds, suffixes, negative amounts, captions, system
// variables, report head values, item labels and price rights.
#include "engine/head_values.h"
#include "engine/engine_state.h"
#include "engine/field_binding.h"
#include "engine/host_questions.h"
#include "engine_fixture.h"
#include "foundation/json_convert.h"
#include "host/database/sample_account.h"

namespace vemo::engine::test {
namespace {

// Value lookups straight through the engine's state, without a workbook.
class BindingTest : public EngineTest {
 protected:
  void Load(const std::string& shortJson, const EngineVariant& variant = VariantOf(DocumentKind::Bill)) {
    state = std::make_unique<EngineState>(variant);
    const BillInputs inputs = ExpandBill(shortJson);
    state->dataService = std::dynamic_pointer_cast<host::BillDataService>(inputs.dataSrv);
    state->classTypeId = state->dataService->classtype()->Value("FID").ToInt32();
    state->classType = state->dataService->classtype();
    state->entryClassType = state->dataService->ClassTypeEntry();
    state->billData = std::dynamic_pointer_cast<HostDictionary>(inputs.data);
    state->billId = state->billData->Value("FID").ToInt32();
    state->fieldDictionary = std::dynamic_pointer_cast<HostDictionary>(inputs.tableInfo);
  }
  std::string Value(const std::string& name, int row = 1) { return GetKeywordValue(*state, name, 1, row); }
  std::unique_ptr<EngineState> state;
};

TEST_F(BindingTest, FieldKindsTurnStoredValuesIntoText) {
  Load(R"({"fields": {"FYes": {"FSourceType": 11}, "FNo": {"FSourceType": 11}, "FBlank": {"FSourceType": 11},
                      "FCust": {"FLookUpClassID": 1}, "FBase": {"FSourceType": 9},
                      "FMemo": {"FCtlType": 999, "FKeyWord": " bigtext "}, "FShort": {"FCtlType": 999, "FKeyWord": "BigText"},
                      "FRatio": {}, "FAmount": {"FPage": 2, "fsum": true}, "FQty": {"FPage": 2}},
           "Page1": {"FYes": 1, "FNo": 0, "FBlank": "", "FCust": {"FFLD": 12, "FDSP": "鼎盛百货", "FFND": "01.002"},
                     "FBase": {"FFLD": 3, "FDSP": "个", "FFND": ""}, "FMemo": "长文本备注abc", "FShort": "abc",
                     "FRatio": ".25"},
           "Page2": [{"FAmount": 100, "FQty": 2}, {"FAmount": 250.5, "FQty": 3}]})");
  EXPECT_EQ(Value("FYes"), "是");
  EXPECT_EQ(Value("FNo"), "否");
  EXPECT_EQ(Value("FBlank"), "否");
  EXPECT_EQ(Value("FCust"), "鼎盛百货");
  EXPECT_EQ(Value("FCust.OLDSUBNUMBER"), "01.002");
  EXPECT_EQ(Value("FBase"), "个");
  EXPECT_EQ(Value("FMemo"), "长文本备注");  // the last three characters dropped
  EXPECT_EQ(Value("FShort"), "");
  EXPECT_EQ(Value("FRatio"), "0.25");       // a leading "." gets a "0"
  EXPECT_EQ(Value("FAmount", 2), "250.5");
  EXPECT_EQ(Value("FAmount.SUM"), "350.5");
  EXPECT_EQ(Value("FAmount．SUM"), "350.5");  // the full-width dot counts as "."
  EXPECT_EQ(Value("FAmount.PAGESUM"), "");
  EXPECT_EQ(Value("FQty.ENTRY", 2), "2");     // row 1 whatever the row
  EXPECT_EQ(Value("FNotAField"), "");
}

TEST_F(BindingTest, AmountsOfReturnBillTypesPrintNegatedButRatesDoNot) {
  const char* bill = R"({"classTypeID": 1020002,
    "fields": {"FBillTypeId": {}, "FAmount": {"FPage": 2, "fsum": true}, "FRate": {"FPage": 2, "fsum": true},
               "FQty": {"FPage": 2}},
    "Page1": {"FBillTypeId": %d}, "Page2": [{"FAmount": 100, "FRate": 13, "FQty": 4}]})";
  char text[1024];
  std::snprintf(text, sizeof text, bill, 3004);
  Load(text);
  EXPECT_EQ(Value("FAmount"), "-100");
  EXPECT_EQ(Value("FRate"), "13");
  EXPECT_EQ(Value("FQty"), "4");  // not summable
  std::snprintf(text, sizeof text, bill, 5001);
  Load(text);
  EXPECT_EQ(Value("FAmount"), "100");
}

TEST_F(BindingTest, OffsetBillsPrintCaptionsAfterEachTable) {
  Load(R"({"classTypeID": 1050003,
    "fields": {"FBillTypeId": {}, "FSourceBillNo2": {"FPage": 2}, "FAmount": {"FPage": 2}, "FNo3": {"FPage": 3}},
    "Page1": {"FBillTypeId": {"FFLD": 1, "FDSP": "预收冲应收", "FFND": ""}},
    "Page2": [{"FSourceBillNo2": "Y1", "FAmount": 1}, {"FSourceBillNo2": "Y2", "FAmount": 2},
              {"FSourceBillNo2": "Y3", "FAmount": 3}],
    "Page3": [{"FNo3": "R1"}, {"FNo3": "R2"}]})");
  EXPECT_EQ(Value("FSourceBillNo2", 3), "Y3");
  EXPECT_EQ(Value("FSourceBillNo2", 4), "预收合计");
  EXPECT_EQ(Value("FAmount", 4), "");
  EXPECT_EQ(Value("FSourceBillNo2", 5), "");  // past the table: looked up, nothing there
  EXPECT_EQ(Value("FSourceBillNo2", 7), "应收合计");
  EXPECT_EQ(Value("FSourceBillNo2", 9), "应收合计");
  EXPECT_EQ(Value("FAmount", 7), "");
  EXPECT_EQ(Value("FBillTypeId"), "1");       // head fields are not on caption rows
}

TEST_F(BindingTest, SystemVariablesIgnoreCaseAndCompanyBankStaysEmpty) {
  Load(R"({"FName": "销售发票", "fields": {}, "Page1": {}})");
  EXPECT_EQ(Value("billname"), "销售发票");
  EXPECT_EQ(Value("BillName.HEAD"), "销售发票");
  EXPECT_EQ(Value("CurNo"), "1");
  EXPECT_EQ(Value("CurPageNo"), "");
  EXPECT_EQ(Value("PageCount.HEAD"), "");
  EXPECT_EQ(Value("CurLine", 7), "7");
  EXPECT_EQ(Value("UserName"), host::kSampleAdmin);
  EXPECT_FALSE(Value("CompanyName").empty());  // the sample company's profile
  EXPECT_EQ(Value("CompanyBank"), "");
  EXPECT_EQ(Value("CompanyAccount.HEAD"), "");
  EXPECT_EQ(Value("CurYear").size(), 4u);
  EXPECT_EQ(Value("CurMonth").size(), 2u);
}

TEST_F(BindingTest, ReportHeadValuesAreCaseSensitiveAndItemLabelsUseOnlyItemValues) {
  Load(R"({"fields": {"bdate": {}}, "Page1": {"bdate": "field value"}})");
  state->dataSourceType = 1;
  state->reportHead = HostDictionary::Create();
  state->reportHead->Set("BDate", Variant(std::string("2026-11-01")));
  state->customerName = "鼎盛百货";
  EXPECT_EQ(Value("BDate"), "2026-11-01");
  EXPECT_EQ(Value("bdate"), "field value");  // not a report variable: a field
  EXPECT_EQ(Value("CustName"), "鼎盛百货");

  state->printHandlerType = 1;
  state->itemValues = HostDictionary::Create();
  state->itemValues->Set("FNumber", Variant(std::string("SP-1001")));
  EXPECT_EQ(Value("FNumber"), "SP-1001");
  EXPECT_EQ(Value("[$FNumber]"), "SP-1001");
  EXPECT_EQ(Value("CurNo"), "");  // no system variable is tried
}

TEST_F(BindingTest, PriceRightsBlankFieldsByASubstringTest) {
  LoginAs(host::kSampleClerkWithoutPrices);
  Load(R"({"classTypeID": 1040002, "fields": {"FPrice": {"FClassTypeID": 1040002}, "FQty": {"FClassTypeID": 1040002},
            "FAmount": {"FClassTypeID": 1040002, "FPage": 2, "fsum": true}},
           "Page1": {"FPrice": 9, "FQty": 3}, "Page2": [{"FAmount": 5}]})");
  EXPECT_EQ(Value("FPrice"), "");
  EXPECT_EQ(Value("FQty"), "3");
  EXPECT_EQ(Value("FAmount.SUM"), "");
  EXPECT_FALSE(PriceFieldVisible(PriceRightsTable::Standard, 1040005, "FAmount1"));
  EXPECT_FALSE(PriceFieldVisible(PriceRightsTable::Standard, 1040005, "price"));  // inside every price key
  EXPECT_TRUE(PriceFieldVisible(PriceRightsTable::Standard, 1040005, "FQty"));
  EXPECT_FALSE(PriceFieldVisible(PriceRightsTable::Standard, 1040007, "FDiffAmount"));
  EXPECT_FALSE(PriceFieldVisible(PriceRightsTable::Standard, 1040007, "FInPrice"));
  ExcelOperaterLM waybill;
  EXPECT_TRUE(waybill.IsAccessCheckOK(1040007, "FDiffAmount"));
  EXPECT_FALSE(waybill.IsAccessCheckOK(1040007, "FOutAmount"));

  LoginAs(host::kSampleAdmin);
  state->answers = {};  // rights are asked once per fill: a new fill
  EXPECT_EQ(Value("FPrice"), "9");
}

TEST_F(BindingTest, ProfileCategoriesArAndApAreNeverAsked) {
  EXPECT_EQ(ReadSystemProfile("ar", "FBank"), "");
  EXPECT_EQ(ReadSystemProfile("AP", "anything"), "");
  EXPECT_FALSE(ReadSystemProfile("General", "CompanyName").empty());
}

TEST_F(BindingTest, WaybillsFromTheScreenReadPageOneRowOne) {
  state = std::make_unique<EngineState>(VariantOf(DocumentKind::Waybill));
  state->billData = ParseJsonText(R"({"FID": 3, "Page1": [{"FQty": 6, "FName": "保温杯", "FICItemBarCodePicture": "B1"}]})")
                        .AsObject<HostDictionary>();
  state->classType = ParseJsonText(R"({"FName": "销售发票"})").AsObject<HostDictionary>();
  EXPECT_EQ(Value("FQty"), "6");
  EXPECT_EQ(Value("FQty.SUM"), "");
  EXPECT_EQ(Value("FICItemBarCodePicture"), "B1");  // not a picture name here: a value of the screen
  EXPECT_EQ(Value("BillName"), "") << "waybills do not name the bill type";
}

}  // namespace
}  // namespace vemo::engine::test
