// The public setup classes: properties, the shared dialogs, the spreadsheet
// check, display through the FormHost and errors raised to the host.
#include <gtest/gtest.h>

#include "host/components/bill_data_service.h"
#include "host/store/template_store.h"
#include "setup/export_action_setup.h"
#include "setup_fixture.h"

namespace vemo::setup {
namespace {

using context::ShownMessage;

class ExportActionSetupTest : public test::SetupTest {
 protected:
  std::shared_ptr<host::BillDataService> DataSrv(std::int32_t billType, const char* name) {
    auto classtype = HostDictionary::Create();
    classtype->Add("FID", billType);
    classtype->Add("FName", name);
    return std::make_shared<host::BillDataService>(classtype, HostVector::Create(), billType, Props());
  }
  std::shared_ptr<test::ScriptedFormHost> formHost = std::make_shared<test::ScriptedFormHost>();
};

TEST_F(ExportActionSetupTest, NotePrintSetupShowsTheSharedBillDialogWithTheBillTypesTemplates) {
  CreateObjectAs<host::IPrintSetupUpdate>(host::progid::kPrintSetupUpdate)->InsertNoteRow(Props(), 1040007, "调拨.xls", Bytes{1});
  ScopedFormHost use(formHost);
  ExportActionSetup setup;
  setup.SetDataSrv(DataSrv(1040007, "调拨单"));
  EXPECT_EQ(setup.billType(), 1040007);
  setup.NotePrintSetup(false);
  EXPECT_EQ(formHost->shown, std::vector<std::string>{"打印模板设置"});
  frmNoteSet& form = SharedNoteSetForm();
  EXPECT_EQ(form.TypeText(), "调拨单");
  EXPECT_EQ(form.billType(), 1040007);
  EXPECT_EQ(form.Grid().CellText(1, kColKey), "1040007|1");
  EXPECT_EQ(form.SubTypeList(), "\t同价调拨\t异价调拨\t");
}

TEST_F(ExportActionSetupTest, WithoutADisplayShowingADialogRaisesNeedsADisplay) {
  ExportActionSetup setup;
  setup.SetDataSrv(DataSrv(1020002, "销售发票"));
  try {
    setup.NotePrintSetup();
    FAIL() << "no FormHost is installed";
  } catch (const HostError& e) {
    EXPECT_EQ(e.Number(), kNeedsDisplay);
    EXPECT_NE(e.Description().find("needs a display"), std::string::npos);
  }
}

TEST_F(ExportActionSetupTest, WithoutASpreadsheetApplicationOnlyTheMessageIsShown) {
  ScopedFormHost use(formHost);
  ScopedFactory none("ET.Application", nullptr);
  ExportActionSetup setup;
  setup.SetDataSrv(DataSrv(1020002, "销售发票"));
  setup.NotePrintSetup();
  EXPECT_TRUE(formHost->shown.empty());
  test::ExpectOnlyMessage(Messages(), "系统没有检测到EXCEL，请确认是否已经安装!", ShownMessage::Kind::MessageBox,
                          context::vbInformation);
  ExportActionSetupLM waybill;
  waybill.NotePrintSetup();
  EXPECT_TRUE(formHost->shown.empty());
  EXPECT_EQ(Messages().size(), 2u);
}

TEST_F(ExportActionSetupTest, ReportSetupThroughTheBillDialogPutsItInReportMode) {
  ScopedFormHost use(formHost);
  ExportActionSetup setup;
  setup.RptExcelPrintSetup();
  EXPECT_TRUE(formHost->shown.empty()) << "RptID 0 opens nothing";
  setup.SetRptID(10506);
  setup.SetRptName("客户往来对账单");
  setup.SetDataSourceType(1);
  setup.RptExcelPrintSetup();
  EXPECT_EQ(formHost->shown.size(), 1u);
  frmNoteSet& form = SharedNoteSetForm();
  EXPECT_EQ(form.DataSourceType(), 1);
  EXPECT_EQ(form.TypeText(), "客户往来对账单");
  EXPECT_EQ(form.SubTypeList(), "\t客户\t供应商\t");
  // NotePrintSetup does not set the mode: the shared dialog keeps report mode.
  ExportActionSetup bills;
  bills.SetDataSrv(DataSrv(1020002, "销售发票"));
  bills.NotePrintSetup();
  EXPECT_EQ(form.DataSourceType(), 1);
  form.SetDataSourceType(0);
}

TEST_F(ExportActionSetupTest, TheReportClassUsesTheReportDialog) {
  ScopedFormHost use(formHost);
  ExportActionSetupRpt setup;
  setup.RptExcelPrintSetup();
  EXPECT_TRUE(formHost->shown.empty());
  setup.SetRptID(10506);
  setup.SetRptName("客户往来对账单");
  setup.SetDataSourceType(1);
  setup.RptExcelPrintSetup();
  EXPECT_EQ(formHost->shown.size(), 1u);
  EXPECT_EQ(SharedNoteSetRptForm().TypeText(), "客户往来对账单");
  EXPECT_NE(&SharedNoteSetRptForm(), static_cast<BillOrReportNoteSet*>(&SharedNoteSetForm()));
}

TEST_F(ExportActionSetupTest, GetCurrNoteHandsBackTheQueryComponentsAnswer) {
  auto update = CreateObjectAs<host::IPrintSetupUpdate>(host::progid::kPrintSetupUpdate);
  update->InsertNoteRow(Props(), 1020002, "a.xls", Bytes{1});
  ExportActionSetup setup;
  setup.SetDataSrv(DataSrv(1020002, "销售发票"));
  auto expected = CreateObjectAs<host::IPrintSetupQuery>(host::progid::kPrintSetupQuery)->GetCurrNote(Props(), 1020002);
  auto answer = setup.GetCurrNote();
  ASSERT_TRUE(answer);
  EXPECT_EQ(answer->Count(), expected->Count());
  ExportActionSetupRpt report;
  report.SetRptID(10506);
  EXPECT_TRUE(report.GetCurrNote());
}

TEST_F(ExportActionSetupTest, ErrorsReachTheHostWithNumberAndDescription) {
  ExportActionSetup setup;
  auto classtype = HostDictionary::Create();
  classtype->Add("FName", "no id");
  EXPECT_THROW(setup.SetDataSrv(std::make_shared<host::BillDataService>(classtype, HostVector::Create(), 1, Props())),
               HostError);
  EXPECT_THROW(setup.SetDataSrv(HostDictionary::Create()), HostError) << "not a data service";
  ScopedFactory none(std::string(host::progid::kPrintSetupQuery), nullptr);
  setup.SetDataSrv(DataSrv(1020002, "销售发票"));
  try {
    setup.GetCurrNote();
    FAIL() << "the query component is missing";
  } catch (const host::SourcedHostError& e) {
    EXPECT_EQ(e.Number(), HostError::kCannotCreateObject);
  }
}

TEST_F(ExportActionSetupTest, TheWaybillClassSwitchesToTheBillWaybillTypeOnce) {
  ScopedFormHost use(formHost);
  ExportActionSetupLM setup;
  EXPECT_EQ(setup.billType(), 2000001);
  setup.SetDataFrom(1);
  EXPECT_EQ(setup.billType(), 2000002);
  setup.NotePrintSetup();
  EXPECT_EQ(SharedNoteSetLMForm().NoteTypeName(), "快递单打印设置");
  setup.SetDataFrom(0);
  EXPECT_EQ(setup.billType(), 2000002);
  setup.NotePrintSetup();
  frmNoteSetLM& form = SharedNoteSetLMForm();
  EXPECT_EQ(form.NoteTypeName(), "物流单打印设置");
  EXPECT_EQ(form.billType(), 2000002);
  EXPECT_EQ(form.dataFrom(), 0);
  EXPECT_EQ(formHost->shown, (std::vector<std::string>{"打印模板设置", "打印模板设置"}));
  EXPECT_EQ(form.CurrentCourierId(), 1) << "the dialog loaded its couriers itself";
}

}  // namespace
}  // namespace vemo::setup
