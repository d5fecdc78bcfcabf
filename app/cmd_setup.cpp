// vemoprint setup bill|report|waybill|couriers: opens a setup dialog the way
// the host's screens do, through the public setup classes. The dialogs need
// a display: with one, the Qt user interface is loaded (window_system/qt_user_interface.h) and
// shows them, with its message boxes and file dialogs; without a display or
// without that library the command answers exit status 2 with "needs a
// display" (manage templates with "vemoprint templates").
#include <iostream>

#include "command_registry.h"
#include "foundation/creation_service.h"
#include "host/components/bill_data_service.h"
#include "host/components/class_info.h"
#include "host/components/prog_ids.h"
#include "context/login.h"
#include "setup/export_action_setup.h"
#include "setup/logistic_form.h"
#include "program_qt_module.h"

namespace vemo::app {
namespace {

struct SetupOptions {
  int billType = 0, report = 0, dataFrom = 0;
  std::string reportName;
};

// The bill's data service of a bill type, with its name from the account.
std::shared_ptr<host::BillDataService> DataSrvOf(int billType) {
  const std::string props = context::GetPropsString();
  auto classtype = HostDictionary::Create();
  classtype->Add("FID", billType);
  std::string name;
  try {
    auto rows = CreateObjectAs<host::IClassInfo>(host::progid::kClassInfo)
                    ->GetData(props, "select FName from t_ClassType where FID=" + std::to_string(billType));
    if (rows && !rows->Eof()) name = rows->Field("FName").ToText();
  } catch (const std::exception&) {
  }
  classtype->Add("FName", name);
  return std::make_shared<host::BillDataService>(classtype, HostVector::Create(), billType, props);
}

// Runs the opening on the Qt user interface when it can be had; a missing
// display is a usage problem of this build or session.
template <class F>
int Opening(F&& open) {
  std::string why;
  const bool windows = setup::CurrentFormHost() || window_system::InstallQtUserInterface(ProgramQtModule(), window_system::kQtDesktop | window_system::kQtFormHost, why);
  try {
    open();
  } catch (const HostError& e) {
    if (e.Number() == setup::kNeedsDisplay) throw UsageError(e.Description() + (windows ? "" : " (" + why + ")"));
    throw;
  }
  return kExitOk;
}

CommandRegistration registration{"setup", [](CLI::App& root, GlobalOptions&) {
  auto o = std::make_shared<SetupOptions>();
  auto* cmd = root.add_subcommand("setup", "open a template setup dialog (needs a display)");
  cmd->require_subcommand(1);
  auto* bill = cmd->add_subcommand("bill", "the template dialog of a bill type");
  bill->add_option("--bill-type", o->billType, "bill type (class type id), e.g. 1020002")->required();
  bill->callback([o] {
    SetExitCode(Opening([&] {
      setup::ExportActionSetup action;
      action.SetDataSrv(DataSrvOf(o->billType));
      action.NotePrintSetup(false);
    }));
  });
  auto* report = cmd->add_subcommand("report", "the template dialog of a report");
  report->add_option("--report", o->report, "report id, e.g. 10506")->required();
  report->add_option("--name", o->reportName, "the report's name as the dialog shows it")->required();
  report->callback([o] {
    SetExitCode(Opening([&] {
      setup::ExportActionSetupRpt action;
      action.SetRptID(o->report);
      action.SetRptName(o->reportName);
      action.SetDataSourceType(1);
      action.RptExcelPrintSetup();
    }));
  });
  auto* waybill = cmd->add_subcommand("waybill", "the waybill template dialog");
  waybill->add_option("--data-from", o->dataFrom, "waybill data source, 0 or 1")->required();
  waybill->callback([o] {
    SetExitCode(Opening([&] {
      setup::ExportActionSetupLM action;
      action.SetDataFrom(o->dataFrom);
      action.NotePrintSetup(false);
    }));
  });
  cmd->add_subcommand("couriers", "the courier company settings dialog")->callback([] {
    SetExitCode(Opening([] {
      setup::frmLogistic form;
      setup::ShowFormModal(form);
    }));
  });
}};

}  // namespace
}  // namespace vemo::app
