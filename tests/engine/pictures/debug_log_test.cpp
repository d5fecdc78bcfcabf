// The debug log: written only when it exists, in its fixed line layout.
#include <gtest/gtest.h>

#include <regex>

#include "engine/pictures/debug_log.h"
#include "engine/pictures/pictures.h"
#include "pictures_fixture.h"

namespace vemo::engine::test {
namespace {

class DebugLogTest : public PicturesTest {};

TEST_F(DebugLogTest, LivesInTheProgramFolder) {
  EXPECT_EQ(DebugLogPath(), std::string(kProgramFolder) + "\\TalvoDebug.log");
}

TEST_F(DebugLogTest, AnAbsentLogIsNeverCreated) {
  WriteDebugLog("text", true, true);
  EXPECT_FALSE(Exists(DebugLogPath()));
  // A failing drawing leaves no trace on disk either.
  EXPECT_FALSE(CreateBarCode(""));
  EXPECT_EQ(GetQRCodePictureInfo("1", std::string(3000, 'x') + "茶"), "");
  EXPECT_FALSE(Exists(DebugLogPath()));
  EXPECT_FALSE(Exists(std::string(kPictureFolder) + "\\Barcode_.bmp"));
  EXPECT_FALSE(Exists(std::string(kPictureFolder) + "\\QRCode_1.bmp"));
}

TEST_F(DebugLogTest, HeaderTextAndFooterLines) {
  CreateDebugLog();
  WriteDebugLog("第一条", true, true);
  WriteDebugLog("plain", false, false);
  WriteDebugLog("header only", true, false);
  WriteDebugLog("footer only", false, true);
  const std::string equals(42, '='), dashes(42, '-');
  const std::string time = "时间：\\d{4}-\\d{2}-\\d{2} \\d{2}:\\d{2}:\\d{2}";
  const std::regex expected(equals + "\r\n" + time + "\r\n" + dashes + "\r\n第一条\r\n" + equals + "\r\n\r\n" +
                            "plain\r\n" +  //
                            equals + "\r\n" + time + "\r\n" + dashes + "\r\nheader only\r\n" +
                            "footer only\r\n" + equals + "\r\n\r\n");
  const std::string log = DebugLogText();
  EXPECT_TRUE(std::regex_match(log, expected)) << log;
}

TEST_F(DebugLogTest, AppendsToWhatIsThere) {
  WriteWindowsFile(DebugLogPath(), "earlier\r\n");
  WriteDebugLog("later", false, false);
  EXPECT_EQ(DebugLogText(), "earlier\r\nlater\r\n");
}

TEST_F(DebugLogTest, TheTimeIsTheCurrentLocalTime) {
  CreateDebugLog();
  std::time_t before = std::time(nullptr);
  WriteDebugLog("x", true, false);
  std::time_t after = std::time(nullptr);
  const std::string log = DebugLogText();
  const auto at = log.find("时间：");
  ASSERT_NE(at, std::string::npos);
  std::tm written{};
  ASSERT_NE(strptime(log.substr(at + std::string("时间：").size(), 19).c_str(), "%Y-%m-%d %H:%M:%S", &written), nullptr);
  written.tm_isdst = -1;
  std::time_t stamp = std::mktime(&written);
  EXPECT_GE(stamp, before);
  EXPECT_LE(stamp, after);
}

}  // namespace
}  // namespace vemo::engine::test
