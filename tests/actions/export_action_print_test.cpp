// ExportAction: print, preview and mail of one bill, the spreadsheet and
// Outlook prerequisites, the template and its format, the behaviour log.
#include <gmock/gmock.h>

#include "action_fixture.h"
#include "actions/action_messages.h"
#include "actions/export_action.h"
#include "context/temp_files.h"

namespace vemo::actions::test {
namespace {

using ::testing::ElementsAre;

class ExportActionPrintTest : public ActionTest {
 protected:
  ExportActionPrintTest() {
    action_.SetDataSrv(Invoice());
    action_.SetData(Values("FInvoiceType", "增值税发票"));
    action_.SetTableInfo(Fields("FInvoiceType"));
  }
  ExportAction action_;
};

TEST_F(ExportActionPrintTest, PrintWritesTheTemplateValidatesFillsPrintsAndLogs) {
  ASSERT_TRUE(action_.PrintBill(false));

  EXPECT_TRUE(Messages().empty());
  auto engines = Engines();
  ASSERT_EQ(engines.size(), 2u);
  const std::string working = context::NewTempWorkbookName(".xls");
  EXPECT_EQ(engines[0]->kind, DocumentKind::Bill);
  EXPECT_EQ(engines[0]->validatedId, 1020002);
  EXPECT_EQ(engines[0]->validatedFile, working);
  EXPECT_EQ(engines[1]->calls.back(), "PrintTo");
  EXPECT_TRUE(engines[1]->dataSrv && engines[1]->data) << "the bill reaches the engine";
  EXPECT_EQ(engines[1]->fileAllName, working);
  EXPECT_EQ(ReadBytes(working), store_->contents);  // the template, byte for byte; it stays for the print

  EXPECT_THAT(Logged(), ElementsAre("S1S003E001 处理单据(1020002)打印导出Excel功能"));
  EXPECT_EQ(logEntries_->at(0).props, kProps);
}

TEST_F(ExportActionPrintTest, SubTypeRulesByClassType) {
  struct Case {
    std::int32_t classType;
    const char* field;
    const char* expected;  // the sub-type asked for; the field shows "普通发票"
  };
  for (const Case& c : {Case{1020002, "FInvoiceType", "普通发票"}, Case{1030002, "FInvoiceType", "普通发票"},
                        Case{1050003, "FBillTypeId", "普通发票"}, Case{1040007, "FBillTypeId", "普通发票"},
                        Case{1050003, "FInvoiceType", ""}, Case{1020003, "FInvoiceType", ""}}) {
    store_->queries.clear();
    ExportAction action;
    action.SetDataSrv(Invoice(c.classType));
    action.SetData(Values(c.field, "普通发票"));
    action.SetTableInfo(Fields(c.field));
    ASSERT_TRUE(action.PrintBill(false)) << c.classType;
    EXPECT_THAT(Queries(), ElementsAre("Query|GetNotePrintData|" + std::to_string(c.classType) + "|" + c.expected))
        << c.classType << " " << c.field;
  }
}

TEST_F(ExportActionPrintTest, ReportDataSourceAsksAndValidatesByReportId) {
  action_.SetDataSourceType(1);
  action_.SetRptID(10506);
  ASSERT_TRUE(action_.PrintBill(false));
  EXPECT_THAT(Queries(), ElementsAre("Query|GetRptNotePrintData|10506|"));
  EXPECT_EQ(Engines()[0]->validatedId, 10506);
  EXPECT_EQ(Engines()[0]->dataSourceType, 1);
}

// The application check: none, too old for the template's format, or fit.
TEST_F(ExportActionPrintTest, TheSpreadsheetApplicationMustOpenTheTemplatesFormat) {
  struct Case {
    const char* version;  // nullptr: no application installed
    const char* templateName;
    const char* refusal;  // "" when the bill is printed
  };
  const Case cases[] = {{nullptr, "invoice.xls", "启动Excel失败，请先安装。"},
                        {"11.0", "Invoice.XLSX", "当前系统Excel不支持xlsx格式，请安装2007或以上版本的Excel！"},
                        {"11.0", "invoice.xls", ""},
                        {"11.0", "invoice.ods", ""},  // any other name counts as .xls
                        {"12.0", "Invoice.XLSX", ""}};
  for (const Case& c : cases) {
    desktop_ = std::make_shared<context::ScriptedDesktop>();
    context::ScopedDesktop use(desktop_);
    if (c.version) SetSpreadsheetVersion(c.version); else RemoveSpreadsheet();
    store_->billName = c.templateName;
    const std::size_t engines = Engines().size();
    EXPECT_EQ(action_.PrintBill(false), *c.refusal == 0) << c.templateName;
    if (*c.refusal == 0) continue;
    ExpectOnlyHostMessage(Messages(), c.refusal);
    EXPECT_EQ(Engines().size(), engines) << "no engine is made for a refused print";
  }
  EXPECT_EQ(Engines().back()->fileAllName, context::NewTempWorkbookName(".xlsx"));
  EXPECT_EQ(logEntries_->size(), 3u) << "only the printed bills are logged";
}

// Rounds: no template stored (also for an outer login, which is not told),
// the engine refuses it, a data source that has no templates at all.
TEST_F(ExportActionPrintTest, MissingOrRefusedTemplate) {
  for (int refusal = 0; refusal < 4; ++refusal) {
    desktop_ = std::make_shared<context::ScriptedDesktop>();
    context::ScopedDesktop use(desktop_);
    PublishLogin(refusal == 3 ? 1 : 0);
    store_->empty = refusal == 0 || refusal == 3;
    script_->validate = refusal != 1;
    if (refusal == 2) {
      store_->queries.clear();
      action_.SetDataSourceType(2);
    }
    EXPECT_FALSE(action_.PrintBill(false));
    if (refusal == 3) {
      EXPECT_TRUE(Messages().empty());
    } else {
      ExpectOnlyBox(Messages(), kNoTemplate, context::vbOKOnly, context::vbExclamation);
    }
    if (refusal == 2) {
      EXPECT_TRUE(Queries().empty()) << "data source 2 asks for no template";
    }
  }
  EXPECT_TRUE(logEntries_->empty());
}

// isPreview chooses the preview; a failed fill or output answers False unlogged.
TEST_F(ExportActionPrintTest, PreviewAndAFailedFillOrOutput) {
  ASSERT_TRUE(action_.PrintBill(true));
  EXPECT_EQ(Engines().back()->calls.back(), "PrintPreview");
  logEntries_->clear();
  script_->fill = false;
  EXPECT_FALSE(action_.PrintBill(false));
  EXPECT_EQ(Engines().back()->calls.back(), "ExportSingleRecordDataToExcel");
  script_->fill = true;
  script_->output = false;
  EXPECT_FALSE(action_.PrintBill(true));
  EXPECT_TRUE(logEntries_->empty());
}

TEST_F(ExportActionPrintTest, LogFailureDoesNotChangeTheResult) {
  ScopedFactory brokenLog(std::string(host::progid::kBehaviorLog), nullptr);
  EXPECT_TRUE(action_.PrintBill(false));
}

// With Outlook installed, see DoActionCodesOnEveryClass.
TEST_F(ExportActionPrintTest, MailNeedsOutlook) {
  EXPECT_FALSE(action_.DoAction(ActionTypeEnum::SingleExpToEmail));
  ExpectOnlyHostMessage(Messages(), "启动Outlook失败，请先安装。");
  EXPECT_FALSE(action_.DoAction(ActionTypeEnum::MultiExpToEmial));
  EXPECT_TRUE(Engines().empty());
}

TEST_F(ExportActionPrintTest, PreCheckAsksForTheApplicationAndTheTemplate) {
  EXPECT_TRUE(action_.PreCheck());
  EXPECT_EQ(Engines().size(), 1u);  // the validation only
  EXPECT_TRUE(logEntries_->empty());

  RemoveSpreadsheet();
  EXPECT_FALSE(action_.PreCheck());
  ExpectOnlyHostMessage(Messages(), "启动Excel失败，请先安装");
}

TEST_F(ExportActionPrintTest, HourglassDuringPreparationOnly) {
  script_->onFill = [](const std::string&) { EXPECT_EQ(context::WaitCursor::ShowCount(), 1); };
  ASSERT_TRUE(action_.PrintBill(false));
  EXPECT_EQ(context::WaitCursor::ShowCount(), 0);
  EXPECT_THAT(desktop_->PointerHistory(), ElementsAre(context::kPointerHourglass, context::kPointerDefault));
}

}  // namespace
}  // namespace vemo::actions::test
