#include "actions/register_actions.h"

#include "actions/export_action.h"
#include "actions/export_action_lm.h"
#include "actions/export_action_rpt.h"
#include "foundation/creation_service.h"

namespace vemo::actions {

void RegisterExportActions() {
  Creation().Register(kExportActionProgId, [] { return std::make_shared<ExportAction>(); });
  Creation().Register(kExportActionRptProgId, [] { return std::make_shared<ExportActionRpt>(); });
  Creation().Register(kExportActionLMProgId, [] { return std::make_shared<ExportActionLM>(); });
}

}  // namespace vemo::actions
