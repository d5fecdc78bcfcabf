#include <gtest/gtest.h>

#include "context/path_mapping.h"
#include "support/session_fixture.h"

namespace vemo::context::test {

using vemo::test::ContextTest;
namespace {

TEST(PathMapping, DrivesRootRelativeAndRelativePaths) {
  PathMapping mapping("/mc");
  mapping.MapDrive('d', "/srv/d");
  EXPECT_EQ(mapping.ToHost("C:\\ItemPhotos\\a.bmp"), "/mc/drive_c/ItemPhotos/a.bmp");
  EXPECT_EQ(mapping.ToHost("c:/ItemPhotos/"), "/mc/drive_c/ItemPhotos/");
  EXPECT_EQ(mapping.ToHost("D:\\x\\\\y"), "/srv/d/x/y");
  EXPECT_EQ(mapping.ToHost("d:"), "/srv/d");
  EXPECT_EQ(mapping.ToHost("C:\\"), "/mc/drive_c/");
  EXPECT_EQ(mapping.ToHost("\\Common Files\\Quorvan\\"), "/mc/drive_c/Common Files/Quorvan/");
  EXPECT_EQ(mapping.ToHost("\\\\server\\share\\f.xls"), "/mc/unc/server/share/f.xls");
  EXPECT_EQ(mapping.ToHost("ExcelPrint\\"), "ExcelPrint/");
  EXPECT_EQ(mapping.ToHost("/tmp/vemo\\Tem1.xls"), "/tmp/vemo/Tem1.xls");
  EXPECT_EQ(mapping.ToHost(""), "");
  // The inverse, for messages.
  EXPECT_EQ(mapping.ToWindows("/mc/drive_c/Program Files/Quorvan"), "C:\\Program Files\\Quorvan");
  EXPECT_EQ(mapping.ToWindows("/srv/d/x/y.xls"), "D:\\x\\y.xls");
  EXPECT_EQ(mapping.ToWindows("/srv/dd/x"), "/srv/dd/x");  // only whole folder names
  EXPECT_EQ(mapping.ToWindows("/tmp/a"), "/tmp/a");
}

class PathMappingConfigTest : public ContextTest {};

TEST_F(PathMappingConfigTest, DrivesFromPathsJson) {
  WriteMachineFile("paths.json", {{"drives", {{"C", "winc"}, {"e:", "/abs/e"}, {"bad", "/x"}}}});
  EXPECT_EQ(ToHostPath("C:\\a"), MachineFolder() / "winc" / "a");
  EXPECT_EQ(ToHostPath("E:\\a"), std::filesystem::path("/abs/e/a"));
  EXPECT_EQ(ToHostPath("F:\\a"), MachineFolder() / "drive_f" / "a");
  EXPECT_EQ(PathMapping::Current().ToWindows(MachineFolder() / "winc" / "a"), "C:\\a");
}

TEST_F(PathMappingConfigTest, WindowsNamesIgnoreCaseAgainstExistingEntries) {
  const auto photos = MachineFolder() / "drive_c" / "Program Files" / "ItemPhotos";
  std::filesystem::create_directories(photos);
  EXPECT_EQ(ToHostPath("c:\\PROGRAM FILES\\itemphotos\\new\\a.bmp"), photos / "new" / "a.bmp");
  EXPECT_EQ(ToHostPath("C:\\program files\\"), (MachineFolder() / "drive_c" / "Program Files").string() + "/");
  // Host paths stay literal.
  EXPECT_EQ(ToHostPath((MachineFolder() / "DRIVE_C").string()), MachineFolder() / "DRIVE_C");
}

}  // namespace
}  // namespace vemo::context::test
