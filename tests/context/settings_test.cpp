#include <gtest/gtest.h>

#include "context/registry.h"
#include "context/settings.h"
#include "support/session_fixture.h"
#include "foundation/host_error.h"
#include "foundation/json_convert.h"

namespace vemo::context::test {

using vemo::test::ContextTest;
using vemo::test::ScopedEnv;
namespace {

constexpr const char* kProgramFolder = "C:\\Program Files\\Quorvan\\Tradon";

class SettingsTest : public ContextTest {
 protected:
  // The registry gives the program folder of every edition.
  void InstallProgramFolder(const std::string& folder = kProgramFolder) {
    Json registry = Json::object();
    for (auto word : {kEditionAppType1, kEditionAppType2, kEditionIndustry0, kEditionIndustry1, kEditionIndustry2,
                      kEditionOther})
      registry[std::string(kProductKeyRoot) + std::string(word)] = {{"Path", folder}};
    WriteMachineFile("registry.json", registry);
  }
};

std::string KeyFor(std::string_view word) { return std::string(kProductKeyRoot) + std::string(word); }

TEST_F(SettingsTest, ProductKeyByAppTypeAndIndustryType) {
  struct Case {
    Json settings;
    std::string_view word;
  };
  const std::vector<Case> cases = {
      {Json::object(), kEditionAppType2},  // AppType defaults to 2
      {{{"AppType", 1}}, kEditionAppType1},
      {{{"AppType", 2}, {"IndustryType", 2}}, kEditionAppType2},
      {{{"AppType", 3}}, kEditionOther},
      {{{"AppType", 4}}, kEditionIndustry0},  // IndustryType defaults to 0
      {{{"AppType", 4}, {"IndustryType", 1}}, kEditionIndustry1},
      {{{"AppType", 4}, {"IndustryType", 2}}, kEditionIndustry2},
      {{{"AppType", 4}, {"IndustryType", 7}}, kEditionOther},
      {{{"AppType", 0}}, kEditionOther},
      {{{"AppType", "4"}, {"IndustryType", "1"}}, kEditionIndustry1},  // numeric text
      {{{"AppType", "abc"}}, kEditionOther},
  };
  EXPECT_EQ(GetProductKey(), KeyFor(kEditionAppType2)) << "nothing published";
  for (const auto& c : cases) {
    Publish(Json::object(), c.settings);
    EXPECT_EQ(GetProductKey(), KeyFor(c.word)) << c.settings.dump();
  }
}

TEST_F(SettingsTest, InstallPathsFromTheEnvironmentOrTheProductKey) {
  {
    ScopedEnv common("CommonProgramFiles", "D:\\Common");
    ScopedEnv program("ProgramFiles", "D:\\Programs");
    EXPECT_EQ(GetInstallPath(1), "D:\\Common\\Quorvan\\");
    EXPECT_EQ(GetInstallPath(2), "D:\\Programs\\Quorvan\\Talvo\\Tradon\\Common\\");
  }
  ScopedEnv common("CommonProgramFiles", std::nullopt);
  ScopedEnv program("ProgramFiles", std::nullopt);
  EXPECT_EQ(GetInstallPath(1), "C:\\Program Files\\Common Files\\Quorvan\\");
  EXPECT_EQ(GetInstallPath(2), "C:\\Program Files\\Quorvan\\Talvo\\Tradon\\Common\\");
  EXPECT_EQ(GetInstallPath(0), "");
  EXPECT_EQ(GetInstallPath(4), "");
  // 3: the program folder, from the product key of the edition.
  WriteMachineFile("registry.json", {{KeyFor(kEditionIndustry1), {{"Path", "  C:\\Apparel  "}}},
                                     {KeyFor(kEditionAppType2), {{"Path", "C:\\Standard"}}}});
  EXPECT_EQ(GetInstallPath(3), "C:\\Standard\\");
  Publish(Json::object(), Json{{"AppType", 4}, {"IndustryType", 1}});
  EXPECT_EQ(GetInstallPath(3), "C:\\Apparel\\");
  Publish(Json::object(), Json{{"AppType", 1}});
  EXPECT_EQ(GetInstallPath(3), "\\");  // no registry value: just the separator
}

TEST_F(SettingsTest, AppPathFromSettingOrComponentFolderAndSettingNamesCompareExactly) {
  ScopedEnv appPath("VEMO_APP_PATH", std::nullopt);
  EXPECT_EQ(std::filesystem::path(GetAppPath()), std::filesystem::canonical("/proc/self/exe").parent_path())
      << "the component folder is the executable's";
  SetComponentFolder("/opt/vemo/bin");
  EXPECT_EQ(GetAppPath(), "/opt/vemo/bin");
  SetComponentFolder("");
  Publish(Json::object(), Json{{"AppPath", "C:\\Tradon"}, {"QVCloudPID", "T1"}});
  EXPECT_EQ(GetAppPath(), "C:\\Tradon");
  // Setting names compare exactly.
  EXPECT_EQ(GetSessionSetting("QVCloudPID").ToText(), "T1");
  EXPECT_EQ(GetSessionSetting("qvcloudpid", "none").ToText(), "none");
  EXPECT_TRUE(GetSessionSetting("Missing").IsEmpty());
}

// The published setting first (when not negative), then the program
// folder's ini, then 0.
TEST_F(SettingsTest, BarcodeControlTypeFromTheSettingThenTheIni) {
  InstallProgramFolder();
  const std::string ini = std::string(kProgramFolder) + "\\VemoBaseScheme.ini";
  const struct {
    std::optional<Json> setting;
    const char* iniText;  // nullptr: no ini file
    int answer;
  } cases[] = {{Json{{"BarcodeControlType", 1}}, "[Version]\nBarcodeControlType=2\n", 1},
               {Json{{"BarcodeControlType", -1}}, "[Version]\nBarcodeControlType=2\n", 2},
               {std::nullopt, "[version]\nbarcodecontroltype = 3\n", 3},
               {std::nullopt, "[Version]\nOther=1\n", 0},
               {std::nullopt, nullptr, 0}};
  for (const auto& c : cases) {
    std::filesystem::remove(ToHostPath(ini));
    if (c.iniText) WriteWindowsFile(ini, c.iniText);
    if (c.setting) {
      Publish(Json::object(), *c.setting);
    } else {
      UnpublishSession();
    }
    EXPECT_EQ(GetBarcodeControlType(), c.answer) << (c.iniText ? c.iniText : "no ini");
  }
}

// Under the program folder, or the cloud ini's share folder; with the tenant
// and the database below it (read even for outer logins).
TEST_F(SettingsTest, PictureFolder) {
  InstallProgramFolder();
  const std::string photos = std::string(kProgramFolder) + "\\Graphics\\ItemPhotos\\";
  const std::string acc1 = "ConnectString={Provider=X;Initial Catalog=Acc1}";
  const struct {
    std::string props, tenant;
    int outerLogin;
    std::string answer;
  } cases[] = {{"", "", 0, photos},
               {"UserName=Tom;" + acc1, "T77", 0, photos + "T77\\Acc1"},
               {"ConnectString={Initial Catalog=Outer1}", "", 1, photos + "Outer1"}};
  for (const auto& c : cases) {
    Json settings = c.tenant.empty() ? Json::object() : Json{{"QVCloudPID", c.tenant}};
    Publish({{"PropsString", c.props}}, settings, c.outerLogin);
    EXPECT_EQ(GetPictureFolder(), c.answer) << c.props;
  }
  // Session values name one folder below it and no other.
  for (const char* tenant : {"..", "T77\\..\\..", "../etc", "D:\\x"}) {
    Publish({{"PropsString", acc1}}, Json{{"QVCloudPID", tenant}});
    EXPECT_THROW(GetPictureFolder(), HostError) << tenant;
  }
  WriteWindowsFile(std::string(kProgramFolder) + "\\TalvoCloudSetting.ini", "[Share]\nPictureFolder=D:\\Photos\\\n");
  Publish({{"PropsString", acc1}});
  EXPECT_EQ(GetPictureFolder(), "D:\\Photos\\Acc1");
}

}  // namespace
}  // namespace vemo::context::test
