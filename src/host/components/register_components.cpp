#include "foundation/creation_service.h"
#include "host/components/database_components.h"
#include "host/components/prog_ids.h"

namespace vemo::host {

void RegisterDatabaseComponents() {
  auto& service = Creation();
  service.Register(progid::kPrintSetupQuery, MakeDatabasePrintSetupQuery);
  service.Register(progid::kPrintSetupQueryRpt, MakeDatabasePrintSetupQueryRpt);
  service.Register(progid::kPrintSetupQueryLM, MakeDatabasePrintSetupQueryLM);
  // The bill and report update components offer the same six members.
  service.Register(progid::kPrintSetupUpdate, MakeDatabasePrintSetupUpdate);
  service.Register(progid::kPrintSetupUpdateRpt, MakeDatabasePrintSetupUpdate);
  service.Register(progid::kPrintSetupUpdateLM, MakeDatabasePrintSetupUpdateLM);
  service.Register(progid::kClassInfo, MakeDatabaseClassInfo);
  service.Register(progid::kSecurityInfo, MakeDatabaseSecurityInfo);
  service.Register(progid::kSystemProfile, MakeDatabaseSystemProfile);
  service.Register(progid::kItemInfo, MakeDatabaseItemInfo);
  service.Register(progid::kQrEncoder, MakeQrEncoder);
  service.Register(progid::kBehaviorLog, MakeDatabaseBehaviorLog);
  service.Register(progid::kLogisticInfo, MakeDatabaseLogisticInfo);
  service.Register(progid::kLogisticUpdate, MakeDatabaseLogisticUpdate);
}

}  // namespace vemo::host
