#include "context/settings.h"

#include <cstdlib>
#include <optional>

#include "context/file_utils.h"
#include "context/ini_file.h"
#include "context/props_string.h"
#include "context/registry.h"
#include "context/session_components.h"
#include "context/session_store.h"
#include "foundation/creation_service.h"
#include "foundation/host_error.h"
#include "foundation/installed.h"

namespace vemo::context {
namespace {

std::string EnvironmentOr(const char* name, std::string_view fallback) {
  const char* value = std::getenv(name);
  return value && *value ? std::string(value) : std::string(fallback);
}

std::string EditionWord(int appType, int industryType) {
  if (appType == 1) return std::string(kEditionAppType1);
  if (appType == 2) return std::string(kEditionAppType2);
  if (appType == 4) {
    if (industryType == 0) return std::string(kEditionIndustry0);
    if (industryType == 1) return std::string(kEditionIndustry1);
    if (industryType == 2) return std::string(kEditionIndustry2);
  }
  return std::string(kEditionOther);
}

std::string PropsStringOfShareProps() {
  try {
    auto props = CreateObjectAs<IShareProps>(kSharePropsId);
    return props->GetProperty(CurrentProcessId(), "PropsString").ToText();
  } catch (const std::exception&) {
    return "";
  }
}

Installed<std::optional<std::filesystem::path>>& InstalledComponentFolder() {
  static Installed<std::optional<std::filesystem::path>> folder;
  return folder;
}

}  // namespace

Variant GetSessionSetting(std::string_view name, const Variant& fallback) {
  auto session = PublishedSession();
  if (!session || !session->settings) return fallback;
  if (!session->settings->Lookup(name)) return fallback;
  return session->settings->Value(name);
}

std::string ComponentFolder() {
  if (auto folder = InstalledComponentFolder().Get()) return folder->string();
  if (const char* path = std::getenv("VEMO_APP_PATH"); path && *path) return path;
  std::error_code ec;
  const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec) return std::filesystem::current_path(ec).string();
  return exe.parent_path().string();
}

void SetComponentFolder(std::filesystem::path folder) {
  InstalledComponentFolder().Set(folder.empty() ? std::nullopt : std::optional(std::move(folder)));
}

std::string GetAppPath() {
  try {
    return GetSessionSetting("AppPath", ComponentFolder()).ToText();
  } catch (const std::exception&) {
    return ComponentFolder();
  }
}

std::string GetProductKey() {
  std::string edition;
  try {
    edition = EditionWord(GetSessionSetting("AppType", 2).ToInt32(), GetSessionSetting("IndustryType", 0).ToInt32());
  } catch (const std::exception&) {
    edition = kEditionOther;
  }
  return std::string(kProductKeyRoot) + edition;
}

std::string GetInstallPath(int kind) {
  switch (kind) {
    case 1:
      return EnvironmentOr("CommonProgramFiles", kDefaultCommonProgramFiles) + "\\Quorvan\\";
    case 2:
      return EnvironmentOr("ProgramFiles", kDefaultProgramFiles) + "\\Quorvan\\Talvo\\Tradon\\Common\\";
    case 3:
      return RegRead(GetProductKey(), "Path") + "\\";
    default:
      return "";
  }
}

int GetBarcodeControlType() {
  int setting = -1;
  try {
    setting = GetSessionSetting("BarcodeControlType", -1).ToInt32();
  } catch (const std::exception&) {
    setting = -1;
  }
  if (setting != -1) return setting;
  const std::string fromIni = ReadIni(GetInstallPath(3) + "\\" + "VemoBaseScheme.ini", "Version", "BarcodeControlType", "0");
  return static_cast<int>(LeadingNumber(fromIni));
}

namespace {

// The session's values name one folder below the picture folder and no
// other: "..", a separator or a drive would let them reach any folder.
const std::string& OneFolderName(const std::string& value, const char* what) {
  if (value == "." || value == ".." || value.find_first_of("/\\:") != std::string::npos ||
      value.find('\0') != std::string::npos)
    throw HostError(std::string(what) + " \"" + value +
                    "\" cannot name a picture folder; it must be one folder name, without \"..\" or separators");
  return value;
}

}  // namespace

std::string GetPictureFolder() {
  const std::string database = DatabaseNameOf(PropsStringOfShareProps());
  const std::string programFolder = GetInstallPath(3);
  std::string folder = ReadIni(JoinPath(programFolder, "TalvoCloudSetting.ini"), "Share", "PictureFolder", "");
  if (folder.empty()) folder = JoinPath(programFolder, "Graphics\\ItemPhotos\\");
  std::string tenant;
  try {
    tenant = GetSessionSetting("QVCloudPID").ToText();
  } catch (const std::exception&) {
    tenant.clear();
  }
  if (!tenant.empty()) folder = JoinPath(folder, OneFolderName(tenant, "the session setting QVCloudPID"));
  if (!database.empty()) folder = JoinPath(folder, OneFolderName(database, "the account name"));
  return folder;
}

}  // namespace vemo::context
