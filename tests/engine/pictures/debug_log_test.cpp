// The debug log: written only when it exists, in its fixed line layout.
#include <gtest/gtest.h>

#include <ctime>
#include <regex>

#include "engine/pictures/debug_log.h"
#include "engine/pictures/pictures.h"
#include "pictures_fixture.h"

namespace vemo::engine::test {
namespace {

class DebugLogTest : public PicturesTest {};

TEST_F(DebugLogTest, AnAbsentLogIsNeverCreated) {
  WriteDebugLog("text", true, true);
  EXPECT_FALSE(CreateBarCode(""));  // a failing drawing leaves no trace either
  EXPECT_EQ(GetQRCodePictureInfo("1", std::string(3000, 'x') + "茶"), "");
  EXPECT_FALSE(Exists(DebugLogPath()));
}

// Entries are appended; each may open with a header of the current local
// time and close with a footer line.
TEST_F(DebugLogTest, HeaderTextAndFooterLinesAppended) {
  WriteWindowsFile(DebugLogPath(), "earlier\r\n");
  const std::time_t before = std::time(nullptr);
  WriteDebugLog("第一条", true, true);
  const std::time_t after = std::time(nullptr);
  WriteDebugLog("plain", false, false);
  WriteDebugLog("header only", true, false);
  WriteDebugLog("footer only", false, true);
  const std::string equals(42, '='), dashes(42, '-');
  const std::string time = "时间：(\\d{4}-\\d{2}-\\d{2} \\d{2}:\\d{2}:\\d{2})";
  const std::regex expected("earlier\r\n" + equals + "\r\n" + time + "\r\n" + dashes + "\r\n第一条\r\n" + equals + "\r\n\r\n" +
                            "plain\r\n" +  //
                            equals + "\r\n" + time + "\r\n" + dashes + "\r\nheader only\r\n" +
                            "footer only\r\n" + equals + "\r\n\r\n");
  const std::string log = DebugLogText();
  std::smatch match;
  ASSERT_TRUE(std::regex_match(log, match, expected)) << log;
  std::tm written{};
  ASSERT_NE(strptime(match[1].str().c_str(), "%Y-%m-%d %H:%M:%S", &written), nullptr);
  written.tm_isdst = -1;
  const std::time_t stamp = std::mktime(&written);
  EXPECT_TRUE(stamp >= before && stamp <= after) << match[1];
}

}  // namespace
}  // namespace vemo::engine::test
