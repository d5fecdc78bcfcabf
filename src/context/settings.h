// Settings and folders of the session: the settings dictionary the host
// publishes for this process, the product's registry key and the folders
// derived from it. Every function reads its sources anew on each call and
// answers a default on any failure.
#pragma once
#include <filesystem>
#include <string>
#include <string_view>

#include "foundation/variant.h"

namespace vemo::context {

// The published settings dictionary's value for `name` (names compare
// exactly, as the host's dictionary does); `fallback` when nothing is
// published for this process or the dictionary has no such key.
Variant GetSessionSetting(std::string_view name, const Variant& fallback = Variant());

// The folder of the component itself: SetComponentFolder(), else
// $VEMO_APP_PATH, else the folder of the running executable. No trailing
// separator.
std::string ComponentFolder();
void SetComponentFolder(std::filesystem::path folder);  // empty: back to the default

// GetSessionSetting("AppPath", ComponentFolder()) as text.
std::string GetAppPath();

// Edition words of the product registry key, by AppType (and IndustryType for 4).
inline constexpr std::string_view kEditionAppType1 = "VemoLITE";
inline constexpr std::string_view kEditionAppType2 = "VemoSTD";
inline constexpr std::string_view kEditionIndustry0 = "VemoINDUSTRY";
inline constexpr std::string_view kEditionIndustry1 = "VemoAPPAREL";
inline constexpr std::string_view kEditionIndustry2 = "VemoPHARMA";
inline constexpr std::string_view kEditionOther = "VemoPRODUCT";
inline constexpr std::string_view kProductKeyRoot = "SOFTWARE\\Quorvan\\TRADON\\";

// kProductKeyRoot + the edition word of AppType (setting, default 2) and
// IndustryType (setting, default 0); unknown combinations, and settings that
// are not numbers, give kEditionOther.
std::string GetProductKey();

// Defaults of the two environment variables when they are unset or empty.
inline constexpr std::string_view kDefaultCommonProgramFiles = "C:\\Program Files\\Common Files";
inline constexpr std::string_view kDefaultProgramFiles = "C:\\Program Files";

// 1: %CommonProgramFiles% + "\Quorvan\"; 2: %ProgramFiles% +
// "\Quorvan\Talvo\Tradon\Common\"; 3: RegRead(GetProductKey(), "Path") + "\"
// (the host's program folder); anything else "". Windows form.
std::string GetInstallPath(int kind);

// GetSessionSetting("BarcodeControlType", -1); when -1, the "Version" /
// "BarcodeControlType" entry of VemoBaseScheme.ini in the program folder,
// default 0.
int GetBarcodeControlType();

// The folder of item photos (Windows form): PictureFolder of the "Share"
// section of TalvoCloudSetting.ini in the program folder, else the program
// folder joined with "Graphics\ItemPhotos\"; then joined with the QVCloudPID
// setting when it is not empty, then with the login's database name (Initial
// Catalog of the ConnectString) when that is not empty.
std::string GetPictureFolder();

}  // namespace vemo::context
