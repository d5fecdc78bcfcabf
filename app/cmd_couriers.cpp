// vemoprint couriers list [--all]: the courier companies of the account (id,
// code, name, default, shown), the ids `waybill` requests and
// `templates --courier` take. Read through the host's courier component.
#include <iostream>

#include "command_registry.h"
#include "foundation/creation_service.h"
#include "host/components/logistic_manage.h"
#include "host/components/prog_ids.h"
#include "host/database/account_location.h"

namespace vemo::app {
namespace {

struct CouriersOptions {
  bool all = false;
  std::string database;
};

int RunList(const CouriersOptions& options) {
  const std::string props = host::CommandLineProps(options.database, "");
  auto companies = CreateObjectAs<host::ILogisticInfo>(host::progid::kLogisticInfo)->GetLogisticInfoList(props, true);
  int listed = 0;
  for (int i = 1; companies && i <= companies->Size(); ++i) {
    auto company = companies->Item(i).AsObject<HostDictionary>();
    if (!company) continue;
    const bool shown = company->Value("FIsShow").ToBool();
    if (!shown && !options.all) continue;
    std::cout << company->Value("FID").ToText() << "\t" << company->Value("FCode").ToText() << "\t"
              << company->Value("FName").ToText() << (company->Value("FIsDefault").ToBool() ? "\t(default)" : "")
              << (shown ? "" : "\t(hidden)") << "\n";
    ++listed;
  }
  if (listed == 0) std::cout << "no courier companies; \"vemoprint setup couriers\" adds them\n";
  return kExitOk;
}

CommandRegistration registration{"couriers", [](CLI::App& root, GlobalOptions&) {
  auto options = std::make_shared<CouriersOptions>();
  auto* cmd = root.add_subcommand("couriers", "the courier companies waybills are printed for");
  cmd->require_subcommand(1);
  auto* list = cmd->add_subcommand("list", "ids and names (the ids of --courier and of waybill requests)");
  list->add_flag("--all", options->all, "also the companies hidden from selection");
  list->add_option("--database", options->database,
                   "account name (default: $VEMO_DATABASE, the session's account, or VemoSample)");
  list->callback([options] { SetExitCode(RunList(*options)); });
}};

}  // namespace
}  // namespace vemo::app
