// The public setup classes: properties, the shared dialogs, the spreadsheet
// check, display through the FormHost and errors raised to the host.
#include <gtest/gtest.h>

#include "host/store/template_store.h"
#include "setup/export_action_setup.h"
#include "setup_fixture.h"

namespace vemo::setup {
namespace {

class ExportActionSetupTest : public test::SetupTest {
 protected:
  std::shared_ptr<test::ScriptedFormHost> formHost = std::make_shared<test::ScriptedFormHost>();
};

// Without a FormHost (no display) showing a dialog raises "needs a display";
// without a spreadsheet application only the message is shown.
TEST_F(ExportActionSetupTest, NotePrintSetupShowsTheSharedBillDialogWithTheBillTypesTemplates) {
  CreateObjectAs<host::IPrintSetupUpdate>(host::progid::kPrintSetupUpdate)->InsertNoteRow(Props(), 1040007, "调拨.xls", Bytes{1});
  ExportActionSetup setup;
  setup.SetDataSrv(BillDataSrv(1040007, "调拨单"));
  try {
    setup.NotePrintSetup();
    FAIL() << "no FormHost is installed";
  } catch (const HostError& e) {
    EXPECT_EQ(e.Number(), kNeedsDisplay) << e.Description();
  }
  ScopedFormHost use(formHost);
  {
    ScopedFactory none("ET.Application", nullptr);  // without a spreadsheet application only the message is shown
    setup.NotePrintSetup();
    ExportActionSetupLM waybill;
    waybill.NotePrintSetup();
  }
  EXPECT_EQ(Messages().size(), 2u);
  EXPECT_EQ(Messages()[0].text, "系统没有检测到EXCEL，请确认是否已经安装!");
  setup.NotePrintSetup(false);
  EXPECT_EQ(formHost->shown, std::vector<std::string>{"打印模板设置"});
  frmNoteSet& form = SharedNoteSetForm();
  EXPECT_EQ(form.TypeText(), "调拨单");
  EXPECT_EQ(form.Grid().CellText(1, kColKey), "1040007|1");
}

// Report setup opens nothing for report 0, and the report through the bill
// class's dialog or the report class's own one.
TEST_F(ExportActionSetupTest, ReportSetupOpensTheReportInTheDialogOfItsClass) {
  ScopedFormHost use(formHost);
  ExportActionSetup bills;
  ExportActionSetupRpt reports;
  bills.RptExcelPrintSetup();
  reports.RptExcelPrintSetup();
  EXPECT_TRUE(formHost->shown.empty()) << "RptID 0 opens nothing";
  for (SetupProperties* setup : {static_cast<SetupProperties*>(&bills), static_cast<SetupProperties*>(&reports)}) {
    setup->SetRptID(10506);
    setup->SetRptName("客户往来对账单");
    setup->SetDataSourceType(1);
  }
  bills.RptExcelPrintSetup();
  frmNoteSet& form = SharedNoteSetForm();
  EXPECT_EQ(form.DataSourceType(), 1);
  EXPECT_EQ(form.SubTypeList(), "\t客户\t供应商\t");
  reports.RptExcelPrintSetup();
  EXPECT_EQ(SharedNoteSetRptForm().TypeText(), "客户往来对账单");
  EXPECT_EQ(formHost->shown.size(), 2u);
  // NotePrintSetup does not set the mode: the shared dialog keeps report mode.
  bills.SetDataSrv(BillDataSrv(1020002, "销售发票"));
  bills.NotePrintSetup();
  EXPECT_EQ(form.DataSourceType(), 1);
  form.SetDataSourceType(0);
}

TEST_F(ExportActionSetupTest, GetCurrNoteHandsBackTheQueryComponentsAnswerAndErrorsReachTheHost) {
  ExportActionSetup setup;
  auto classtype = HostDictionary::Create();
  classtype->Add("FName", "no id");
  EXPECT_THROW(setup.SetDataSrv(std::make_shared<host::BillDataService>(classtype, HostVector::Create(), 1, Props())),
               HostError);
  EXPECT_THROW(setup.SetDataSrv(HostDictionary::Create()), HostError) << "not a data service";
  setup.SetDataSrv(BillDataSrv(1020002, "销售发票"));
  CreateObjectAs<host::IPrintSetupUpdate>(host::progid::kPrintSetupUpdate)->InsertNoteRow(Props(), 1020002, "a.xls", Bytes{1});
  auto expected = CreateObjectAs<host::IPrintSetupQuery>(host::progid::kPrintSetupQuery)->GetCurrNote(Props(), 1020002);
  EXPECT_EQ(setup.GetCurrNote()->Count(), expected->Count());
  ExportActionSetupRpt report;
  report.SetRptID(10506);
  EXPECT_TRUE(report.GetCurrNote());
  ScopedFactory none(std::string(host::progid::kPrintSetupQuery), nullptr);
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
  setup.NotePrintSetup();
  EXPECT_EQ(SharedNoteSetLMForm().NoteTypeName(), "快递单打印设置");
  setup.SetDataFrom(0);
  setup.NotePrintSetup();
  frmNoteSetLM& form = SharedNoteSetLMForm();
  EXPECT_EQ(form.NoteTypeName(), "物流单打印设置");
  EXPECT_EQ(form.billType(), 2000002);
  EXPECT_EQ(form.dataFrom(), 0);
  EXPECT_EQ(form.CurrentCourierId(), 1) << "the dialog loaded its couriers itself";
}

}  // namespace
}  // namespace vemo::setup
