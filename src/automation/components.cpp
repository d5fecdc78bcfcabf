#include "automation/components.h"

#include "automation/public_classes.h"
#include "context/props_string.h"
#include "context/session_components.h"
#include "context/session_store.h"
#include "host/database/account_location.h"
#include "host/components/database_components.h"
#include "host/output/output_print_service.h"
#include "host/spreadsheet/spreadsheet_application.h"
#include "setup/template_validator.h"

namespace vemo::automation {

void RegisterComponents() {
  context::RegisterSessionComponents(/*replace=*/false);
  host::RegisterDatabaseComponents();
  host::RegisterSpreadsheetApplication();
  RegisterPublicClasses();
  host::InstallOutputPrintService();
  setup::SetTemplateValidatorProvider(setup::EngineTemplateValidator);
}

void OpenSession(const std::string& sessionFile) {
  if (!sessionFile.empty()) {
    context::PublishSession(context::LoadSessionFile(sessionFile));
    return;
  }
  const std::string props = host::CommandLineProps("", "");
  context::SessionData session;
  session.login = HostDictionary::Create();
  session.login->Set("UserName", Variant(context::GetPropValue(props, "UserName", ";")));
  session.login->Set("PropsString", Variant(props));
  context::PublishSession(std::move(session));
}

}  // namespace vemo::automation
