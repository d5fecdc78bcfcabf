// A machine with the host installed in "C:\Program Files\Quorvan\Tradon",
// a login to an initialised sample account, our components registered, and
// helpers to read back the bitmaps the picture layer writes.
#pragma once
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/session_fixture.h"
#include "context/path_mapping.h"
#include "context/settings.h"
#include "foundation/json_convert.h"
#include "host/components/bitmap_file.h"
#include "host/database/sample_account.h"
#include "host/host_fixture.h"
#include "support/files.h"
#include "support/run_command.h"

namespace vemo::engine::test {

inline constexpr const char* kProgramFolder = "C:\\Program Files\\Quorvan\\Tradon";
inline constexpr const char* kAccount = "PictureAccount";
// GetPictureFolder() of this session: the program folder's photo folder
// joined with the account's database name.
inline constexpr const char* kPictureFolder = "C:\\Program Files\\Quorvan\\Tradon\\Graphics\\ItemPhotos\\PictureAccount";

class PicturesTest : public vemo::test::ContextTest {
 protected:
  PicturesTest() : dataFolder_(temp_.path() / "data") {
    host::InitializeSampleAccount(host::DatabasePath(kAccount), false);
    host::RegisterDatabaseComponents();
    Json registry = Json::object();
    for (auto word : {context::kEditionAppType1, context::kEditionAppType2, context::kEditionIndustry0,
                      context::kEditionIndustry1, context::kEditionIndustry2, context::kEditionOther})
      registry[std::string(context::kProductKeyRoot) + std::string(word)] = {{"Path", kProgramFolder}};
    WriteMachineFile("registry.json", registry);
    UseBarcodeControlType(0);
  }

  // Publishes the login with the given barcode control type setting.
  void UseBarcodeControlType(int type) {
    Publish({{"PropsString", host::MakePropsString(kAccount, host::kSampleClerkWithPrices)}},
            Json{{"BarcodeControlType", type}});
  }

  // Switches the debug log on (it is written only when it exists).
  void CreateDebugLog() { WriteWindowsFile(std::string(kProgramFolder) + "\\TalvoDebug.log", ""); }
  std::string DebugLogText() const {
    return vemo::test::ReadFileBytes(context::ToHostPath(std::string(kProgramFolder) + "\\TalvoDebug.log"));
  }

  // The picture, checked to be an uncompressed 24-bit bitmap file.
  static host::RgbImage ReadBitmap(const std::string& windowsPath) {
    const std::string file = vemo::test::ReadFileBytes(context::ToHostPath(windowsPath));
    const Bytes bytes(file.begin(), file.end());
    EXPECT_GE(bytes.size(), 54u);
    if (bytes.size() >= 30) {
      EXPECT_EQ(bytes[28], 24) << "bits per pixel";
    }
    return host::DecodeBmp(bytes);
  }
  // What zbarimg reads from the picture: the symbol's text (raw bytes), one
  // line per symbol found; "" when it finds none.
  static std::string Decode(const std::string& windowsPath) {
    auto result = vemo::test::RunCommand("(zbarimg -q --raw " + vemo::test::ShellQuote(context::ToHostPath(windowsPath)) +
                                         " 2>/dev/null)");
    std::string text = result.output;
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
    return text;
  }
  static bool Exists(const std::string& windowsPath) { return std::filesystem::exists(context::ToHostPath(windowsPath)); }

  host::test::DataFolderScope dataFolder_;
};

}  // namespace vemo::engine::test
