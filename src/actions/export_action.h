// ExportAction: prints, previews, exports or mails one bill through the
// spreadsheet template registered for its type; prints several bills of one
// type in a row; prints item labels.
//
//   ExportAction action;
//   action.SetDataSrv(dataService);  action.SetData(values);  action.SetTableInfo(fields);
//   bool printed = action.PrintBill(/*isPreview=*/false);
//
// Properties are write-only. Every action member answers true/false and
// never throws; what went wrong has been shown to the user.
#pragma once
#include "actions/export_action_base.h"

namespace vemo::actions {

class ExportAction final : public ExportActionBase {
 public:
  ExportAction();
  std::string TypeName() const override { return "ExportAction"; }

  // Leaves label mode, then exports to a file when isExportExcelFile, else
  // previews or prints.
  bool PrintBill(bool isPreview, bool isExportExcelFile = false);
};

}  // namespace vemo::actions
