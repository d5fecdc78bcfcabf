// vemoprint context (alias info): prints what the session context reads, so
// an integrator can check a session file and a machine configuration.
#include <iostream>

#include "command_registry.h"
#include "context/file_utils.h"
#include "context/login.h"
#include "context/machine_config.h"
#include "context/path_mapping.h"
#include "context/props_string.h"
#include "context/settings.h"
#include "context/spreadsheet_detection.h"
#include "context/temp_files.h"
#include "host/database/database_address.h"
#include "window_system/qt_user_interface.h"

namespace vemo::app {
namespace {

// The Windows form and, when it differs, where it lives on this host.
std::string WithHostPath(const std::string& windowsPath) {
  if (windowsPath.empty()) return "";
  const std::string host = context::ToHostPath(windowsPath).string();
  return host == windowsPath ? windowsPath : windowsPath + "  ->  " + host;
}

int PrintContext(const GlobalOptions& options) {
  using namespace context;
  const std::string props = GetPropsString();
  std::string user;
  try {
    ParsePropsString(props);
    user = GetUserName();
  } catch (const std::exception&) {
    user = GetLoginProperty("UserName").ToText();
  }
  const FoundSpreadsheetApp app = FindSpreadsheetApp();
  auto line = [](const char* name, const std::string& value) { std::cout << name << ": " << value << "\n"; };
  line("session file", options.sessionFile.empty() ? "(none)" : options.sessionFile);
  line("machine config", MachineConfigFolder().string());
  line("outer login", std::to_string(IsOuterLogin()));
  line("user", user);
  line("database", DatabaseNameOf(props));
  std::string inUse;
  try {
    const auto address = host::AccountDatabase(props);
    inUse = (address.kind == host::DatabaseKind::Server ? "server " : "embedded file ") + address.Describe();
  } catch (const std::exception& e) {
    inUse = std::string("(none: ") + e.what() + ")";
  }
  line("company database", inUse);
  line("app path", WithHostPath(GetAppPath()));
  line("product key", GetProductKey());
  line("install path 1", WithHostPath(GetInstallPath(1)));
  line("install path 2", WithHostPath(GetInstallPath(2)));
  line("install path 3", WithHostPath(GetInstallPath(3)));
  line("picture folder", WithHostPath(GetPictureFolder()));
  line("barcode control type", std::to_string(GetBarcodeControlType()));
  line("temporary folder", GetTempPath());
  line("spreadsheet application", app.app ? app.progId : "(none)");
  line("user interface", window_system::UserInterfaceInUse());
  return kExitOk;
}

CommandRegistration registration{"context", [](CLI::App& root, GlobalOptions& options) {
  auto* cmd = root.add_subcommand("context", "print what the session context reads (user, database, folders, product key)");
  cmd->alias("info");
  cmd->callback([&options] { SetExitCode(PrintContext(options)); });
}};

}  // namespace
}  // namespace vemo::app
