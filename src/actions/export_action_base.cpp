#include "actions/export_action_base.h"

#include "actions/action_core.h"
#include "actions/export_action.h"
#include "actions/export_action_rpt.h"

namespace vemo::actions {

ExportActionBase::ExportActionBase(DocumentKind kind) : core_(std::make_unique<detail::ActionCore>(kind)) {}
ExportActionBase::~ExportActionBase() = default;

void ExportActionBase::SetRptHeadData(const ObjectRef& headValues) { core_->Inputs().rptHeadData = headValues; }
void ExportActionBase::SetRptEntryData(const RecordsetRef& rows) { core_->Inputs().rptEntryData = rows; }
void ExportActionBase::SetRptID(std::int32_t rptId) { core_->Inputs().rptId = rptId; }
void ExportActionBase::SetDataSourceType(std::int32_t type) { core_->Inputs().dataSourceType = type; }
void ExportActionBase::SetDataSrv(const ObjectRef& dataService) { core_->SetDataSrv(dataService, /*readClassType=*/true); }
void ExportActionBase::SetData(const ObjectRef& billValues) { core_->Inputs().data = billValues; }
void ExportActionBase::SetTableInfo(const ObjectRef& fieldDictionary) { core_->Inputs().tableInfo = fieldDictionary; }

bool ExportActionBase::ToEmailAction(const std::string& tempFileName) { return core_->ToEmailAction(tempFileName); }
bool ExportActionBase::OpenExcel(const std::string&) { return core_->OpenExcel(); }
bool ExportActionBase::PrintItemInfo(bool isPreview, bool isExportExcelFile, const ObjectRef& itemInfoDict) {
  return core_->PrintItemInfo(isPreview, isExportExcelFile, itemInfoDict);
}
void ExportActionBase::SetEmbedLabelPictures(bool embed) { core_->Inputs().embedLabelPictures = embed; }
void ExportActionBase::CopyItemInfoFile() { core_->CopyItemInfoFile(); }
void ExportActionBase::HandlerItemInfoFilePicture() { core_->HandlerItemInfoFilePicture(); }
bool ExportActionBase::DoAction(ActionTypeEnum actionType) { return core_->DoAction(static_cast<int>(actionType)); }
bool ExportActionBase::DoAction(int actionType) { return core_->DoAction(actionType); }
bool ExportActionBase::PrintInitial(const ObjectRef& printData) { return core_->PrintInitial(printData); }
bool ExportActionBase::PrintRpt(bool isPreview) { return core_->PrintRpt(isPreview); }
bool ExportActionBase::SingleRecordExportToFileAction4Rpt() { return core_->SingleRecordExportToFileAction4Rpt(); }
bool ExportActionBase::PreCheck() { return core_->PreCheck(); }

ExportAction::ExportAction() : ExportActionBase(DocumentKind::Bill) {}

bool ExportAction::PrintBill(bool isPreview, bool isExportExcelFile) {
  core_->Inputs().labelMode = 0;
  return core_->DoAction(detail::SingleActionFor(isPreview, isExportExcelFile));
}

ExportActionRpt::ExportActionRpt() : ExportActionBase(DocumentKind::Report) {}

}  // namespace vemo::actions
