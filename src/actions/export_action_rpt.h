// ExportActionRpt: prints, previews or exports a report (head values and
// rows) through the template registered for the report. The usual order:
// set DataSrv, RptID, RptHeadData (its ByItem picks the customer or
// supplier template), RptEntryData and DataSourceType 1; PreCheck();
// PrintInitial(bills); then PrintRpt or SingleRecordExportToFileAction4Rpt.
// DoAction serves mail, print and preview; its export code 2 does nothing.
#pragma once
#include "actions/export_action_base.h"

namespace vemo::actions {

class ExportActionRpt final : public ExportActionBase {
 public:
  ExportActionRpt();
  std::string TypeName() const override { return "ExportActionRpt"; }
};

}  // namespace vemo::actions
