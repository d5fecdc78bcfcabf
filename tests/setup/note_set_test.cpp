// The bill template dialog (frmNoteSet) on the sample account, with the
// in-memory grid and the scripted desktop.
#include <gtest/gtest.h>

#include <functional>

#include "setup/note_set_bill_form.h"
#include "setup/setup_messages.h"
#include "setup_fixture.h"

namespace vemo::setup {
namespace {

using context::ShownMessage;

class NoteSetTest : public test::SetupTest {
 protected:
  NoteSetTest() {
    form.AttachGrid(grid);
    form.SetValidator([this](const std::string& path, std::int32_t id) {
      validated.emplace_back(path, id);
      return valid;
    });
  }

  void Open(std::int32_t billType, const char* typeName = "销售发票") {
    form.SetDataSourceType(0);
    form.SetBillType(billType);
    form.SetNoteTypeName(typeName);
    form.SetDataSrv(BillDataSrv(billType, typeName));
    form.SetDctNoteInfo(CreateObjectAs<host::IPrintSetupQuery>(host::progid::kPrintSetupQuery)->GetNoteInfo(Props(), billType));
    form.Load();
  }
  int Register(const std::string& name, const std::string& bytes = "x") {
    std::string message;
    int row = form.RegisterTemplate(File(name, bytes), message);
    EXPECT_EQ(message, "");
    return row;
  }
  std::string Flags() const {
    std::string flags;
    for (int row = 1; row <= grid->RowCount(); ++row) flags += grid->CellText(row, kColFlag);
    return flags;
  }

  std::shared_ptr<ScriptedGrid> grid = std::make_shared<ScriptedGrid>();
  frmNoteSet form;
  std::vector<std::pair<std::string, std::int32_t>> validated;
  bool valid = true;
};

TEST_F(NoteSetTest, LoadLaysTheGridOutAndFillsItFromTheNoteInfoOrClosesWithoutASpreadsheetApplication) {
  auto update = CreateObjectAs<host::IPrintSetupUpdate>(host::progid::kPrintSetupUpdate);
  update->InsertNoteRow(Props(), 1020002, "增值税.xls", Bytes{1});
  update->InsertNoteRow(Props(), 1020002, "普通.xlsx", Bytes{2});
  Open(1020002);
  EXPECT_TRUE(grid->ColumnHidden(kColKey));
  EXPECT_EQ(GridRows(*grid), (std::vector<std::string>{"1020002|1 增值税.xls 0 ", "1020002|2 普通.xlsx 0 "}));
  EXPECT_TRUE(grid->CellLocked(1, kColName));
  EXPECT_EQ(grid->CellTypeOf(1, kColFlag), CellType::CheckBox);
  EXPECT_TRUE(grid->CellCentered(1, kColFlag));
  EXPECT_EQ(grid->CellTypeOf(2, kColType), CellType::DropDownList);
  EXPECT_EQ(grid->DropDownItems(2, kColType), "\t增值税发票\t普通发票\t收据\t其他\t");
  EXPECT_FALSE(grid->CellLocked(2, kColType));
  EXPECT_EQ(form.TypeText(), "销售发票");
  EXPECT_TRUE(Messages().empty());
  // Without a spreadsheet application the form shows why and closes, even
  // for an outer login.
  ScopedFactory none("ET.Application", nullptr);
  Publish(2, 1);
  Open(1020002);
  EXPECT_TRUE(form.IsClosed());
  test::ExpectOnlyMessage(Messages(), "系统没有检测到EXCEL，请确认是否已经安装!", ShownMessage::Kind::MessageBox,
                          context::vbInformation);
}

TEST_F(NoteSetTest, TheSubTypesOfTheBillTypeAndApplicationTypeOrALockedTypeColumnWithOnlyTheFirstTemplateChecked) {
  Open(1030001, "采购订单");
  EXPECT_EQ(Register("first.xls"), 1);
  EXPECT_EQ(Register("second.xlsx"), 2);
  EXPECT_EQ(Flags(), "10");
  for (int row = 1; row <= 2; ++row) {
    EXPECT_EQ(grid->CellTypeOf(row, kColType), CellType::Text);
    EXPECT_THROW(grid->UserTypeText(row, kColType, "x"), std::logic_error) << "locked";
  }
  EXPECT_EQ(StoredBillRows(1030001), (std::vector<std::string>{"1 first.xls 0 ", "2 second.xlsx 0 "}))
      << "flags reach the store only when the grid is saved";
  EXPECT_TRUE(form.SaveGrid());
  EXPECT_EQ(StoredBillRows(1030001), (std::vector<std::string>{"1 first.xls 1 ", "2 second.xlsx 0 "}));
  Publish(1, 0);  // the sub-types follow the published application type
  Open(1050003, "核销单");
  Register("a.xls");
  EXPECT_EQ(grid->DropDownItems(1, kColType), "\t预收冲应收\t预付冲应付\t应收冲应付\t");
}

TEST_F(NoteSetTest, TheSelectionRuleKeepsOneCheckedTemplatePerSubType) {
  Open(1020002);
  for (const char* name : {"a.xls", "b.xls", "c.xls", "d.xls"}) Register(name);
  EXPECT_EQ(Flags(), "1000") << "only the first of the empty sub-type is checked on registration";
  grid->UserChooseText(2, kColType, "收据");
  grid->UserChooseText(3, kColType, "收据");
  grid->UserChooseText(4, kColType, "普通发票");
  const struct {
    int row, col;
    const char* flags;
    const char* why;
  } steps[] = {{2, kColFlag, "1100", ""},
               {3, kColFlag, "1010", "b and c share 收据"},
               {4, kColFlag, "1011", "other sub-types are left alone"},
               {4, kColFlag, "1010", "clearing a check changes nothing else"},
               {1, kColType, "1000", "a checked row moved to 收据 clears c's check"}};
  for (const auto& step : steps) {
    if (step.col == kColFlag) {
      grid->UserClickCheck(step.row, kColFlag);
    } else {
      grid->UserChooseText(step.row, kColType, "收据");
    }
    EXPECT_EQ(Flags(), step.flags) << step.why;
  }
  EXPECT_TRUE(form.SaveGrid());
  EXPECT_EQ(StoredBillRows(1020002),
            (std::vector<std::string>{"1 a.xls 1 收据", "2 b.xls 0 收据", "3 c.xls 0 收据", "4 d.xls 0 普通发票"}));
  Register("e.xls");
  EXPECT_EQ(Flags(), "10001") << "no row of the empty sub-type was checked, so the new one is";
  Register("f.xls");
  EXPECT_EQ(Flags(), "100010");
}

// What each refused step says, with a fresh desktop per row; the store and
// the grid keep the one registered template.
TEST_F(NoteSetTest, RefusedAndFailedStepsSayWhyAndChangeNothing) {
  Open(1020002);
  Register("Invoice.xls");
  std::filesystem::create_directories(temp_.path() / "other");
  const std::string again = File("other/INVOICE.XLS", "different");
  using Kind = ShownMessage::Kind;
  const struct {
    const char* name;
    std::function<bool()> step;
    std::string text;
    Kind kind;
    int icon;
  } cases[] = {
      {"an invalid template",
       [&] {
         valid = false;
         const bool done = form.ImportTemplateFile(File("wrong.xls", "x"));
         valid = true;
         return done;
       },
       "打印模板文件格式无效，请重新引入文件！", Kind::MessageBox, context::vbExclamation},
      {"no spreadsheet application",
       [&] {
         ScopedFactory none("ET.Application", nullptr);
         return form.ImportTemplateFile(File("b.xls", "x"));
       },
       "无法引入模板文件，请先安装Excel应用程序。", Kind::MessageBox, context::vbExclamation},
      {"a registered name in another case", [&] { return form.ImportTemplateFile(again); },
       "已经注册了名称为【INVOICE.XLS】的打印模板文件，不能重复注册", Kind::MessageBox, context::vbExclamation},
      {"deleting without an active row", [&] { return form.DeleteTemplate(); }, "请选择打印模板文件", Kind::HostMessage, 0},
      {"exporting without an active row", [&] { return form.ExportTemplate(); }, "请选择打印模板文件", Kind::HostMessage, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    auto desktop = std::make_shared<context::ScriptedDesktop>();
    context::ScopedDesktop use(desktop);
    EXPECT_FALSE(c.step());
    test::ExpectOnlyMessage(desktop->Messages(), c.text, c.kind, c.icon);
    EXPECT_EQ(grid->RowCount(), 1);
    EXPECT_EQ(StoredBillRows(1020002), std::vector<std::string>{"1 Invoice.xls 0 "});
  }
  std::string message;
  EXPECT_EQ(form.RegisterTemplate(again, message), 0);
  EXPECT_EQ(message, "已经注册了名称为【INVOICE.XLS】的打印模板文件，不能重复注册");
  EXPECT_EQ(form.RegisterTemplate("", message), -1);

  // An unreadable file is registered; a failed save or deletion shows the
  // error and keeps the grid.
  EXPECT_EQ(form.RegisterTemplate((temp_.path() / "gone.xls").string(), message), 2) << message;
  ScopedFactory broken(std::string(host::progid::kPrintSetupUpdate), nullptr);
  EXPECT_FALSE(form.SaveGrid());
  grid->UserSelectRow(1);
  desktop_->QueueAnswer(context::vbYes);
  EXPECT_FALSE(form.DeleteTemplate());
  ASSERT_EQ(Messages().size(), 3u) << "the save's error, the question, the deletion's error";
  for (int shown : {0, 2}) {
    EXPECT_FALSE(Messages()[shown].text.empty());
    EXPECT_EQ(Messages()[shown].icon, context::vbCritical);
  }
  EXPECT_EQ(grid->RowCount(), 2);
}

TEST_F(NoteSetTest, ImportAsksForAFileChecksItWithTheBillTypeAndRegistersIt) {
  Open(1020002);
  std::string path = File("发票.xlsx", "PK");
  desktop_->QueueFileName("  " + path + "  ");
  EXPECT_TRUE(form.ImportTemplate());
  ASSERT_EQ(desktop_->Dialogs().size(), 1u);
  const auto request = desktop_->Dialogs()[0].request;
  EXPECT_EQ(desktop_->Dialogs()[0].kind, context::ShownDialog::Kind::Open);
  EXPECT_EQ(request.filter, "打印模板文件 Excel 97-2003 (*.xls)|*.xls|打印模板文件 Excel (*.xlsx)|*.xlsx");
  EXPECT_EQ(request.flags, kDialogFileMustExist | kDialogPathMustExist);
  EXPECT_EQ(request.initialFolder, "") << "the program folder has no ExcelPrint folder here";
  EXPECT_EQ(validated, (std::vector<std::pair<std::string, std::int32_t>>{{path, 1020002}})) << "the path is trimmed";
  EXPECT_EQ(StoredBillRows(1020002), (std::vector<std::string>{"1 发票.xlsx 0 "}));

  EXPECT_FALSE(form.ImportTemplate()) << "no file name queued: the dialog is cancelled";
  EXPECT_TRUE(Messages().empty()) << "cancelling is not an error";
  EXPECT_EQ(validated.size(), 1u);
}

TEST_F(NoteSetTest, TheButtonsImportSavesWhateverTheImportDidOkSavesAndClosesCancelClosesWithoutSaving) {
  Open(1020002);
  Register("a.xls");
  Register("b.xls");
  grid->UserClickCheck(2, kColFlag);
  form.ClickButton(NoteSetForm::kImport);  // the dialog is cancelled
  EXPECT_EQ(StoredBillRows(1020002), (std::vector<std::string>{"1 a.xls 0 ", "2 b.xls 1 "}));
  grid->UserClickCheck(1, kColFlag);
  form.ClickButton(NoteSetForm::kCancel);
  EXPECT_TRUE(form.IsClosed());
  EXPECT_EQ(StoredBillRows(1020002), (std::vector<std::string>{"1 a.xls 0 ", "2 b.xls 1 "}));
  Open(1020002);
  EXPECT_FALSE(form.IsClosed()) << "showing the form again loads it anew";
  grid->UserClickCheck(1, kColFlag);
  form.ClickButton(NoteSetForm::kOk);
  EXPECT_TRUE(form.IsClosed());
  EXPECT_EQ(StoredBillRows(1020002), (std::vector<std::string>{"1 a.xls 1 ", "2 b.xls 0 "}));
}

TEST_F(NoteSetTest, DeletingAsksFirstAndAnOuterLoginDeletesWithoutAQuestion) {
  Open(1020002);
  Register("a.xls");
  Register("b.xls");
  grid->UserSelectRow(1);
  desktop_->QueueAnswer(context::vbNo);
  EXPECT_FALSE(form.DeleteTemplate());
  test::ExpectOnlyMessage(Messages(), "是否删除打印模板文件？", ShownMessage::Kind::MessageBox, context::vbQuestion);
  EXPECT_EQ(Messages()[0].buttons, context::vbYesNo);
  EXPECT_EQ(grid->RowCount(), 2);

  grid->UserClickCheck(2, kColFlag);  // a flag change the delete does not save
  grid->UserSelectRow(1);
  desktop_->QueueAnswer(context::vbYes);
  EXPECT_TRUE(form.DeleteTemplate());
  EXPECT_EQ(GridRows(*grid), (std::vector<std::string>{"1020002|2 b.xls 1 "}));
  EXPECT_EQ(grid->ActiveRow(), 0);
  EXPECT_TRUE(grid->RedrawOn());
  EXPECT_EQ(StoredBillRows(1020002), (std::vector<std::string>{"2 b.xls 0 "}));

  Publish(2, 1);
  grid->UserSelectRow(1);
  EXPECT_TRUE(form.DeleteTemplate());
  EXPECT_EQ(Messages().size(), 2u);
  EXPECT_TRUE(StoredBillRows(1020002).empty());
}

TEST_F(NoteSetTest, ExportWritesTheTemplatePrintingUsesForTheRowsSubTypeOrShowsTheStoreError) {
  Open(1020002);
  Register("a.xlsx", "first");
  Register("b.xls", "second");
  grid->UserChooseText(2, kColType, "收据");
  grid->UserClickCheck(2, kColFlag);
  ASSERT_TRUE(form.SaveGrid());
  Open(1020002);

  std::string target = (temp_.path() / "out.xlsx").string();
  grid->UserSelectRow(1);
  EXPECT_FALSE(form.ExportTemplate()) << "the save dialog is cancelled";
  EXPECT_FALSE(std::filesystem::exists(target));
  ASSERT_EQ(desktop_->Dialogs().size(), 1u);
  const auto request = desktop_->Dialogs()[0].request;
  EXPECT_EQ(desktop_->Dialogs()[0].kind, context::ShownDialog::Kind::Save);
  EXPECT_EQ(request.filter, "打印模板文件 Excel (*.xlsx)|*.xlsx") << "the selected template of the bill type is a.xlsx";
  EXPECT_EQ(request.fileName, "C:\\Host\\ExcelPrint\\*.xlsx");
  EXPECT_EQ(request.flags, kDialogOverwritePrompt | kDialogPathMustExist);

  desktop_->QueueFileName(target);
  EXPECT_TRUE(form.ExportTemplate());
  EXPECT_EQ(Read(target), "first");
  desktop_->QueueFileName(target);
  grid->UserSelectRow(2);
  EXPECT_TRUE(form.ExportTemplate());
  EXPECT_EQ(Read(target), "second");
  EXPECT_TRUE(Messages().empty());

  // Nothing checked (the .xls filter) and no template without a sub-type to
  // fall back on: the store's error.
  grid->UserChooseText(1, kColType, "增值税发票");
  grid->UserClickCheck(1, kColFlag);
  grid->UserClickCheck(2, kColFlag);
  ASSERT_TRUE(form.SaveGrid());
  desktop_->QueueFileName(target);
  EXPECT_FALSE(form.ExportTemplate());
  EXPECT_EQ(desktop_->Dialogs().back().request.filter, "打印模板文件 Excel 97-2003 (*.xls)|*.xls");
  test::ExpectOnlyMessage(Messages(), "加载数据出错！未设置打印模板信息", ShownMessage::Kind::MessageBox, context::vbCritical);
}

}  // namespace
}  // namespace vemo::setup
