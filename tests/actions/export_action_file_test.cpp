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

TEST(ExportTiming, ElapsedSecondsAreRoundedToHundredths) {
  const std::pair<std::int64_t, const char*> cases[] = {
      {0, "0.00"}, {4, "0.00"}, {5, "0.01"} /* half a hundredth rounds up */, {90, "0.09"},
      {500, "0.50"}, {999995, "1,000.00"}, {1234567890, "1,234,567.89"}};
  for (const auto& [ms, shown] : cases) EXPECT_EQ(FormatElapsedSeconds(ms), shown) << ms << " ms";
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

  ASSERT_EQ(desktop_->Dialogs().size(), 1u);
  EXPECT_EQ(desktop_->Dialogs()[0].kind, context::ShownDialog::Kind::Save);
  EXPECT_EQ(DialogOf(desktop_->Dialogs()[0]), "引出文件 | Excel文件 (*.xls)|*.xls | " + std::string(kAppPath) + "\\ExcelPrint\\*.xls | 2050");
  ExpectOnlyBox(Messages(), "引出文件成功，耗时：0.50秒。\r\n\r\n是否打开导出的文件？", context::vbYesNo, context::vbQuestion);

  // The working file was a unique T_<guid>.xls in the temporary folder, gone now.
  const std::string workingName = std::filesystem::path(workingDuringFill).filename().string();
  EXPECT_THAT(workingName, StartsWith("T_"));
  EXPECT_EQ(workingName.size(), std::string("T_").size() + 36 + std::string(".xls").size());
  EXPECT_FALSE(std::filesystem::exists(workingDuringFill));
  EXPECT_EQ(ReadBytes(Chosen()), store_->contents);

  EXPECT_EQ(Engines().back()->calls.back(), "OpenExcel");
  EXPECT_EQ(Engines().back()->fileAllName, Chosen());
  EXPECT_THAT(desktop_->PointerHistory(), ElementsAre(context::kPointerHourglass, context::kPointerDefault));
  EXPECT_EQ(logEntries_->size(), 1u);
}

// An .xlsx template is offered as .xlsx; a cancelled dialog ends silently.
TEST_F(ExportActionFileTest, XlsxTemplateOffersXlsxAndACancelEndsSilently) {
  store_->billName = "invoice.xlsx";
  desktop_->QueueFileName(std::nullopt);
  EXPECT_FALSE(action_.DoAction(2));
  ASSERT_EQ(desktop_->Dialogs().size(), 1u);
  EXPECT_EQ(DialogOf(desktop_->Dialogs()[0]), "引出文件 | Excel文件 (*.xlsx)|*.xlsx | " + std::string(kAppPath) + "\\ExcelPrint\\*.xlsx | 2050");
  EXPECT_TRUE(Messages().empty());
  EXPECT_TRUE(Engines().empty());
  EXPECT_TRUE(logEntries_->empty());
}

// No leaves the exported file closed; an outer login is not asked and the file is not opened.
TEST_F(ExportActionFileTest, NoOrAnOuterLoginLeavesTheFileClosed) {
  for (const int outer : {0, 1}) {
    PublishLogin(outer);
    desktop_->QueueFileName(Chosen());
    if (outer == 0) desktop_->QueueAnswer(context::vbNo);
    ASSERT_TRUE(action_.DoAction(2));
    EXPECT_EQ(Messages().size(), 1u) << "outer login " << outer;  // the question, once
    EXPECT_EQ(Engines().back()->calls.back(), "ExportSingleRecordDataToExcel") << "outer login " << outer;
    EXPECT_EQ(ReadBytes(Chosen()), store_->contents);
  }
}

// An unwritable target is named in an error box; a failed fill fails
// silently. Either way the working file goes and nothing is logged.
TEST_F(ExportActionFileTest, FailureLeavesNoWorkingFile) {
  const std::string unwritable = (temp_.path() / "missing-folder" / "out.xls").string();
  std::string working;
  script_->onFill = [&](const std::string& file) { working = file; };
  for (const bool fills : {true, false}) {
    desktop_ = std::make_shared<context::ScriptedDesktop>();
    context::ScopedDesktop use(desktop_);
    script_->fill = fills;
    desktop_->QueueFileName(fills ? unwritable : Chosen());
    EXPECT_FALSE(action_.DoAction(2));
    if (fills) {
      auto message = OnlyMessage(Messages());
      EXPECT_EQ(message.title, "错误");
      EXPECT_EQ(message.icon, context::vbExclamation);
      EXPECT_NE(message.text.find(unwritable), std::string::npos) << message.text;
    } else {
      EXPECT_TRUE(Messages().empty());
      EXPECT_FALSE(std::filesystem::exists(Chosen()));
    }
    EXPECT_FALSE(std::filesystem::exists(working)) << fills;
    EXPECT_EQ(desktop_->PointerHistory().back(), context::kPointerDefault);
  }
  EXPECT_TRUE(logEntries_->empty());
}

// Continuous printing.

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

TEST_F(ContinuousPrintTest, BillsAreCountedByTransactionTypeAndMixedTypesRefused) {
  ASSERT_TRUE(action_.PrintInitial(Bills({1, 1, 1})));
  EXPECT_TRUE(Messages().empty());
  const auto& counts = action_.Core().Inputs().typeCounts;
  ASSERT_EQ(counts->Size(), 1);
  auto entry = counts->Item(1).AsObject<HostDictionary>();
  EXPECT_EQ(entry->Item("FTranType").ToInt32(), 1);
  EXPECT_EQ(entry->Item("FDataCount").ToInt32(), 3);
  EXPECT_THAT(Engines().at(0)->calls, ElementsAre("SetPrintData"));

  EXPECT_FALSE(action_.PrintInitial(Bills({1, 1, 2})));
  ExpectOnlyBox(Messages(), "不支持不同类型单据的连续打印！", context::vbOKOnly, context::vbInformation);
  EXPECT_EQ(action_.Core().Inputs().typeCounts->Size(), 2);
}

TEST_F(ContinuousPrintTest, MissingOrBrokenDataIsRefusedEvenForAnOuterLogin) {
  PublishLogin(1);
  auto broken = Bills({1});
  broken->Add(Variant("not a bill"));
  for (const ObjectRef& data : {ObjectRef(), ObjectRef(broken), ObjectRef(HostDictionary::Create())}) {
    desktop_ = std::make_shared<context::ScriptedDesktop>();
    context::ScopedDesktop use(desktop_);
    EXPECT_FALSE(action_.PrintInitial(data));
    ExpectOnlyBox(Messages(), "单据打印初始化数据错误，不能打印！", context::vbOKOnly, context::vbInformation);
  }
}

TEST_F(ContinuousPrintTest, PrintRptNeedsPrintInitialAndAnApplication) {
  EXPECT_FALSE(action_.PrintRpt(false));
  EXPECT_FALSE(action_.SingleRecordExportToFileAction4Rpt());
  EXPECT_TRUE(Messages().empty());
  EXPECT_TRUE(desktop_->Dialogs().empty());

  ASSERT_TRUE(action_.PrintInitial(Bills({2})));
  RemoveSpreadsheet();
  EXPECT_FALSE(action_.PrintRpt(false));
  ExpectOnlyHostMessage(Messages(), "启动Excel失败，请先安装");
}

TEST_F(ContinuousPrintTest, PrintRptFillsTheReportOnTheBatchEngine) {
  store_->reportName = "statement.xlsx";
  ASSERT_TRUE(action_.PrintInitial(Bills({2, 2})));
  ASSERT_TRUE(action_.PrintRpt(true));
  ASSERT_TRUE(action_.PrintRpt(false));  // again on the same engine
  auto engines = Engines();
  ASSERT_EQ(engines.size(), 3u);  // batch engine, two validations
  const EngineRecord& batch = *engines[0];
  EXPECT_EQ(std::count(batch.calls.begin(), batch.calls.end(), "PrintPreview"), 1);
  EXPECT_EQ(std::count(batch.calls.begin(), batch.calls.end(), "ExportSingleRecordDataToExcel"), 2);
  EXPECT_EQ(batch.calls.back(), "PrintTo");
  EXPECT_EQ(batch.dataSourceType, 1);
  EXPECT_EQ(batch.rptHeadData, head_);
  EXPECT_EQ(batch.rptEntryData, rows_);
  EXPECT_EQ(batch.fileAllName, context::NewTempWorkbookName(".xlsx"));
  EXPECT_EQ(engines[1]->validatedId, 10506);
  EXPECT_TRUE(logEntries_->empty());
}

// Written straight to the chosen file, which opens on any answer but No;
// the question is a plain box, shown to an outer login too.
TEST_F(ContinuousPrintTest, ReportExportFillsTheChosenFileAndOpensItUnlessNo) {
  ASSERT_TRUE(action_.PrintInitial(Bills({2})));
  const std::pair<int, const char*> answers[] = {{context::vbYes, "OpenExcel"},
                                                 {context::vbNo, "ExportSingleRecordDataToExcel"},
                                                 {context::vbCancel, "OpenExcel"}};
  for (const auto& [answer, lastCall] : answers) {
    SCOPED_TRACE(answer);
    desktop_ = std::make_shared<context::ScriptedDesktop>();
    context::ScopedDesktop use(desktop_);
    PublishLogin(answer == context::vbNo ? 1 : 0);
    const std::string chosen = (temp_.path() / ("statement" + std::to_string(answer) + ".xls")).string();
    desktop_->QueueFileName(chosen);
    desktop_->QueueAnswer(answer);
    ASSERT_TRUE(action_.SingleRecordExportToFileAction4Rpt());
    ExpectOnlyBox(Messages(), "是否打开导出文件？", context::vbYesNo, context::vbQuestion);
    EXPECT_EQ(ReadBytes(chosen), store_->contents);
    EXPECT_EQ(Engines()[0]->calls.back(), lastCall);
    if (answer != context::vbNo) {
      EXPECT_EQ(Engines()[0]->fileAllName, chosen) << "opened under its own name";
    }
    // The bill class's dialog, the report check for the format.
    EXPECT_EQ(desktop_->Dialogs().at(0).request.title, "引出文件");
  }
}

}  // namespace
}  // namespace vemo::actions::test
