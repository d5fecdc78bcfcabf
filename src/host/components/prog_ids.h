// Programmatic identifiers of the host components, as the system creates
// them through the creation service.
#pragma once
#include <string_view>

namespace vemo::host::progid {

inline constexpr std::string_view kPrintSetupQuery = "VemoMPrintExport.clsPrintSetupQuery";
inline constexpr std::string_view kPrintSetupQueryRpt = "VemoMPrintExport.clsPrintSetupQueryRpt";
inline constexpr std::string_view kPrintSetupQueryLM = "VemoMPrintExport.clsPrintSetupQueryLM";
inline constexpr std::string_view kPrintSetupUpdate = "VemoMPrintExport.clsPrintSetupUpdate";
inline constexpr std::string_view kPrintSetupUpdateRpt = "VemoMPrintExport.clsPrintSetupUpdateRpt";
inline constexpr std::string_view kPrintSetupUpdateLM = "VemoMPrintExport.clsPrintSetupUpdateLM";
inline constexpr std::string_view kClassInfo = "VemoMClass.ClassInfo";
inline constexpr std::string_view kSecurityInfo = "VemoEBSBase.SecurityInfo";
inline constexpr std::string_view kSystemProfile = "VemoEBSBase.SystemProfile";
inline constexpr std::string_view kItemInfo = "VemoEBSGLItem.ItemInfo";
inline constexpr std::string_view kQrEncoder = "Talvo_APGC.CQRCode";
inline constexpr std::string_view kBehaviorLog = "TalvoAPBehaviorLog.WriteLog";
inline constexpr std::string_view kLogisticInfo = "VemoMLogisticManage.clsInfo";
inline constexpr std::string_view kLogisticUpdate = "VemoMLogisticManage.clsUpdate";

}  // namespace vemo::host::progid
