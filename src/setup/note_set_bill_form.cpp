#include "setup/note_set_bill_form.h"

#include "foundation/creation_service.h"
#include "host/components/class_info.h"
#include "host/components/print_setup.h"
#include "host/components/prog_ids.h"
#include "setup/sub_type_list.h"

namespace vemo::setup {
namespace {

std::string InsertAnswerKey(const VectorRef& answer) {
  if (!answer || answer->Size() < 2)
    throw HostError(HostError::kTypeMismatch, "the update component answered the registration without the new row's id and owner");
  return answer->Item(2).ToText() + "|" + answer->Item(1).ToText();
}

bool FirstRowNameIsXlsx(const RecordsetRef& rows) {
  if (!rows || rows->Eof()) return false;  // nothing selected: the .xls pair
  return host::IsXlsxName(rows->Field("FName").ToText());
}

std::string SelectedReportSql(std::int32_t rptId) {
  return "select * from T_RptExcelPrintExport where FSel=1 and FRptId=" + std::to_string(rptId);
}

}  // namespace

std::string BillOrReportNoteSet::BuildSubTypeList() const {
  return setup::SubTypeList(dataSourceType_, billType(), rptId_, SessionAppType());
}

std::string BillOrReportNoteSet::BuildTypeText() const {
  if (BillMode()) return NoteTypeName();
  if (ReportMode()) return rptName_;
  return "";
}

void BillOrReportNoteSet::LoadRows() { FillGrid(noteInfo_); }

std::string BillOrReportNoteSet::RowKeyOf(const HostDictionary& row) const {
  if (BillMode()) return std::to_string(billType()) + "|" + row.Value("FBillID").ToText();
  if (ReportMode()) return std::to_string(rptId_) + "|" + row.Value("FNoteId").ToText();
  return "";
}

std::optional<std::string> BillOrReportNoteSet::InsertTemplate(const std::string& name, const Variant& contents) {
  if (BillMode())
    return InsertAnswerKey(CreateObjectAs<host::IPrintSetupUpdate>(updateProgId_)->InsertNoteRow(Props(), billType(), name, contents));
  if (ReportMode())
    return InsertAnswerKey(CreateObjectAs<host::IPrintSetupUpdate>(updateProgId_)->InsertRptNoteRow(Props(), rptId_, name, contents));
  return std::nullopt;
}

void BillOrReportNoteSet::SendUpdateSet(const HostDictionary& set) {
  if (BillMode()) CreateObjectAs<host::IPrintSetupUpdate>(updateProgId_)->UpdateUserNoteData(Props(), billType(), set);
  if (ReportMode()) CreateObjectAs<host::IPrintSetupUpdate>(updateProgId_)->UpdateUserRptNoteData(Props(), rptId_, set);
}

void BillOrReportNoteSet::DeleteStored(double rowId) {
  if (BillMode()) CreateObjectAs<host::IPrintSetupUpdate>(updateProgId_)->DeleteNoteRow(Props(), billType(), rowId);
  if (ReportMode()) CreateObjectAs<host::IPrintSetupUpdate>(updateProgId_)->DeleteRptNoteRow(Props(), rptId_, rowId);
}

std::optional<std::int32_t> BillOrReportNoteSet::ValidationId() const {
  if (BillMode()) return billType();
  if (ReportMode()) return rptId_;
  return std::nullopt;
}

DocumentKind BillOrReportNoteSet::ExportFamily() const {
  return ReportMode() ? DocumentKind::Report : DocumentKind::Bill;
}

bool BillOrReportNoteSet::SelectedReportTemplateIsXlsx() const {
  auto info = CreateObjectAs<host::IClassInfo>(host::progid::kClassInfo);
  return FirstRowNameIsXlsx(info->GetData(Props(), SelectedReportSql(rptId_)));
}

frmNoteSet::frmNoteSet() : BillOrReportNoteSet(host::progid::kPrintSetupUpdate) {}

bool frmNoteSet::SelectedTemplateIsXlsx() const {
  if (BillMode()) {
    if (!dataSrv_) throw HostError(HostError::kObjectRequired, "the bill dialog has no data service (DataSrv)");
    return FirstRowNameIsXlsx(dataSrv_->GetData("select * from T_PrintExport where FSel=1 and FBillType=" +
                                                std::to_string(dataSrv_->classTypeID())));
  }
  if (ReportMode()) {
    // Report setup through the bill dialog may come without a data service;
    // the class data service runs the same statement.
    if (!dataSrv_) return SelectedReportTemplateIsXlsx();
    return FirstRowNameIsXlsx(dataSrv_->GetData(SelectedReportSql(RptID())));
  }
  return false;
}

frmNoteSetRpt::frmNoteSetRpt() : BillOrReportNoteSet(host::progid::kPrintSetupUpdateRpt) {}

std::string frmNoteSetRpt::RowSubTypeOf(const HostDictionary& row) const {
  if (ReportMode()) return row.Value("FTypeSub").ToText();
  return NoteSetForm::RowSubTypeOf(row);
}

bool frmNoteSetRpt::SelectedTemplateIsXlsx() const { return ReportMode() && SelectedReportTemplateIsXlsx(); }

}  // namespace vemo::setup
