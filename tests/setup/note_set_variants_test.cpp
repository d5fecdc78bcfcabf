// The report and waybill template dialogs: only what differs from the bill
// dialog, and which engine checks their templates.
#include <gtest/gtest.h>

#include "host/components/logistic_manage.h"
#include "setup/note_set_bill_form.h"
#include "setup/logistic_form.h"
#include "setup/note_set_lm_form.h"
#include "setup_fixture.h"

namespace vemo::setup {
namespace {

using context::ShownMessage;

class ReportNoteSetTest : public test::SetupTest {
 protected:
  std::shared_ptr<ScriptedGrid> grid = std::make_shared<ScriptedGrid>();
};

// The sub-type column shows FTypeSub only in the report dialog in report
// mode; otherwise FBillTypeSub.
TEST_F(ReportNoteSetTest, WhichSubTypeEachDialogShowsInEachMode) {
  auto row = HostDictionary::Create();
  for (const auto& [key, value] : std::initializer_list<std::pair<const char*, Variant>>{
           {"FNoteId", 3}, {"FBillID", 3}, {"FName", "a.xlsx"}, {"FSel", 1}, {"FBillTypeSub", "bill-sub"}, {"FTypeSub", "客户"}})
    row->Add(key, value);
  auto data = HostVector::Create();
  data->Add(row);
  auto info = HostDictionary::Create();
  info->Add("Data", data);
  info->Add("Option", "");
  frmNoteSet bill;
  frmNoteSetRpt report;
  const struct {
    BillOrReportNoteSet* form;
    int mode;
    const char* row;
  } cases[] = {{&report, 1, "10506|3 a.xlsx 1 客户"}, {&report, 0, "1020002|3 a.xlsx 1 bill-sub"}, {&bill, 1, "10506|3 a.xlsx 1 bill-sub"}};
  for (const auto& c : cases) {
    c.form->AttachGrid(grid);
    c.form->SetDataSourceType(c.mode);
    c.form->SetRptID(10506);
    c.form->SetBillType(1020002);
    c.form->SetDctNoteInfo(info);
    c.form->Load();
    EXPECT_EQ(GridRows(*grid), std::vector<std::string>{c.row});
  }
}

TEST_F(ReportNoteSetTest, ReportTemplatesAreRegisteredAndExportedWithTheReportId) {
  frmNoteSetRpt form;
  form.AttachGrid(grid);
  form.SetValidator([](const std::string&, std::int32_t) { return true; });
  form.SetDataSourceType(1);
  form.SetRptID(10506);
  form.SetDctNoteInfo(CreateObjectAs<host::IPrintSetupQuery>(host::progid::kPrintSetupQueryRpt)->GetRptNoteInfo(Props(), 10506));
  form.Load();
  EXPECT_TRUE(form.ImportTemplateFile(File("对账单.xlsx", "report")));
  EXPECT_EQ(grid->CellText(1, kColKey), "10506|1");
  grid->UserChooseText(1, kColType, "客户");
  ASSERT_TRUE(form.SaveGrid());
  grid->UserSelectRow(1);
  std::string target = (temp_.path() / "out.xlsx").string();
  desktop_->QueueFileName(target);
  EXPECT_TRUE(form.ExportTemplate());
  EXPECT_EQ(Read(target), "report") << "the selected report template is read through the class data service";
  EXPECT_TRUE(Messages().empty());
}

// Which engine checks each dialog's templates, when the dialogs are given
// none and take the installed provider's.
class EngineChoiceTest : public test::SetupTest {
 protected:
  EngineChoiceTest() {
    SetTemplateValidatorProvider([this](DocumentKind kind, std::int32_t type) -> TemplateValidator {
      return [this, kind, type](const std::string&, std::int32_t id) {
        asked.push_back({kind, type, id});
        return false;
      };
    });
  }
  ~EngineChoiceTest() override { SetTemplateValidatorProvider(nullptr); }
  struct Asked {
    DocumentKind kind;
    std::int32_t dataSourceType, id;
    bool operator==(const Asked&) const = default;
  };
  std::vector<Asked> asked;
};

TEST_F(EngineChoiceTest, EachDialogAsksItsOwnEngine) {
  frmNoteSet bill;
  bill.SetBillType(1020002);
  bill.Load();
  bill.ImportTemplateFile(File("a.xls", "a"));
  bill.SetDataSourceType(1);
  bill.SetRptID(10506);
  bill.Load();
  bill.ImportTemplateFile(File("a.xls", "a"));
  frmNoteSetRpt report;
  report.SetDataSourceType(1);
  report.SetRptID(10506);
  report.Load();
  report.ImportTemplateFile(File("a.xls", "a"));
  frmNoteSetLM waybill;
  waybill.SetBillType(2000002);
  waybill.SetDataFrom(1);
  waybill.Load();
  waybill.ImportTemplateFile(File("a.xls", "a"));
  EXPECT_EQ(asked, (std::vector<Asked>{{DocumentKind::Bill, 0, 1020002},
                                       {DocumentKind::Bill, 1, 10506},
                                       {DocumentKind::Report, 1, 10506},
                                       {DocumentKind::Waybill, 0, 2000002}}));
  SetTemplateValidatorProvider(nullptr);
  EXPECT_FALSE(bill.ImportTemplateFile(File("a.xls", "a")));
  EXPECT_NE(Messages().back().text.find("no template engine"), std::string::npos) << Messages().back().text;
  EXPECT_EQ(Messages().back().icon, context::vbExclamation);
}

class WaybillNoteSetTest : public test::SetupTest {
 protected:
  WaybillNoteSetTest() {
    form.AttachGrid(grid);
    form.SetValidator([](const std::string&, std::int32_t) { return true; });
    form.SetBillType(2000001);
    form.SetDataFrom(0);
  }
  std::vector<std::string> StoredRows(std::int32_t courier) {
    auto query = CreateObjectAs<host::IPrintSetupQueryLM>(host::progid::kPrintSetupQueryLM);
    return host::test::NoteInfoRows(query->GetNoteInfo(Props(), courier, 0), "FBillID");
  }
  void Import(const std::string& name) {
    desktop_->QueueFileName(File(name, name));
    form.ClickButton(NoteSetForm::kImport);
  }
  void SwitchTo(const std::string& courier) {
    form.OnCourierEnter(0);
    form.OnCourierCommit(0, courier);
  }
  std::shared_ptr<ScriptedGrid> grid = std::make_shared<ScriptedGrid>();
  frmNoteSetLM form;
};

TEST_F(WaybillNoteSetTest, LoadOffersTheShownCouriersWithTheDefaultCurrentOrCourier0WithoutAny) {
  auto update = CreateObjectAs<host::IPrintSetupUpdateLM>(host::progid::kPrintSetupUpdateLM);
  update->InsertNoteRow(Props(), 1, "顺丰.xls", Bytes{1}, 0);
  update->InsertNoteRow(Props(), 1, "顺丰面单.xls", Bytes{1}, 1);
  form.Load();
  EXPECT_EQ(form.CourierEntries().size(), 5u);
  EXPECT_EQ(form.CourierText(), "顺丰速运|1");
  EXPECT_EQ(form.CurrentCourierId(), 1);
  EXPECT_EQ(GridRows(*grid), (std::vector<std::string>{"1|1 顺丰.xls 0 "})) << "data source 0 only";
  EXPECT_EQ(grid->ColumnWidth(kColType), 0) << "no sub-types";
  EXPECT_TRUE(grid->CellLocked(1, kColType));
  EXPECT_FALSE(form.Modified());
  // Without couriers the dialog works with courier 0.
  auto empty = std::make_shared<test::EmptyCourierList>();
  ScopedFactory none(std::string(host::progid::kLogisticInfo), [empty] { return empty; });
  form.Load();
  EXPECT_TRUE(form.CourierEntries().empty());
  EXPECT_EQ(form.CurrentCourierId(), 0);
  Import("a.xls");
  EXPECT_EQ(grid->CellText(1, kColKey), "0|1");
  EXPECT_TRUE(Messages().empty());
}

TEST_F(WaybillNoteSetTest, SwitchingCouriersSavesThePreviousOneOnlyAfterAnImport) {
  auto update = CreateObjectAs<host::IPrintSetupUpdateLM>(host::progid::kPrintSetupUpdateLM);
  update->InsertNoteRow(Props(), 1, "a.xls", Bytes{1}, 0);
  form.Load();
  grid->UserClickCheck(1, kColFlag);
  SwitchTo("中通快递|2");
  EXPECT_EQ(form.CurrentCourierId(), 2);
  EXPECT_EQ(grid->RowCount(), 0);
  EXPECT_EQ(StoredRows(1), (std::vector<std::string>{"1 a.xls 0 "})) << "the flag change is lost";
  Import("c.xls");
  EXPECT_TRUE(form.Modified());
  EXPECT_EQ(StoredRows(2), (std::vector<std::string>{"1 c.xls 1 "})) << "the import button saves";
  EXPECT_EQ(grid->CellText(1, kColKey), "2|1");
  Import("d.xls");
  grid->UserClickCheck(2, kColFlag);
  SwitchTo("顺丰速运|1");
  EXPECT_FALSE(form.Modified()) << "loading the new courier's rows clears the flag";
  EXPECT_EQ(StoredRows(2), (std::vector<std::string>{"1 c.xls 0 ", "2 d.xls 1 "}));
  EXPECT_EQ(grid->RowCount(), 1);

  form.OnCourierChange(1, "圆通速递|3");
  EXPECT_EQ(form.CurrentCourierId(), 1) << "only the lookup's first instance counts";
  Import("e.xls");
  grid->UserClickCheck(1, kColFlag);
  form.OnCourierChange(0, "中通快递|2");  // a change without entering loads without saving
  EXPECT_EQ(StoredRows(1), (std::vector<std::string>{"1 a.xls 0 ", "2 e.xls 1 "}));
  EXPECT_EQ(form.CurrentCourierId(), 2);
  EXPECT_TRUE(Messages().empty());

  Import("f.xls");  // a failed save while switching keeps the courier and its rows
  {
    ScopedFactory broken(std::string(host::progid::kPrintSetupUpdateLM), nullptr);
    SwitchTo("顺丰速运|1");
  }
  EXPECT_EQ(form.CourierText(), "中通快递|2");
  EXPECT_EQ(grid->RowCount(), 3);
  ASSERT_EQ(Messages().size(), 1u);
  EXPECT_EQ(Messages()[0].icon, context::vbCritical);
}

// The import dialog starts in the program folder's ExcelPrint folder, or
// its waybill folder when it exists; the export proposes the host's one.
TEST_F(WaybillNoteSetTest, ImportAndExportUseTheWaybillFolders) {
  WriteMachineFile("registry.json", {{"SOFTWARE\\Quorvan\\TRADON\\VemoSTD", {{"Path", "C:\\Program Files\\Quorvan\\Tradon"}}}});
  std::filesystem::create_directories(context::ToHostPath("C:\\Program Files\\Quorvan\\Tradon\\ExcelPrint\\LogicExcelRef"));
  frmNoteSet bill;
  bill.SetBillType(1020002);
  bill.Load();
  bill.ImportTemplate();
  form.Load();
  form.ImportTemplate();
  form.SetDataFrom(1);
  form.SetBillType(2000002);
  form.Load();
  EXPECT_FALSE(form.ExportTemplate());
  test::ExpectOnlyMessage(Messages(), "请选择有选择标志的打印模板文件", ShownMessage::Kind::HostMessage);
  Import("面单.xlsx");
  grid->UserSelectRow(1);
  std::string target = (temp_.path() / "out.xlsx").string();
  desktop_->QueueFileName(target);
  EXPECT_TRUE(form.ExportTemplate());
  EXPECT_EQ(Read(target), "面单.xlsx");
  auto dialogs = desktop_->Dialogs();
  ASSERT_EQ(dialogs.size(), 4u);
  EXPECT_EQ(dialogs[0].request.initialFolder, "C:\\Program Files\\Quorvan\\Tradon\\ExcelPrint\\");
  EXPECT_EQ(dialogs[1].request.initialFolder, "C:\\Program Files\\Quorvan\\Tradon\\ExcelPrint\\LogicExcelRef\\");
  EXPECT_EQ(dialogs[2].request.initialFolder, "") << "there is no LogicExcelRefForBill folder";
  EXPECT_EQ(dialogs[3].request.fileName, "C:\\Host\\ExcelPrint\\LogicExcelRefForBill\\*.xlsx");
  EXPECT_EQ(dialogs[3].request.filter, "打印模板文件 Excel (*.xlsx)|*.xlsx");
}

TEST_F(WaybillNoteSetTest, TheCourierButtonSavesThenShowsTheCourierDialogAndFillsTheLookupAgain) {
  form.Load();
  Import("a.xls");
  grid->UserClickCheck(1, kColFlag);
  form.ClickButton(frmNoteSetLM::kCouriers);
  EXPECT_EQ(StoredRows(1), (std::vector<std::string>{"1 a.xls 0 "})) << "saved before the courier dialog";
  ASSERT_EQ(Messages().size(), 1u);
  EXPECT_NE(Messages()[0].text.find("needs a display"), std::string::npos) << Messages()[0].text;

  auto host = std::make_shared<test::ScriptedFormHost>([](SetupForm& shown) {
    // the user hides 中通快递 in the courier dialog
    auto& couriers = dynamic_cast<frmLogistic&>(shown);
    dynamic_cast<ScriptedGrid&>(couriers.Grid()).UserClickCheck(2, kColCourierShown);
    couriers.ClickButton(frmLogistic::kOk);
  });
  test::ScopedFormHost use(host);
  form.ClickButton(frmNoteSetLM::kCouriers);
  EXPECT_EQ(host->shown, std::vector<std::string>{"物流公司设置"});
  EXPECT_EQ(Messages().size(), 1u);
  EXPECT_EQ(form.CourierEntries().size(), 4u) << "the lookup is filled again";
  EXPECT_EQ(form.CourierText(), "顺丰速运|1") << "the company worked on stays current";
}

}  // namespace
}  // namespace vemo::setup
