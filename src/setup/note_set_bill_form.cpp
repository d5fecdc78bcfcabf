#include "setup/note_set_bill_form.h"

#include "foundation/creation_service.h"
#include "host/components/class_info.h"
#include "host/components/print_setup.h"
#include "host/components/prog_ids.h"
#include "setup/sub_type_list.h"

namespace vemo::setup {
namespace {

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

std::optional<DocumentKind> BillOrReportNoteSet::TableKind() const {
  if (BillMode()) return DocumentKind::Bill;
  if (ReportMode()) return DocumentKind::Report;
  return std::nullopt;
}

TemplateOwner BillOrReportNoteSet::Owner() const {
  return {.props = Props(), .updateProgId = Dialog().updateProgId, .owner = ReportMode() ? rptId_ : billType(), .billType = billType()};
}

bool BillOrReportNoteSet::SelectedReportTemplateIsXlsx() const {
  auto info = CreateObjectAs<host::IClassInfo>(host::progid::kClassInfo);
  return FirstRowNameIsXlsx(info->GetData(Props(), SelectedReportSql(rptId_)));
}

frmNoteSet::frmNoteSet() : BillOrReportNoteSet(DocumentKind::Bill) {}

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

frmNoteSetRpt::frmNoteSetRpt() : BillOrReportNoteSet(DocumentKind::Report) {}

std::string frmNoteSetRpt::RowSubTypeOf(const HostDictionary& row) const {
  if (ReportMode()) return row.Value("FTypeSub").ToText();
  return NoteSetForm::RowSubTypeOf(row);
}

bool frmNoteSetRpt::SelectedTemplateIsXlsx() const { return ReportMode() && SelectedReportTemplateIsXlsx(); }

}  // namespace vemo::setup
