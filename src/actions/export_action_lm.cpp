#include "actions/export_action_lm.h"

#include "actions/action_core.h"

namespace vemo::actions {

ExportActionLM::ExportActionLM() : core_(std::make_unique<detail::ActionCore>(DocumentKind::Waybill)) {
  core_->Inputs().classTypeId = kWaybillFromScreen;
}
ExportActionLM::~ExportActionLM() = default;

std::int32_t ExportActionLM::dataFrom() const { return core_->Inputs().dataFrom; }

void ExportActionLM::SetDataFrom(std::int32_t value) {
  core_->Inputs().dataFrom = value;
  if (value == 1) core_->Inputs().classTypeId = kWaybillFromBill;
}

void ExportActionLM::SetDataSrv(const ObjectRef& dataService) {
  // Only a waybill made from a bill uses the bill's data service; the class
  // type id stays the waybill's own.
  if (core_->Inputs().dataFrom == 1) core_->SetDataSrv(dataService, /*readClassType=*/false);
}

void ExportActionLM::SetData(const ObjectRef& waybillValues) { core_->Inputs().data = waybillValues; }
void ExportActionLM::SetTableInfo(const ObjectRef& fieldDictionary) { core_->Inputs().tableInfo = fieldDictionary; }

bool ExportActionLM::ToEmailAction(const std::string& tempFileName) { return core_->ToEmailAction(tempFileName); }

bool ExportActionLM::PrintBill(bool isPreview, bool isExportExcelFile) {
  return core_->DoAction(detail::SingleActionFor(isPreview, isExportExcelFile));
}

bool ExportActionLM::DoAction(ActionTypeEnum actionType) { return core_->DoAction(static_cast<int>(actionType)); }
bool ExportActionLM::DoAction(int actionType) { return core_->DoAction(actionType); }

}  // namespace vemo::actions
