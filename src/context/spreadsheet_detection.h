// Which spreadsheet application the system drives: the first of
// "ET.Application", "KET.Application", "Excel.Application" that the creation
// service can create, so a compatible application takes precedence over
// Microsoft Excel when both are installed.
//
// A machine can withhold every spreadsheet application, so each "no
// spreadsheet application" path can be seen: the environment variable
// VEMO_NO_SPREADSHEET set to anything but "" or "0", or {"noSpreadsheet": true}
// in the machine configuration's machine.json.
#pragma once
#include <array>
#include <string>
#include <string_view>

#include "foundation/host_object.h"

namespace vemo::context {

inline constexpr std::array<std::string_view, 3> kSpreadsheetAppIds = {"ET.Application", "KET.Application",
                                                                         "Excel.Application"};

bool SpreadsheetAppsWithheld();

struct FoundSpreadsheetApp {
  ObjectRef app;       // nullptr when none could be created
  std::string progId;  // the identifier it came from; "" when none
};
// Tries the identifiers in order and stops at the first that creates an
// object. Leaves the IsMsExcel flag alone.
FoundSpreadsheetApp FindSpreadsheetApp();

// True when one can be created (the object is released at once).
bool IsSpreadsheetAppAvailable();
// The created application, or nullptr. When one is found, the IsMsExcel flag
// becomes whether it came from "Excel.Application"; when none is found the
// flag keeps its value.
ObjectRef GetSpreadsheetApp();
// The flag: False until GetSpreadsheetApp finds Microsoft Excel.
bool IsMsExcel();
// Tests: puts the flag back to its start value.
void ResetIsMsExcel();

}  // namespace vemo::context
