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
  EXPECT_EQ(OnlyMessage(Messages()).text, kNoTemplate);
}

TEST_F(ReportActionTest, ReportEngineValidatesByReportIdForAnyDataSource) {
  action_.SetDataSourceType(0);
  ASSERT_TRUE(action_.DoAction(4));
  auto engines = Engines();
  ASSERT_EQ(engines.size(), 2u);
  EXPECT_EQ(engines[0]->kind, DocumentKind::Report);
  EXPECT_EQ(engines[0]->validatedId, 10506);
  EXPECT_EQ(engines[0]->dataSourceType, 0);
  EXPECT_EQ(engines[1]->calls.back(), "PrintPreview");
  EXPECT_THAT(Logged(), ElementsAre("S1S003E001 处理单据(1020002)打印导出Excel功能"));
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
    const char* lastCall;
  };
  const Case cases[] = {{1, "invoice.xls", "ExportSingleRecordDataToExcel"}, {3, "", "PrintTo"}, {4, "invoice.xls", "PrintPreview"}};
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
    EXPECT_TRUE(action_.DoAction(c.code));
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
  ASSERT_TRUE(action_.PrintInitial(Bills({4})));
  EXPECT_EQ(Engines()[0]->kind, DocumentKind::Report);
  desktop_->QueueFileName(std::nullopt);
  EXPECT_FALSE(action_.SingleRecordExportToFileAction4Rpt());
  ASSERT_EQ(desktop_->Dialogs().size(), 1u);
  EXPECT_EQ(DialogOf(desktop_->Dialogs()[0]), "引出打印文件 | 打印文件 Excel (*.xlsx)|*.xlsx | " + std::string(kAppPath) + "\\ExcelPrint\\*.xlsx | 2050");

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

// Where the courier comes from decides the query, the class type id the
// waybill is validated and logged with, and whether the bill's data service
// reaches the engine: the logistics screen (dataFrom 0, key FID) or a bill
// (dataFrom 1, key FLogisticID, its data service only when set after dataFrom).
TEST_F(WaybillActionTest, CourierAndClassTypeFollowDataFrom) {
  auto service = Invoice();
  struct Case {
    const char* name;
    std::function<void(ExportActionLM&)> setUp;
    const char* query;
    std::int32_t classType;
    bool servicePassed;
  };
  const Case cases[] = {
      {"logistics screen", [&](ExportActionLM& a) { a.SetDataSrv(service); a.SetData(Waybill("FID", 3)); },
       "QueryLM|GetNotePrintData|3||0", 2000001, false},
      {"bill", [&](ExportActionLM& a) {
         a.SetDataFrom(1);
         a.SetDataSrv(service);
         a.SetData(Waybill("FLogisticID", 7));
         a.SetDataFrom(0);  // and back: the data service stays
         a.SetDataFrom(1);
       },
       "QueryLM|GetNotePrintData|7||1", 2000002, true},
      {"service before dataFrom", [&](ExportActionLM& a) { a.SetDataSrv(service); a.SetDataFrom(1); a.SetData(Waybill("FLogisticID", 7)); },
       "QueryLM|GetNotePrintData|7||1", 2000002, false},
      {"back to the screen", [&](ExportActionLM& a) { a.SetDataFrom(1); a.SetDataFrom(0); a.SetData(Waybill("FID", 3)); },
       "QueryLM|GetNotePrintData|3||0", 2000002, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    store_->queries.clear();
    logEntries_->clear();
    ExportActionLM action;
    c.setUp(action);
    const std::size_t before = Engines().size();
    ASSERT_TRUE(action.PrintBill(false));
    EXPECT_THAT(Queries(), ElementsAre(c.query));
    const auto engines = Engines();
    ASSERT_EQ(engines.size(), before + 2);
    EXPECT_EQ(engines[before]->kind, DocumentKind::Waybill);
    EXPECT_EQ(engines[before]->validatedId, c.classType);
    EXPECT_EQ(engines[before + 1]->dataSrv, c.servicePassed ? ObjectRef(service) : ObjectRef());
    EXPECT_NE(engines[before + 1]->data, nullptr);
    EXPECT_EQ(engines[before + 1]->calls.back(), "PrintTo");
    EXPECT_THAT(Logged(), ElementsAre("S1S003E002 处理单据(" + std::to_string(c.classType) + ")打印导出Excel功能"));
  }
}

TEST_F(WaybillActionTest, NoCourierKeyFindsNoTemplate) {
  store_->empty = true;
  ExportActionLM action;
  action.SetData(HostDictionary::Create());
  EXPECT_FALSE(action.PrintBill(false));
  EXPECT_THAT(Queries(), ElementsAre("QueryLM|GetNotePrintData|0||0"));
  ExpectOnlyBox(Messages(), kNoTemplate, context::vbOKOnly, context::vbExclamation);
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
  EXPECT_THAT(store_->statements, ::testing::Contains("select * from T_PrintExportLM where FSel=1 and FDataFrom = 0 and FBillType=3"));
}

// Filled beside the chosen file, which it replaces once filled; the folder
// offered follows dataFrom; an outer login is not asked and the file opens.
TEST_F(WaybillActionTest, ExportFillsTheChosenFileAndOpensUnlessNo) {
  for (const int fromBill : {1, 0}) {
    SCOPED_TRACE(fromBill ? "waybill of a bill, answered No" : "logistics screen, outer login");
    desktop_ = std::make_shared<context::ScriptedDesktop>();
    context::ScopedDesktop use(desktop_);
    PublishLogin(1 - fromBill);
    ExportActionLM action;
    action.SetDataFrom(fromBill);
    action.SetData(Waybill(fromBill ? "FLogisticID" : "FID", 7));
    const std::string chosen = (temp_.path() / ("waybill" + std::to_string(fromBill) + ".xls")).string();
    desktop_->QueueFileName(chosen);
    if (fromBill) desktop_->QueueAnswer(context::vbNo);
    ASSERT_TRUE(action.PrintBill(false, true));
    EXPECT_EQ(DialogOf(desktop_->Dialogs().at(0)), "引出打印文件 | 打印文件 Excel 97-2003 (*.xls)|*.xls | " + std::string(kAppPath) +
                                                       (fromBill ? "\\ExcelPrint\\LogicExcelRefForBill\\*.xls | 2050" : "\\ExcelPrint\\LogicExcelRef\\*.xls | 2050"));
    if (fromBill) {
      ExpectOnlyBox(Messages(), "是否打开导出文件？", context::vbYesNo, context::vbQuestion);
      EXPECT_EQ(std::filesystem::path(Engines().back()->fileAllName).parent_path(), temp_.path());
    } else {
      EXPECT_TRUE(Messages().empty());
    }
    EXPECT_EQ(ReadBytes(chosen), store_->contents);
    EXPECT_EQ(Engines().back()->calls.back(), fromBill ? "ExportSingleRecordDataToExcel" : "OpenExcel");
  }
}

// DoAction codes 1 to 8 on every class, with a template, an application,
// Outlook's install keys and a cancelled dialog: what each answers, and the
// fill engine's last call ("" when no engine fills).
TEST_F(ActionTest, DoActionCodesOnEveryClass) {
  InstallOutlook();
  const char* const lastCalls[] = {"ExportSingleRecordDataToExcel", "", "PrintTo", "PrintPreview", "", "", "", ""};
  struct Case {
    const char* name;
    std::function<bool(int)> run;  // a new action of the class doing the code
    std::string answers;           // codes 1 to 8
    std::size_t dialogs;
  };
  const Case cases[] = {
      {"bill", [this](int code) { ExportAction a; a.SetDataSrv(Invoice()); return a.DoAction(code); }, "FFTTTTTT", 1},
      {"report", [this](int code) {
         ExportActionRpt a;
         a.SetDataSrv(Invoice());
         a.SetRptHeadData(HostDictionary::Create());
         return a.DoAction(code);
       }, "FTTTTTTT", 0},
      {"waybill", [](int code) {
         ExportActionLM a;
         auto values = HostDictionary::Create();
         values->Add("FID", 3);
         a.SetData(values);
         return a.DoAction(code);
       }, "FFTTTTTT", 1},
  };
  for (const Case& c : cases) {
    desktop_ = std::make_shared<context::ScriptedDesktop>();
    context::ScopedDesktop use(desktop_);
    logEntries_->clear();
    for (int code = 1; code <= 8; ++code) {
      SCOPED_TRACE(std::string(c.name) + " code " + std::to_string(code));
      const std::size_t before = Engines().size();
      desktop_->QueueFileName(std::nullopt);  // a dialog, if any, is cancelled
      EXPECT_EQ(c.run(code), c.answers[code - 1] == 'T');
      const auto after = Engines();
      if (*lastCalls[code - 1] == 0) {
        EXPECT_EQ(after.size(), before);
      } else {
        ASSERT_GT(after.size(), before);
        EXPECT_EQ(after.back()->calls.back(), lastCalls[code - 1]);
      }
    }
    EXPECT_EQ(desktop_->Dialogs().size(), c.dialogs) << c.name;
    EXPECT_EQ(logEntries_->size(), std::count(c.answers.begin(), c.answers.end(), 'T')) << c.name << ": every True answer is logged";
    // Outlook's install keys pass the check, but nothing here can send: mail says why.
    EXPECT_TRUE(Messages().empty()) << c.name;
    ASSERT_EQ(desktop_->Causes().size(), 1u) << c.name;
    EXPECT_EQ(desktop_->Causes()[0].rfind("the mail was not sent: no mail server is configured", 0), 0u) << desktop_->Causes()[0];
  }
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
  EXPECT_EQ(report->TypeName(), "ExportActionRpt");
  EXPECT_EQ(waybill->TypeName(), "ExportActionLM");
}

}  // namespace
}  // namespace vemo::actions::test
