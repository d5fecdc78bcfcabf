// The component's creatable classes, registered in the creation service
// under "VemoPrintExport." + the class name, each with its member table for
// late binding (late_binding.h):
//   ExportAction, ExportActionRpt, ExportActionLM          the export actions
//   ExportActionSetup, ExportActionSetupRpt, ExportActionSetupLM   setup entries
//   ExcelOperaterRpt, ExcelOperaterLM                      the report and waybill engines
// The host value objects (HostDictionary, HostVector, Recordset) get member
// tables too, so a host that binds late can fill and read them.
#pragma once
#include <array>
#include <string_view>

namespace vemo::automation {

inline constexpr std::array<std::string_view, 8> kPublicClassProgIds = {
    "VemoPrintExport.ExportAction",        "VemoPrintExport.ExportActionRpt",
    "VemoPrintExport.ExportActionLM",      "VemoPrintExport.ExportActionSetup",
    "VemoPrintExport.ExportActionSetupRpt", "VemoPrintExport.ExportActionSetupLM",
    "VemoPrintExport.ExcelOperaterRpt",    "VemoPrintExport.ExcelOperaterLM",
};

// Registers the eight classes and every member table. Each creation is a new
// object. Safe to call more than once.
void RegisterPublicClasses();

}  // namespace vemo::automation
