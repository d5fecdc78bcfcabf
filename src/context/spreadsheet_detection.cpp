#include "context/spreadsheet_detection.h"

#include <atomic>
#include <cstdlib>

#include "context/machine_config.h"
#include "foundation/creation_service.h"
#include "foundation/utf8_text.h"

namespace vemo::context {
namespace {

std::atomic<bool> g_isMsExcel{false};

}  // namespace

bool SpreadsheetAppsWithheld() {
  const char* env = std::getenv("VEMO_NO_SPREADSHEET");
  if (env && *env && std::string_view(env) != "0") return true;
  return MachineSwitch("noSpreadsheet", false);
}

FoundSpreadsheetApp FindSpreadsheetApp() {
  if (SpreadsheetAppsWithheld()) return {};
  for (std::string_view id : kSpreadsheetAppIds) {
    try {
      if (ObjectRef app = CreateObject(id)) return {app, std::string(id)};
    } catch (const std::exception&) {
      // Not installed: try the next one.
    }
  }
  return {};
}

bool IsSpreadsheetAppAvailable() { return FindSpreadsheetApp().app != nullptr; }

ObjectRef GetSpreadsheetApp() {
  FoundSpreadsheetApp found = FindSpreadsheetApp();
  if (found.app) g_isMsExcel = EqualsIgnoreCase(found.progId, "Excel.Application");
  return found.app;
}

bool IsMsExcel() { return g_isMsExcel.load(); }
void ResetIsMsExcel() { g_isMsExcel = false; }

}  // namespace vemo::context
