// Writing a zip package to a file: the whole archive replaces the file at
// once, keeps the replaced file's permissions, leaves no temporary file
// behind and fails with a WorkbookError that names the path.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <zlib.h>

#include <algorithm>

#include "support/files.h"
#include "support/test_paths.h"
#include "workbook/workbook_error.h"
#include "workbook/workbook_test_util.h"
#include "workbook/zip/zip_package.h"

namespace vemo::wb {
namespace {

namespace fs = std::filesystem;
using vemo::test::ReadFileBytes;
using vemo::test::TempDir;

ZipPackage SamplePackage() {
  ZipPackage package;
  package.Put("[Content_Types].xml", "<Types/>");
  package.Put("xl/worksheets/sheet1.xml", std::string(20000, 'x') + "<sheetData/>");
  package.Put("xl/media/image1.png", std::string("\x89PNG\r\n\x1a\n", 8) + std::string(300, '\x01'));
  return package;
}

std::vector<std::string> FilesIn(const fs::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

// An entry packed by another writer (here at zlib's fastest level, which we
// never use) goes back out with its own compressed bytes until it changes.
TEST(ZipPackageWrite, AnEntryNobodyChangedKeepsItsCompressedBytes) {
  TempDir dir;
  const std::string theme = std::string(40000, 't') + "<theme/>";
  const DeflatedBytes fast{{test::DeflateInOneStream(theme, 1)},
                           static_cast<std::uint32_t>(crc32(0, reinterpret_cast<const Bytef*>(theme.data()),
                                                            static_cast<uInt>(theme.size()))),
                           theme.size()};
  ASSERT_NE(fast.Joined(), DeflateBytes(theme).Joined()) << "the test needs bytes we would not write";
  ZipPackage other = SamplePackage();
  other.PutDeflated("xl/theme/theme1.xml", fast);
  other.WriteFile(dir / "other.xlsx");

  ZipPackage read = ZipPackage::ReadFile(dir / "other.xlsx");
  EXPECT_EQ(read.Find("xl/theme/theme1.xml")->data(), theme);
  read.Put("[Content_Types].xml", "<Types></Types>");
  read.WriteFile(dir / "ours.xlsx");
  ZipPackage back = ZipPackage::ReadFile(dir / "ours.xlsx");
  ASSERT_NE(back.Find("xl/theme/theme1.xml")->deflated(), nullptr);
  EXPECT_EQ(back.Find("xl/theme/theme1.xml")->deflated()->Joined(), fast.Joined());
  EXPECT_EQ(back.Find("xl/theme/theme1.xml")->data(), theme);
  EXPECT_EQ(back.Find("[Content_Types].xml")->data(), "<Types></Types>");

  // Replaced, it is packed by us.
  read.Put("xl/theme/theme1.xml", theme);
  read.WriteFile(dir / "replaced.xlsx");
  EXPECT_EQ(ZipPackage::ReadFile(dir / "replaced.xlsx").Find("xl/theme/theme1.xml")->deflated()->Joined(),
            DeflateBytes(theme).Joined());
}

// Writing over an existing file gives the same bytes as a new one.
TEST(ZipPackageWrite, TheSameEntriesGiveTheSameBytes) {
  TempDir dir;
  SamplePackage().WriteFile(dir / "b.xlsx");
  ZipPackage other;
  other.Put("x.xml", std::string(5000, 'y'));
  other.WriteFile(dir / "a.xlsx");
  SamplePackage().WriteFile(dir / "a.xlsx");
  EXPECT_EQ(ReadFileBytes(dir / "a.xlsx"), ReadFileBytes(dir / "b.xlsx"));
}

// A new file gets the umask's permissions, a replaced one keeps its own.
TEST(ZipPackageWrite, PermissionsComeFromTheUmaskOrTheReplacedFile) {
  TempDir dir;
  const fs::path file = dir / "book.xlsx";
  const mode_t previous = ::umask(027);
  SamplePackage().WriteFile(file);
  EXPECT_EQ(fs::status(file).permissions(), fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write);  // not what the umask gives
  ZipPackage changed = SamplePackage();
  changed.Put("xl/worksheets/sheet1.xml", "<sheetData/>");
  changed.WriteFile(file);
  ::umask(previous);
  EXPECT_EQ(fs::status(file).permissions(), fs::perms::owner_read | fs::perms::owner_write);
  EXPECT_EQ(ZipPackage::ReadFile(file).Find("xl/worksheets/sheet1.xml")->data(), "<sheetData/>");
  EXPECT_EQ(FilesIn(dir.path()), std::vector<std::string>{"book.xlsx"});
}

// A failed write names the path and the reason, and leaves the folder as it
// was: no temporary file, no half-written workbook, nothing replaced.
TEST(ZipPackageWrite, AFailedWriteNamesThePathAndLeavesNothingBehind) {
  struct Case {
    const char* name;
    std::string file, reason;
    bool nameTooLong = false;
  };
  const Case cases[] = {
      {"missing folder", "no-such-folder/book.xlsx", "No such file or directory"},
      // The archive is written beside the folder but cannot take its place.
      {"a folder in the way", "book.xlsx", ""},
      {"name longer than a zip header holds", "book.xlsx", "65535", true},
  };
  for (const Case& c : cases) {
    TempDir dir;
    if (c.reason.empty()) fs::create_directories(dir / "book.xlsx" / "inside");
    const auto before = FilesIn(dir.path());
    ZipPackage package = SamplePackage();
    if (c.nameTooLong) package.Put(std::string(70000, 'n'), "name too long for a zip header");
    try {
      package.WriteFile(dir / c.file);
      ADD_FAILURE() << c.name << ": written";
    } catch (const WorkbookError& e) {
      EXPECT_NE(std::string(e.what()).find("cannot write " + (dir / c.file).string()), std::string::npos) << e.what();
      EXPECT_NE(std::string(e.what()).find(c.reason), std::string::npos) << e.what();
    }
    EXPECT_EQ(FilesIn(dir.path()), before) << c.name;
    EXPECT_EQ(fs::is_directory(dir / "book.xlsx" / "inside"), c.reason.empty()) << c.name;
  }
}

}  // namespace
}  // namespace vemo::wb
