// The bill, report and waybill template windows on real widgets: the
// buttons, the grid's check boxes and drop-downs and the courier lookup
// drive the dialogs' logic, and what they store is read back from the
// account.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QTableView>

#include "setup/note_set_bill_form.h"
#include "setup/note_set_lm_form.h"
#include "setup/setup_messages.h"
#include "ui/dialogs/template_dialog.h"
#include "ui/dialogs/waybill_template_dialog.h"
#include "dialog_fixture.h"

namespace vemo::ui {
namespace {

using setup::NoteSetForm;
using setup::kColFlag;
using setup::kColType;

class BillDialogTest : public test::DialogTest {
 protected:
  BillDialogTest() {
    form.SetDataSourceType(0);
    form.SetBillType(1020002);
    form.SetNoteTypeName("销售发票");
    form.SetDataSrv(BillDataSrv(1020002, "销售发票"));
    form.SetDctNoteInfo(CreateObjectAs<host::IPrintSetupQuery>(host::progid::kPrintSetupQuery)->GetNoteInfo(Props(), 1020002));
  }
  setup::frmNoteSet form;
  TemplateDialog dialog{form};
};

TEST_F(BillDialogTest, ImportChooseSubTypesCheckAndSaveThroughTheWindow) {
  ASSERT_TRUE(dialog.Open());
  dialog.show();
  QTableView& view = *dialog.GridView();
  Import(dialog, NoteSetForm::kImport, Example("sales_invoice_vat.xlsx"));
  Import(dialog, NoteSetForm::kImport, Example("sales_invoice_plain.xlsx"));
  ASSERT_EQ(view.model()->rowCount(), 2) << (Messages().empty() ? "" : Messages().back().text);
  EXPECT_EQ(dialog.findChild<QLineEdit*>()->text(), QString::fromUtf8("销售发票"));

  Import(dialog, NoteSetForm::kImport, Example("purchase_order.xlsx"));
  EXPECT_EQ(MessageTexts(), std::vector<std::string>{setup::msg::kInvalidTemplate})
      << "the bill engine refuses a purchase order template for sales invoices";

  // The selection rule itself is the form's; here only that a click reaches
  // it and its reaction shows in the view.
  test::ClickCell(view, 2, kColFlag);
  EXPECT_EQ(view.model()->index(0, 2).data(Qt::CheckStateRole).toInt(), Qt::Unchecked);
  // Then as the sample account sets the invoices up, and a user first sees
  // them: each with its own sub-type, both checked.
  test::ChooseInCell(view, 1, kColType, QString::fromUtf8("增值税发票"));
  test::ChooseInCell(view, 2, kColType, QString::fromUtf8("普通发票"));
  test::ClickCell(view, 1, kColFlag);
  test::SaveScreenshot(dialog, "bill_template_dialog");

  Press(dialog, NoteSetForm::kApply);
  EXPECT_EQ(StoredBillRows(1020002),
            (std::vector<std::string>{"1 sales_invoice_vat.xlsx 1 增值税发票", "2 sales_invoice_plain.xlsx 1 普通发票"}));
  EXPECT_TRUE(dialog.isVisible());
  Press(dialog, NoteSetForm::kOk);
  EXPECT_FALSE(dialog.isVisible()) << "the window closes with the form";
}

TEST_F(BillDialogTest, TheCloseBoxCancelsWithoutSaving) {
  ASSERT_TRUE(dialog.Open());
  dialog.show();
  Import(dialog, NoteSetForm::kImport, Example("sales_invoice_vat.xlsx"));
  test::ClickCell(*dialog.GridView(), 1, kColFlag);
  dialog.reject();  // Escape or the close box
  EXPECT_TRUE(form.IsClosed());
  EXPECT_EQ(StoredBillRows(1020002), std::vector<std::string>{"1 sales_invoice_vat.xlsx 1 "}) << "the flag stays unsaved";
}

TEST_F(BillDialogTest, WithoutASpreadsheetApplicationTheWindowIsNotOpened) {
  ScopedFactory none(host::kSpreadsheetProgId, nullptr);
  setenv("VEMO_NO_SPREADSHEET", "1", 1);
  EXPECT_FALSE(dialog.Open());
  unsetenv("VEMO_NO_SPREADSHEET");
  EXPECT_EQ(MessageTexts(), std::vector<std::string>{setup::msg::kNoSpreadsheetApp});
}

using ReportDialogTest = test::DialogTest;

TEST_F(ReportDialogTest, TheReportWindowShowsTheReportAndImportsThroughTheReportEngine) {
  setup::frmNoteSetRpt form;
  form.SetDataSourceType(1);
  form.SetRptID(10506);
  form.SetRptName("客户往来对账单");
  form.SetDctNoteInfo(CreateObjectAs<host::IPrintSetupQuery>(host::progid::kPrintSetupQueryRpt)->GetRptNoteInfo(Props(), 10506));
  TemplateDialog dialog(form);
  ASSERT_TRUE(dialog.Open());
  dialog.show();
  EXPECT_EQ(dialog.findChild<QLineEdit*>()->text(), QString::fromUtf8("客户往来对账单"));
  Import(dialog, NoteSetForm::kImport, Example("customer_statement_report.xlsx"));
  ASSERT_EQ(dialog.Grid().RowCount(), 1) << (Messages().empty() ? "" : Messages().back().text);
  test::ChooseInCell(*dialog.GridView(), 1, kColType, QString::fromUtf8("客户"));
  test::SaveScreenshot(dialog, "report_template_dialog");
  Press(dialog, NoteSetForm::kOk);
  auto stored = CreateObjectAs<host::IPrintSetupQuery>(host::progid::kPrintSetupQueryRpt)->GetRptNoteInfo(Props(), 10506);
  EXPECT_EQ(host::test::NoteInfoRows(stored, "FNoteId"), std::vector<std::string>{"1 customer_statement_report.xlsx 1 客户"});
}

class WaybillDialogTest : public test::DialogTest {
 protected:
  WaybillDialogTest() {
    form.SetBillType(2000001);
    form.SetDataFrom(0);
  }
  void Choose(QComboBox& lookup, const QString& name) {
    lookup.setFocus();  // entering the lookup
    const int index = lookup.findText(name);
    ASSERT_GE(index, 0) << name.toStdString();
    lookup.setCurrentIndex(index);
    emit lookup.activated(index);
  }
  setup::frmNoteSetLM form;
  WaybillTemplateDialog dialog{form};
};

TEST_F(WaybillDialogTest, TheLookupListsTheCouriersAndSwitchesTheFormsCompany) {
  ASSERT_TRUE(dialog.Open());
  dialog.show();
  QComboBox& lookup = *dialog.CourierLookup();
  ASSERT_EQ(lookup.count(), 5);
  EXPECT_EQ(lookup.currentData().toString(), QString::fromUtf8("顺丰速运|1")) << "the form's current company";

  Import(dialog, NoteSetForm::kImport, Example("courier_waybill.xlsx"));
  ASSERT_EQ(dialog.Grid().RowCount(), 1) << (Messages().empty() ? "" : Messages().back().text);
  test::SaveScreenshot(dialog, "waybill_template_dialog");
  Choose(lookup, QString::fromUtf8("中通快递"));
  EXPECT_EQ(form.CurrentCourierId(), 2);
  EXPECT_EQ(dialog.Grid().RowCount(), 0) << "the rows of the chosen company";
}

}  // namespace
}  // namespace vemo::ui
