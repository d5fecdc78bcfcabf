// Our implementations of the host components, over the account's company
// database (see docs/company-database.md). RegisterDatabaseComponents puts
// all of them into the creation service under their programmatic
// identifiers; a host integrator who registers another factory under the
// same identifier afterwards replaces ours.
#pragma once
#include "foundation/host_object.h"

namespace vemo::host {

void RegisterDatabaseComponents();

ObjectRef MakeDatabasePrintSetupQuery();     // bills
ObjectRef MakeDatabasePrintSetupQueryRpt();  // reports
ObjectRef MakeDatabasePrintSetupQueryLM();
ObjectRef MakeDatabasePrintSetupUpdate();
ObjectRef MakeDatabasePrintSetupUpdateLM();
ObjectRef MakeDatabaseClassInfo();
ObjectRef MakeDatabaseSecurityInfo();
ObjectRef MakeDatabaseSystemProfile();
ObjectRef MakeDatabaseItemInfo();
ObjectRef MakeQrEncoder();
ObjectRef MakeDatabaseBehaviorLog();
ObjectRef MakeDatabaseLogisticInfo();
ObjectRef MakeDatabaseLogisticUpdate();

}  // namespace vemo::host
