// ExportActionRpt and ExportActionLM: where they differ from ExportAction,
// and DoAction codes 1 to 8 on all three classes.
#include <gmock/gmock.h>

#include <cstdlib>
#include <fstream>

#include "action_fixture.h"
#include "actions/export_action.h"
#include "actions/export_action_lm.h"
#include "actions/export_action_rpt.h"
#include "actions/register_actions.h"
#include "context/temp_files.h"
#include "support/files.h"
#include "support/test_paths.h"
#include "workbook/workbook.h"

namespace vemo::actions::test {
namespace {

using ::testing::ElementsAre;

class ReportActionTest : public ActionTest {
 protected:
  ReportActionTest() {
    action_.SetDataSrv(Invoice());
    action_.SetDataSourceType(1);
    action_.SetRptID(10506);
    head_->Add("ByItem", 0);
    action_.SetRptHeadData(head_);
  }
  ExportActionRpt action_;
  DictionaryRef head_ = HostDictionary::Create();
};

TEST_F(ReportActionTest, ByItemChoosesCustomerOrSupplierTemplate) {
  ASSERT_TRUE(action_.DoAction(ActionTypeEnum::SinglePrint));
  head_->Set("ByItem", 1);
  ASSERT_TRUE(action_.DoAction(ActionTypeEnum::SinglePrint));
  head_->Remove("ByItem");
  ASSERT_TRUE(action_.DoAction(ActionTypeEnum::SinglePrint));
  EXPECT_THAT(Queries(), ElementsAre("QueryRpt|GetRptNotePrintData|10506|客户", "QueryRpt|GetRptNotePrintData|10506|供应商",
                                     "QueryRpt|GetRptNotePrintData|10506|供应商"));
}

TEST_F(ReportActionTest, TemplateNeedsTheHeadValues) {
  ExportActionRpt action;
  action.SetDataSrv(Invoice());
  action.SetRptID(10506);
  EXPECT_FALSE(action.DoAction(3));
  EXPECT_EQ(OnlyMessage(Messages()).text, "未设置打印模板或设置错误，请先确认设置Excel打印模板！");
}

TEST_F(ReportActionTest, ReportEngineValidatesByReportIdForAnyDataSource) {
  action_.SetDataSourceType(0);
  ASSERT_TRUE(action_.DoAction(4));
  auto engines = Engines();
  ASSERT_EQ(engines.size(), 2u);
  EXPECT_EQ(engines[0]->kind, DocumentKind::Report);
  EXPECT_EQ(engines[0]->validatedId, 10506);
  EXPECT_EQ(engines[0]->dataSourceType, 0);
  EXPECT_EQ(engines[1]->kind, DocumentKind::Report);
  EXPECT_EQ(engines[1]->calls.back(), "PrintPreview");
  ASSERT_EQ(logEntries_->size(), 1u);
  EXPECT_EQ(logEntries_->at(0).code, "S1S003E001");
  EXPECT_EQ(logEntries_->at(0).text, "处理单据(1020002)打印导出Excel功能");
}

// Mail (1), print (3) and preview (4) of an .xlsx report template: the working
// file is named after the bill type's template (.xls, or none selected), yet
// holds the report template, which opens by its content.
TEST_F(ReportActionTest, XlsxReportTemplateFillsWhateverTheBillTemplate) {
  const Bytes report = ReadBytes((vemo::test::SourceDir() / "examples/templates/customer_statement_report.xlsx").string());
  ASSERT_FALSE(report.empty());
  store_->contents = report;
  store_->reportName = "statement.xlsx";
  // The mail program: a scripted xdg-email that records the attachment.
  std::filesystem::create_directories(temp_.path() / "bin");
  std::ofstream(temp_.path() / "bin" / "xdg-email") << "#!/bin/sh\nprintf '%s' \"$5\" > " << (temp_.path() / "sent") << "\n";
  std::filesystem::permissions(temp_.path() / "bin" / "xdg-email", std::filesystem::perms::owner_all);
  vemo::test::ScopedEnv path("PATH", (temp_.path() / "bin").string() + ":" + std::getenv("PATH"));
  struct Case {
    int code;
    std::string billName;
    bool answer;
    const char* lastCall;
  };
  const Case cases[] = {{1, "invoice.xls", true, "ExportSingleRecordDataToExcel"},
                        {1, "", true, "ExportSingleRecordDataToExcel"},
                        {3, "invoice.xls", true, "PrintTo"},
                        {3, "", true, "PrintTo"},
                        {4, "invoice.xls", true, "PrintPreview"},
                        {4, "", true, "PrintPreview"}};
  for (const Case& c : cases) {
    SCOPED_TRACE("code " + std::to_string(c.code) + ", bill template \"" + c.billName + "\"");
    store_->billName = c.billName;
    std::optional<wb::Workbook::Format> opened;
    std::size_t sheets = 0;
    script_->onFill = [&](const std::string& file) {
      auto book = wb::Workbook::Open(file);
      opened = book->sourceFormat();
      sheets = book->SheetCount();
    };
    const std::size_t before = Engines().size();
    EXPECT_EQ(action_.DoAction(c.code), c.answer);
    const auto engines = Engines();
    ASSERT_EQ(engines.size(), before + 2);
    EXPECT_EQ(engines[before]->validatedId, 10506);
    EXPECT_EQ(engines[before + 1]->fileAllName, context::NewTempWorkbookName(".xls"));
    EXPECT_EQ(engines[before + 1]->calls.back(), c.lastCall);
    EXPECT_EQ(opened, wb::Workbook::Format::Xlsx);
    EXPECT_EQ(sheets, 3u);
    if (c.code == 1) {
      EXPECT_THAT(vemo::test::ReadFileBytes(temp_.path() / "sent"), ::testing::EndsWith(".xlsx")) << "the attachment's name";
    }
  }
}

TEST_F(ReportActionTest, ReportExportDialogOffersTheReportFormat) {
  store_->reportName = "statement.XLSX";
  auto bills = HostVector::Create();
  auto bill = HostDictionary::Create();
  bill->Add("FTranType", 4);
  bills->Add(bill);
  ASSERT_TRUE(action_.PrintInitial(bills));
  EXPECT_EQ(Engines()[0]->kind, DocumentKind::Report);
  desktop_->QueueFileName(std::nullopt);
  EXPECT_FALSE(action_.SingleRecordExportToFileAction4Rpt());
  ASSERT_EQ(desktop_->Dialogs().size(), 1u);
  const auto request = desktop_->Dialogs()[0].request;
  EXPECT_EQ(request.title, "引出打印文件");
  EXPECT_EQ(request.filter, "打印文件 Excel (*.xlsx)|*.xlsx");
  EXPECT_EQ(request.fileName, std::string(kAppPath) + "\\ExcelPrint\\*.xlsx");
  EXPECT_EQ(request.flags, 2050);

  store_->reportName = "statement.xls";
  desktop_->QueueFileName(std::nullopt);
  EXPECT_FALSE(action_.SingleRecordExportToFileAction4Rpt());
  EXPECT_EQ(desktop_->Dialogs()[1].request.filter, "打印文件 Excel 97-2003 (*.xls)|*.xls");
}

TEST_F(ReportActionTest, PreCheckUsesTheReportTable) {
  store_->reportName = "r.xlsx";
  ASSERT_TRUE(action_.PreCheck());
  EXPECT_EQ(Engines()[0]->validatedFile, context::NewTempWorkbookName(".xlsx"));
}

class WaybillActionTest : public ActionTest {
 protected:
  DictionaryRef Waybill(const char* key, int courier) {
    auto values = HostDictionary::Create();
    values->Add(key, courier);
    return values;
  }
};

TEST_F(WaybillActionTest, FromTheLogisticsScreen) {
  ExportActionLM action;
  EXPECT_EQ(action.dataFrom(), 0);
  action.SetDataSrv(Invoice());  // ignored: dataFrom is not 1
  auto values = Waybill("FID", 3);
  action.SetData(values);
  ASSERT_TRUE(action.PrintBill(false));
  EXPECT_THAT(Queries(), ElementsAre("QueryLM|GetNotePrintData|3||0"));
  auto engines = Engines();
  ASSERT_EQ(engines.size(), 2u);
  EXPECT_EQ(engines[0]->kind, DocumentKind::Waybill);
  EXPECT_THAT(engines[0]->calls, ElementsAre("ValidateTemplate"));
  EXPECT_EQ(engines[0]->validatedId, 2000001);
  EXPECT_THAT(engines[1]->calls, ElementsAre("SetFileAllName", "SetDataFrom", "SetData", "ExportSingleRecordDataToExcel", "PrintTo"));
  EXPECT_EQ(engines[1]->data, values);
  ASSERT_EQ(logEntries_->size(), 1u);
  EXPECT_EQ(logEntries_->at(0).code, "S1S003E002");
  EXPECT_EQ(logEntries_->at(0).text, "处理单据(2000001)打印导出Excel功能");
}

TEST_F(WaybillActionTest, FromABillSetBeforeTheDataService) {
  ExportActionLM action;
  action.SetDataFrom(1);
  auto service = Invoice();
  action.SetDataSrv(service);
  action.SetTableInfo(Fields("FLogisticID"));
  action.SetData(Waybill("FLogisticID", 7));
  action.SetDataFrom(0);
  action.SetDataFrom(1);
  ASSERT_TRUE(action.DoAction(ActionTypeEnum::SinglePrintView));
  EXPECT_THAT(Queries(), ElementsAre("QueryLM|GetNotePrintData|7||1"));
  auto engines = Engines();
  EXPECT_EQ(engines[0]->validatedId, 2000002);
  EXPECT_THAT(engines[1]->calls, ElementsAre("SetFileAllName", "SetDataFrom", "SetDataSrv", "SetTableInfo", "SetData",
                                             "ExportSingleRecordDataToExcel", "PrintPreview"));
  EXPECT_EQ(engines[1]->dataSrv, service);
  EXPECT_EQ(engines[1]->dataFrom, 1);
  EXPECT_EQ(logEntries_->at(0).text, "处理单据(2000002)打印导出Excel功能");
}

TEST_F(WaybillActionTest, ClassTypeStaysAtBillWaybillAfterGoingBack) {
  ExportActionLM action;
  action.SetDataFrom(1);
  action.SetDataFrom(0);
  ASSERT_TRUE(action.DoAction(7));
  EXPECT_EQ(logEntries_->at(0).text, "处理单据(2000002)打印导出Excel功能");
}

TEST_F(WaybillActionTest, DataServiceBeforeDataFromIsIgnored) {
  ExportActionLM action;
  action.SetDataSrv(Invoice());
  action.SetDataFrom(1);
  action.SetData(Waybill("FLogisticID", 7));
  ASSERT_TRUE(action.PrintBill(false));
  const EngineRecord& filler = *Engines()[1];
  EXPECT_EQ(filler.calls[2], "SetDataSrv");
  EXPECT_EQ(filler.dataSrv, nullptr);
}

TEST_F(WaybillActionTest, NoCourierKeyFindsNoTemplate) {
  store_->empty = true;
  ExportActionLM action;
  action.SetData(HostDictionary::Create());
  EXPECT_FALSE(action.PrintBill(false));
  EXPECT_THAT(Queries(), ElementsAre("QueryLM|GetNotePrintData|0||0"));
  auto message = OnlyMessage(Messages());
  EXPECT_EQ(message.text, "未设置打印模板或设置错误，请先确认设置Excel打印模板！");
  EXPECT_EQ(message.icon, context::vbExclamation);
}

TEST_F(WaybillActionTest, PrintDoesNotCheckTheApplicationVersion) {
  store_->waybillName = "waybill.xlsx";
  SetSpreadsheetVersion("11.0");
  ExportActionLM action;
  action.SetData(Waybill("FID", 3));
  ASSERT_TRUE(action.PrintBill(false));
  EXPECT_TRUE(Messages().empty());
  EXPECT_EQ(Engines().back()->fileAllName, context::NewTempWorkbookName(".xlsx"));
  // The template format came from the waybill table for this courier and source.
  EXPECT_NE(std::find(store_->statements.begin(), store_->statements.end(),
                      "select * from T_PrintExportLM where FSel=1 and FDataFrom = 0 and FBillType=3"),
            store_->statements.end());
}

TEST_F(WaybillActionTest, ExportFillsTheChosenFileAndOpensUnlessNo) {
  ExportActionLM action;
  action.SetDataFrom(1);
  action.SetData(Waybill("FLogisticID", 7));
  const std::string chosen = (temp_.path() / "waybill.xls").string();
  desktop_->QueueFileName(chosen);
  desktop_->QueueAnswer(context::vbNo);
  ASSERT_TRUE(action.PrintBill(false, true));
  const auto request = desktop_->Dialogs().at(0).request;
  EXPECT_EQ(request.title, "引出打印文件");
  EXPECT_EQ(request.filter, "打印文件 Excel 97-2003 (*.xls)|*.xls");
  EXPECT_EQ(request.fileName, std::string(kAppPath) + "\\ExcelPrint\\LogicExcelRefForBill\\*.xls");
  auto message = OnlyMessage(Messages());
  EXPECT_EQ(message.text, "是否打开导出文件？");
  EXPECT_EQ(message.buttons, context::vbYesNo);
  EXPECT_EQ(message.icon, context::vbQuestion);
  EXPECT_EQ(ReadBytes(chosen), store_->contents);
  // Filled beside the chosen file, which it replaced once filled.
  EXPECT_EQ(std::filesystem::path(Engines().back()->fileAllName).parent_path(), temp_.path());
  EXPECT_EQ(Engines().back()->calls.back(), "ExportSingleRecordDataToExcel");
}

TEST_F(WaybillActionTest, OuterLoginExportOpensTheFileWithoutAsking) {
  PublishLogin(1);
  ExportActionLM action;
  action.SetData(Waybill("FID", 3));
  desktop_->QueueFileName((temp_.path() / "w.xls").string());
  ASSERT_TRUE(action.DoAction(2));
  EXPECT_TRUE(Messages().empty());
  EXPECT_EQ(Engines().back()->calls.back(), "OpenExcel");
  EXPECT_EQ(desktop_->Dialogs().at(0).request.fileName, std::string(kAppPath) + "\\ExcelPrint\\LogicExcelRef\\*.xls");
}

// DoAction codes on every class: what runs, and what it answers.
struct CodeCase {
  int code;
  bool result;          // with a template, an application, Outlook and a cancelled dialog
  const char* lastCall; // the fill engine's last call; "" when no engine fills
};

template <class Action>
void ExpectCodes(ActionTest& test, const std::vector<CodeCase>& cases, const std::function<void(Action&)>& setUp,
                 const std::function<std::vector<std::shared_ptr<EngineRecord>>()>& engines,
                 const std::shared_ptr<context::ScriptedDesktop>& desktop) {
  for (const CodeCase& c : cases) {
    Action action;
    setUp(action);
    const std::size_t before = engines().size();
    desktop->QueueFileName(std::nullopt);  // a dialog, if any, is cancelled
    EXPECT_EQ(action.DoAction(c.code), c.result) << "code " << c.code;
    auto after = engines();
    if (std::string(c.lastCall).empty()) {
      EXPECT_EQ(after.size(), before) << "code " << c.code;
    } else {
      ASSERT_GT(after.size(), before) << "code " << c.code;
      EXPECT_EQ(after.back()->calls.back(), c.lastCall) << "code " << c.code;
    }
  }
}

class ActionCodesTest : public ActionTest {
 protected:
  ActionCodesTest() { InstallOutlook(); }
  std::function<std::vector<std::shared_ptr<EngineRecord>>()> EngineList() {
    return [this] { return Engines(); };
  }
};

TEST_F(ActionCodesTest, BillAction) {
  ExpectCodes<ExportAction>(*this,
                            {{1, false, "ExportSingleRecordDataToExcel"}, {2, false, ""}, {3, true, "PrintTo"},
                             {4, true, "PrintPreview"}, {5, true, ""}, {6, true, ""}, {7, true, ""}, {8, true, ""}},
                            [this](ExportAction& a) { a.SetDataSrv(Invoice()); }, EngineList(), desktop_);
  EXPECT_EQ(desktop_->Dialogs().size(), 1u);  // code 2 asked for a file
  EXPECT_EQ(logEntries_->size(), 6u);          // every True answer is logged, 5 to 8 included
  // Outlook's install keys pass the check, but nothing here can send: mail says why.
  EXPECT_TRUE(Messages().empty());
  const auto causes = desktop_->Causes();
  ASSERT_EQ(causes.size(), 1u);
  EXPECT_EQ(causes[0].rfind("the mail was not sent: no mail server is configured", 0), 0u) << causes[0];
}

TEST_F(ActionCodesTest, ReportAction) {
  ExpectCodes<ExportActionRpt>(*this,
                               {{1, false, "ExportSingleRecordDataToExcel"}, {2, true, ""}, {3, true, "PrintTo"},
                                {4, true, "PrintPreview"}, {5, true, ""}, {6, true, ""}, {7, true, ""}, {8, true, ""}},
                               [this](ExportActionRpt& a) {
                                 a.SetDataSrv(Invoice());
                                 a.SetRptHeadData(HostDictionary::Create());
                               },
                               EngineList(), desktop_);
  EXPECT_TRUE(desktop_->Dialogs().empty());
}

TEST_F(ActionCodesTest, WaybillAction) {
  ExpectCodes<ExportActionLM>(*this,
                              {{1, false, "ExportSingleRecordDataToExcel"}, {2, false, ""}, {3, true, "PrintTo"},
                               {4, true, "PrintPreview"}, {5, true, ""}, {6, true, ""}, {7, true, ""}, {8, true, ""}},
                              [](ExportActionLM& a) {
                                auto values = HostDictionary::Create();
                                values->Add("FID", 3);
                                a.SetData(values);
                              },
                              EngineList(), desktop_);
  EXPECT_EQ(desktop_->Dialogs().size(), 1u);
  EXPECT_EQ(logEntries_->size(), 6u);  // every True answer is logged
}

}  // namespace
}  // namespace vemo::actions::test

namespace vemo::actions::test {
namespace {

TEST_F(ActionTest, ClassesAreCreatableByIdentifier) {
  RegisterExportActions();
  auto bill = CreateObjectAs<ExportAction>("vemoprintexport.exportaction");  // identifiers ignore case
  auto report = CreateObjectAs<ExportActionRpt>(std::string(kExportActionRptProgId));
  auto waybill = CreateObjectAs<ExportActionLM>(std::string(kExportActionLMProgId));
  EXPECT_NE(bill, CreateObjectAs<ExportAction>(std::string(kExportActionProgId)));  // a new object each time
  waybill->SetData(HostDictionary::Create());
  EXPECT_TRUE(waybill->DoAction(ActionTypeEnum::MultiPrint));
  EXPECT_EQ(logEntries_->at(0).text, "处理单据(2000001)打印导出Excel功能");
  EXPECT_EQ(report->TypeName(), "ExportActionRpt");
}

}  // namespace
}  // namespace vemo::actions::test
