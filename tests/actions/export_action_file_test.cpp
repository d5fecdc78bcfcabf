// ExportAction: export to a chosen file (timed working copy) and the
// report-style export of a continuous print.
#include <gmock/gmock.h>

#include <filesystem>

#include "action_fixture.h"
#include "actions/export_action.h"
#include "actions/export_timing.h"

namespace vemo::actions::test {
namespace {

using ::testing::ElementsAre;
using ::testing::StartsWith;

TEST(ExportTiming, ElapsedSecondsFormat) {
  EXPECT_EQ(FormatElapsedSeconds(500), "0.50");
  EXPECT_EQ(FormatElapsedSeconds(1234500), "1,234.50");
  EXPECT_EQ(FormatElapsedSeconds(0), "0.00");
  EXPECT_EQ(FormatElapsedSeconds(4), "0.00");
  EXPECT_EQ(FormatElapsedSeconds(5), "0.01");  // half a hundredth rounds up
  EXPECT_EQ(FormatElapsedSeconds(999995), "1,000.00");
  EXPECT_EQ(FormatElapsedSeconds(1234567890), "1,234,567.89");
  EXPECT_EQ(ExportDoneQuestion(500), "引出文件成功，耗时：0.50秒。\r\n\r\n是否打开导出的文件？");
}

class ExportActionFileTest : public ActionTest {
 protected:
  ExportActionFileTest() : ticks_([this] { return tick_ += 500; }) {
    action_.SetDataSrv(Invoice());
    action_.SetData(Values("FInvoiceType", "增值税发票"));
    action_.SetTableInfo(Fields("FInvoiceType"));
  }
  std::string Chosen(const char* name = "out.xls") const { return (temp_.path() / name).string(); }
  std::int64_t tick_ = 1000;
  ScopedTickSource ticks_;
  ExportAction action_;
};

TEST_F(ExportActionFileTest, ExportCopiesTheFilledWorkingFileReportsTheTimeAndOpensOnYes) {
  desktop_->QueueFileName(Chosen());
  desktop_->QueueAnswer(context::vbYes);
  std::string workingDuringFill;
  script_->onFill = [&](const std::string& file) { workingDuringFill = file; };
  ASSERT_TRUE(action_.PrintBill(false, true));

  auto dialogs = desktop_->Dialogs();
  ASSERT_EQ(dialogs.size(), 1u);
  EXPECT_EQ(dialogs[0].kind, context::ShownDialog::Kind::Save);
  EXPECT_EQ(dialogs[0].request.title, "引出文件");
  EXPECT_EQ(dialogs[0].request.filter, "Excel文件 (*.xls)|*.xls");
  EXPECT_EQ(dialogs[0].request.fileName, std::string(kAppPath) + "\\ExcelPrint\\*.xls");
  EXPECT_EQ(dialogs[0].request.filterIndex, 1);
  EXPECT_EQ(dialogs[0].request.flags, 2050);

  auto message = OnlyMessage(Messages());
  EXPECT_EQ(message.text, "引出文件成功，耗时：0.50秒。\r\n\r\n是否打开导出的文件？");
  EXPECT_EQ(message.buttons, context::vbYesNo);
  EXPECT_EQ(message.icon, context::vbQuestion);
  EXPECT_EQ(message.title, "Quorvan提示");

  // The working file was a unique T_<guid>.xls in the temporary folder, gone now.
  const std::string workingName = std::filesystem::path(workingDuringFill).filename().string();
  EXPECT_THAT(workingName, StartsWith("T_"));
  EXPECT_EQ(workingName.size(), std::string("T_").size() + 36 + std::string(".xls").size());
  EXPECT_FALSE(std::filesystem::exists(workingDuringFill));
  EXPECT_EQ(ReadBytes(Chosen()), store_->contents);

  const EngineRecord& filler = *Engines().back();
  EXPECT_THAT(filler.calls, ElementsAre("SetFileAllName", "SetDataSrv", "SetData", "SetTableInfo",
                                        "ExportSingleRecordDataToExcel", "SetFileAllName", "OpenExcel"));
  EXPECT_EQ(filler.fileAllName, Chosen());
  EXPECT_THAT(desktop_->PointerHistory(), ElementsAre(context::kPointerHourglass, context::kPointerDefault));
  EXPECT_EQ(logEntries_->size(), 1u);
}

TEST_F(ExportActionFileTest, XlsxTemplateOffersXlsx) {
  store_->billName = "invoice.xlsx";
  desktop_->QueueFileName(std::nullopt);
  EXPECT_FALSE(action_.DoAction(2));
  ASSERT_EQ(desktop_->Dialogs().size(), 1u);
  EXPECT_EQ(desktop_->Dialogs()[0].request.filter, "Excel文件 (*.xlsx)|*.xlsx");
  EXPECT_EQ(desktop_->Dialogs()[0].request.fileName, std::string(kAppPath) + "\\ExcelPrint\\*.xlsx");
}

TEST_F(ExportActionFileTest, NoOnTheQuestionLeavesTheFileClosed) {
  desktop_->QueueFileName(Chosen());
  desktop_->QueueAnswer(context::vbNo);
  ASSERT_TRUE(action_.DoAction(2));
  EXPECT_EQ(Engines().back()->calls.back(), "ExportSingleRecordDataToExcel");
}

TEST_F(ExportActionFileTest, CancelledDialogEndsSilently) {
  desktop_->QueueFileName(std::nullopt);
  EXPECT_FALSE(action_.DoAction(2));
  EXPECT_TRUE(Messages().empty());
  EXPECT_TRUE(Engines().empty());
  EXPECT_TRUE(logEntries_->empty());
}

TEST_F(ExportActionFileTest, OuterLoginIsNotAskedAndTheFileIsNotOpened) {
  PublishLogin(1);
  desktop_->QueueFileName(Chosen());
  ASSERT_TRUE(action_.DoAction(2));
  EXPECT_TRUE(Messages().empty());
  EXPECT_EQ(Engines().back()->calls.back(), "ExportSingleRecordDataToExcel");
  EXPECT_EQ(ReadBytes(Chosen()), store_->contents);
}

TEST_F(ExportActionFileTest, UnwritableTargetShowsTheErrorAndCleansUp) {
  const std::string target = (temp_.path() / "missing-folder" / "out.xls").string();
  desktop_->QueueFileName(target);
  std::string working;
  script_->onFill = [&](const std::string& file) { working = file; };
  EXPECT_FALSE(action_.DoAction(2));
  auto message = OnlyMessage(Messages());
  EXPECT_EQ(message.title, "错误");
  EXPECT_EQ(message.icon, context::vbExclamation);
  EXPECT_NE(message.text.find(target), std::string::npos) << message.text;
  EXPECT_FALSE(std::filesystem::exists(working));
  EXPECT_EQ(desktop_->PointerHistory().back(), context::kPointerDefault);
  EXPECT_TRUE(logEntries_->empty());
}

TEST_F(ExportActionFileTest, FailedFillDeletesTheWorkingFile) {
  desktop_->QueueFileName(Chosen());
  script_->fill = false;
  std::string working;
  script_->onFill = [&](const std::string& file) { working = file; };
  EXPECT_FALSE(action_.DoAction(2));
  EXPECT_TRUE(Messages().empty());
  EXPECT_FALSE(std::filesystem::exists(working));
  EXPECT_FALSE(std::filesystem::exists(Chosen()));
}

// Continuous printing.

VectorRef Bills(std::initializer_list<int> types) {
  auto bills = HostVector::Create();
  for (int type : types) {
    auto bill = HostDictionary::Create();
    bill->Add("FTranType", type);
    bills->Add(bill);
  }
  return bills;
}

class ContinuousPrintTest : public ActionTest {
 protected:
  ContinuousPrintTest() {
    action_.SetDataSrv(Invoice());
    action_.SetDataSourceType(1);
    action_.SetRptID(10506);
    head_->Add("ByItem", 0);
    action_.SetRptHeadData(head_);
    action_.SetRptEntryData(rows_);
  }
  ExportAction action_;
  DictionaryRef head_ = HostDictionary::Create();
  RecordsetRef rows_ = Recordset::Create({"FBillNo"}, {{Variant("XS-1")}});
};

TEST_F(ContinuousPrintTest, OneTransactionTypeIsCounted) {
  ASSERT_TRUE(action_.PrintInitial(Bills({1, 1, 1})));
  EXPECT_TRUE(Messages().empty());
  const auto& counts = action_.Core().Inputs().typeCounts;
  ASSERT_EQ(counts->Size(), 1);
  auto entry = counts->Item(1).AsObject<HostDictionary>();
  EXPECT_EQ(entry->Item("FTranType").ToInt32(), 1);
  EXPECT_EQ(entry->Item("FDataCount").ToInt32(), 3);
  ASSERT_EQ(Engines().size(), 1u);
  EXPECT_THAT(Engines()[0]->calls, ElementsAre("SetPrintData"));
}

TEST_F(ContinuousPrintTest, MixedTransactionTypesAreRefused) {
  EXPECT_FALSE(action_.PrintInitial(Bills({1, 1, 2})));
  auto message = OnlyMessage(Messages());
  EXPECT_EQ(message.text, "不支持不同类型单据的连续打印！");
  EXPECT_EQ(message.icon, context::vbInformation);
  EXPECT_EQ(message.buttons, context::vbOKOnly);
  EXPECT_EQ(message.title, "Quorvan提示");
  EXPECT_EQ(action_.Core().Inputs().typeCounts->Size(), 2);
}

TEST_F(ContinuousPrintTest, MissingOrBrokenDataIsRefused) {
  auto broken = Bills({1});
  broken->Add(Variant("not a bill"));
  for (const ObjectRef& data : {ObjectRef(), ObjectRef(broken), ObjectRef(HostDictionary::Create())}) {
    desktop_ = std::make_shared<context::ScriptedDesktop>();
    context::ScopedDesktop use(desktop_);
    EXPECT_FALSE(action_.PrintInitial(data));
    auto message = OnlyMessage(Messages());
    EXPECT_EQ(message.text, "单据打印初始化数据错误，不能打印！");
    EXPECT_EQ(message.icon, context::vbInformation);
  }
}

TEST_F(ContinuousPrintTest, ShownEvenForAnOuterLogin) {
  PublishLogin(1);
  EXPECT_FALSE(action_.PrintInitial(nullptr));
  EXPECT_EQ(Messages().size(), 1u);
}

TEST_F(ContinuousPrintTest, PrintRptNeedsPrintInitial) {
  EXPECT_FALSE(action_.PrintRpt(false));
  EXPECT_FALSE(action_.SingleRecordExportToFileAction4Rpt());
  EXPECT_TRUE(Messages().empty());
  EXPECT_TRUE(desktop_->Dialogs().empty());
}

TEST_F(ContinuousPrintTest, PrintRptFillsTheReportOnTheBatchEngine) {
  store_->reportName = "statement.xlsx";
  ASSERT_TRUE(action_.PrintInitial(Bills({2, 2})));
  ASSERT_TRUE(action_.PrintRpt(true));
  ASSERT_TRUE(action_.PrintRpt(false));  // again on the same engine
  auto engines = Engines();
  ASSERT_EQ(engines.size(), 3u);  // batch engine, two validations
  const EngineRecord& batch = *engines[0];
  EXPECT_THAT(batch.calls, ElementsAre("SetPrintData", "SetFileAllName", "SetDataSourceType", "SetRptHeadData",
                                       "SetRptEntryData", "ExportSingleRecordDataToExcel", "PrintPreview",
                                       "SetFileAllName", "SetDataSourceType", "SetRptHeadData", "SetRptEntryData",
                                       "ExportSingleRecordDataToExcel", "PrintTo"));
  EXPECT_EQ(batch.dataSourceType, 1);
  EXPECT_EQ(batch.rptHeadData, head_);
  EXPECT_EQ(batch.rptEntryData, rows_);
  EXPECT_EQ(batch.fileAllName, context::NewTempWorkbookName(".xlsx"));
  EXPECT_EQ(engines[1]->validatedId, 10506);
  EXPECT_TRUE(logEntries_->empty());
}

TEST_F(ContinuousPrintTest, PrintRptWithoutApplication) {
  ASSERT_TRUE(action_.PrintInitial(Bills({2})));
  RemoveSpreadsheet();
  EXPECT_FALSE(action_.PrintRpt(false));
  auto message = OnlyMessage(Messages());
  EXPECT_EQ(message.kind, context::ShownMessage::Kind::HostMessage);
  EXPECT_EQ(message.text, "启动Excel失败，请先安装");
}

TEST_F(ContinuousPrintTest, ReportExportFillsTheChosenFileAndAsksToOpenIt) {
  ASSERT_TRUE(action_.PrintInitial(Bills({2})));
  const std::string chosen = (temp_.path() / "statement.xls").string();
  desktop_->QueueFileName(chosen);
  desktop_->QueueAnswer(context::vbYes);
  ASSERT_TRUE(action_.SingleRecordExportToFileAction4Rpt());
  auto message = OnlyMessage(Messages());
  EXPECT_EQ(message.text, "是否打开导出文件？");
  EXPECT_EQ(message.buttons, context::vbYesNo);
  EXPECT_EQ(message.icon, context::vbQuestion);
  EXPECT_EQ(message.title, "Quorvan提示");
  EXPECT_EQ(ReadBytes(chosen), store_->contents);  // written straight to the chosen file
  const EngineRecord& batch = *Engines()[0];
  EXPECT_EQ(batch.fileAllName, chosen);
  EXPECT_EQ(batch.calls.back(), "OpenExcel");
  // The bill class's dialog, the report check for the format.
  EXPECT_EQ(desktop_->Dialogs()[0].request.title, "引出文件");
}

TEST_F(ContinuousPrintTest, ReportExportOpensOnAnyAnswerButNoAndAsksEvenAnOuterLogin) {
  ASSERT_TRUE(action_.PrintInitial(Bills({2})));
  PublishLogin(1);
  desktop_->QueueFileName((temp_.path() / "a.xls").string());
  desktop_->QueueAnswer(context::vbNo);
  ASSERT_TRUE(action_.SingleRecordExportToFileAction4Rpt());
  EXPECT_EQ(Messages().size(), 1u);  // a plain box, shown to an outer login too
  EXPECT_EQ(Engines()[0]->calls.back(), "ExportSingleRecordDataToExcel");

  desktop_->QueueFileName((temp_.path() / "b.xls").string());
  desktop_->QueueAnswer(context::vbCancel);
  ASSERT_TRUE(action_.SingleRecordExportToFileAction4Rpt());
  EXPECT_EQ(Engines()[0]->calls.back(), "OpenExcel");
}

}  // namespace
}  // namespace vemo::actions::test
