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
  struct Expected {
    std::string name, value;
    int row = 1;
  };
  void ExpectValues(const std::vector<Expected>& values) {
    for (const Expected& v : values) EXPECT_EQ(Value(v.name, v.row), v.value) << v.name << " on row " << v.row;
  }
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
  ExpectValues({{"FYes", "是"}, {"FNo", "否"}, {"FBlank", "否"}, {"FCust", "鼎盛百货"}, {"FCust.OLDSUBNUMBER", "01.002"},
                {"FBase", "个"}, {"FMemo", "长文本备注"},  // the last three characters dropped
                {"FShort", ""}, {"FRatio", "0.25"},      // a leading "." gets a "0"
                {"FAmount", "250.5", 2}, {"FAmount.SUM", "350.5"},
                {"FAmount．SUM", "350.5"},  // the full-width dot counts as "."
                {"FAmount.PAGESUM", ""}, {"FQty.ENTRY", "2", 2},  // row 1 whatever the row
                {"FNotAField", ""}});
}

TEST_F(BindingTest, AmountsOfReturnBillTypesPrintNegatedButRatesDoNot) {
  auto bill = [](int billType) {
    return R"({"classTypeID": 1020002, "fields": {"FBillTypeId": {}, "FAmount": {"FPage": 2, "fsum": true},
               "FRate": {"FPage": 2, "fsum": true}, "FQty": {"FPage": 2}},
               "Page1": {"FBillTypeId": )" + std::to_string(billType) + R"(}, "Page2": [{"FAmount": 100, "FRate": 13, "FQty": 4}]})";
  };
  Load(bill(3004));
  ExpectValues({{"FAmount", "-100"}, {"FRate", "13"}, {"FQty", "4"}});  // FQty is not summable
  Load(bill(5001));
  EXPECT_EQ(Value("FAmount"), "100");
}

TEST_F(BindingTest, OffsetBillsPrintCaptionsAfterEachTable) {
  Load(R"({"classTypeID": 1050003,
    "fields": {"FBillTypeId": {}, "FSourceBillNo2": {"FPage": 2}, "FAmount": {"FPage": 2}, "FNo3": {"FPage": 3}},
    "Page1": {"FBillTypeId": {"FFLD": 1, "FDSP": "预收冲应收", "FFND": ""}},
    "Page2": [{"FSourceBillNo2": "Y1", "FAmount": 1}, {"FSourceBillNo2": "Y2", "FAmount": 2},
              {"FSourceBillNo2": "Y3", "FAmount": 3}],
    "Page3": [{"FNo3": "R1"}, {"FNo3": "R2"}]})");
  ExpectValues({{"FSourceBillNo2", "Y3", 3}, {"FSourceBillNo2", "预收合计", 4}, {"FAmount", "", 4},
                {"FSourceBillNo2", "", 5},  // past the table: looked up, nothing there
                {"FSourceBillNo2", "应收合计", 7}, {"FSourceBillNo2", "应收合计", 9}, {"FAmount", "", 7},
                {"FBillTypeId", "1"}});  // head fields are not on caption rows
}

TEST_F(BindingTest, SystemVariablesIgnoreCaseAndCompanyBankStaysEmpty) {
  Load(R"({"FName": "销售发票", "fields": {}, "Page1": {}})");
  ExpectValues({{"billname", "销售发票"}, {"BillName.HEAD", "销售发票"}, {"CurNo", "1"}, {"CurPageNo", ""},
                {"PageCount.HEAD", ""}, {"CurLine", "7", 7}, {"UserName", host::kSampleAdmin}, {"CompanyBank", ""},
                {"CompanyAccount.HEAD", ""}});
  EXPECT_FALSE(Value("CompanyName").empty());  // the sample company's profile
  EXPECT_EQ(Value("CurYear").size(), 4u);
  EXPECT_EQ(Value("CurMonth").size(), 2u);
}

TEST_F(BindingTest, ReportHeadValuesAreCaseSensitiveAndItemLabelsUseOnlyItemValues) {
  Load(R"({"fields": {"bdate": {}}, "Page1": {"bdate": "field value"}})");
  state->dataSourceType = 1;
  state->reportHead = HostDictionary::Create();
  state->reportHead->Set("BDate", Variant(std::string("2026-11-01")));
  state->customerName = "鼎盛百货";
  ExpectValues({{"BDate", "2026-11-01"},
                {"bdate", "field value"},  // not a report variable: a field
                {"CustName", "鼎盛百货"}});

  state->printHandlerType = 1;
  state->itemValues = HostDictionary::Create();
  state->itemValues->Set("FNumber", Variant(std::string("SP-1001")));
  ExpectValues({{"FNumber", "SP-1001"}, {"[$FNumber]", "SP-1001"}, {"CurNo", ""}});  // no system variable is tried
}

TEST_F(BindingTest, PriceRightsBlankFieldsByASubstringTest) {
  LoginAs(host::kSampleClerkWithoutPrices);
  Load(R"({"classTypeID": 1040002, "fields": {"FPrice": {"FClassTypeID": 1040002}, "FQty": {"FClassTypeID": 1040002},
            "FAmount": {"FClassTypeID": 1040002, "FPage": 2, "fsum": true}},
           "Page1": {"FPrice": 9, "FQty": 3}, "Page2": [{"FAmount": 5}]})");
  ExpectValues({{"FPrice", ""}, {"FQty", "3"}, {"FAmount.SUM", ""}});
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
}

TEST_F(BindingTest, WaybillsFromTheScreenReadPageOneRowOne) {
  state = std::make_unique<EngineState>(VariantOf(DocumentKind::Waybill));
  state->billData = ParseJsonText(R"({"FID": 3, "Page1": [{"FQty": 6, "FName": "保温杯", "FICItemBarCodePicture": "B1"}]})")
                        .AsObject<HostDictionary>();
  state->classType = ParseJsonText(R"({"FName": "销售发票"})").AsObject<HostDictionary>();
  ExpectValues({{"FQty", "6"}, {"FQty.SUM", ""},
                {"FICItemBarCodePicture", "B1"},  // not a picture name here: a value of the screen
                {"BillName", ""}});               // waybills do not name the bill type
}

}  // namespace
}  // namespace vemo::engine::test
