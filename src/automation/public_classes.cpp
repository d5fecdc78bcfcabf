#include "automation/public_classes.h"

#include "actions/register_actions.h"
#include "automation/member_args.h"
#include "engine/excel_operater.h"
#include "foundation/creation_service.h"
#include "setup/export_action_setup.h"

namespace vemo::automation {
namespace {

template <class T>
void RegisterHosted(std::string_view progId, const char* className) {
  Creation().Register(progId, [className] { return std::make_shared<Hosted<T>>(className); });
}

}  // namespace

void RegisterPublicClasses() {
  actions::RegisterExportActions();
  RegisterHosted<setup::ExportActionSetup>(kPublicClassProgIds[3], "ExportActionSetup");
  RegisterHosted<setup::ExportActionSetupRpt>(kPublicClassProgIds[4], "ExportActionSetupRpt");
  RegisterHosted<setup::ExportActionSetupLM>(kPublicClassProgIds[5], "ExportActionSetupLM");
  RegisterHosted<engine::ExcelOperaterRpt>(kPublicClassProgIds[6], "ExcelOperaterRpt");
  RegisterHosted<engine::ExcelOperaterLM>(kPublicClassProgIds[7], "ExcelOperaterLM");
  RegisterActionMembers();
  RegisterSetupMembers();
  RegisterEngineMembers();
  RegisterValueMembers();
}

}  // namespace vemo::automation
