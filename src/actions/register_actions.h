// The export classes are creatable by identifier, as the host creates them:
// "VemoPrintExport.ExportAction", "VemoPrintExport.ExportActionRpt",
// "VemoPrintExport.ExportActionLM".
#pragma once
#include <string_view>

namespace vemo::actions {

inline constexpr std::string_view kExportActionProgId = "VemoPrintExport.ExportAction";
inline constexpr std::string_view kExportActionRptProgId = "VemoPrintExport.ExportActionRpt";
inline constexpr std::string_view kExportActionLMProgId = "VemoPrintExport.ExportActionLM";

// Registers the three in the creation service (each creation is a new object).
void RegisterExportActions();

}  // namespace vemo::actions
