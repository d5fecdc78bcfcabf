// Our zip writer read back by our reader and by Python's zipfile: entries of
// every kind (empty, tiny, stored, folder, several MiB in many blocks, a UTF-8
// name) and zip64 end records for more than 65535 entries. A package written
// to a file: entries nobody changed keep their compressed bytes, the whole
// archive replaces the file at once, keeps the replaced file's permissions,
// leaves no temporary file behind and fails with a WorkbookError that names
// the path.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <zlib.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "support/run_command.h"
#include "support/test_paths.h"
#include "workbook/workbook_error.h"
#include "workbook/workbook_test_util.h"
#include "workbook/zip/zip_package.h"
#include "workbook/zip/zip_writer.h"

namespace vemo::wb {
namespace {

namespace fs = std::filesystem;
using vemo::test::TempDir;

struct Expected {
  std::string name, data;
  bool stored;
};

const std::vector<Expected>& Entries() {
  static const std::vector<Expected> entries = {
      {"[Content_Types].xml", "<Types/>", false},
      {"docProps/", "", false},
      {"docProps/empty.xml", "", false},
      {"xl/media/image1.png", std::string("\x89PNG\r\n\x1a\n\0\0\0", 11) + std::string(5000, '\x07'), true},
      {"xl/media/B\xC3\xBCro \xE2\x82\xAC.txt", "a UTF-8 name", false},
      {"xl/worksheets/sheet1.xml", test::MixedBytes(3 * 1024 * 1024), false},
  };
  return entries;
}

std::string ArchiveOf(const std::vector<Expected>& entries, unsigned threads) {
  std::string archive;
  ZipWriter writer([&](std::string_view bytes) { archive += bytes; });
  for (const Expected& e : entries) {
    if (e.name.back() == '/') writer.AddDirectory(e.name);
    else if (e.stored) writer.AddStored(e.name, e.data);
    else writer.AddDeflated(e.name, DeflateBytes(e.data, threads));
  }
  writer.Finish();
  return archive;
}

void ExpectEntries(const ZipPackage& package, const std::vector<Expected>& expected) {
  ASSERT_EQ(package.entries().size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    const ZipPackage::Entry& entry = package.entries()[i];
    EXPECT_EQ(entry.name, expected[i].name);
    EXPECT_TRUE(entry.data() == expected[i].data) << entry.name;
    EXPECT_EQ(entry.stored, expected[i].stored || expected[i].name.back() == '/') << entry.name;
  }
}

// Python's zipfile checks every CRC and lists name, method and size of each entry.
std::string PythonListing(const fs::path& archive) {
  auto run = vemo::test::RunPythonCode(
      "import sys, zipfile\n"
      "z = zipfile.ZipFile(sys.argv[1])\n"
      "out = sys.stdout.buffer\n"
      "out.write(('testzip %s\\n' % z.testzip()).encode())\n"
      "infos = z.infolist()\n"
      "out.write(('entries %d\\n' % len(infos)).encode())\n"
      "for i in infos[:10]:\n"
      "    out.write(i.filename.encode() + (' %d %d %s\\n' % (i.compress_type, i.file_size, i.is_dir())).encode())\n",
      vemo::test::ShellQuote(archive));
  EXPECT_EQ(run.status, 0) << run.output;
  return run.output;
}

TEST(ZipWriter, EntriesOfEveryKindReadBackByOurReaderAndByPython) {
  TempDir dir;
  ZipPackage read = ZipPackage::ReadMemory(ArchiveOf(Entries(), 2), "written");
  ExpectEntries(read, Entries());
  // Written again through the package: stored entries stay stored.
  read.WriteFile(dir / "book.xlsx");
  ExpectEntries(ZipPackage::ReadFile(dir / "book.xlsx"), Entries());
  std::string expected = "testzip None\nentries " + std::to_string(Entries().size()) + "\n";
  for (const Expected& e : Entries())
    expected += e.name + " " + (e.stored || e.name.back() == '/' ? "0" : "8") + " " + std::to_string(e.data.size()) +
                (e.name.back() == '/' ? " True\n" : " False\n");
  EXPECT_EQ(PythonListing(dir / "book.xlsx"), expected);
}

TEST(ZipWriter, MoreThan65535EntriesGetZip64EndRecords) {
  TempDir dir;
  constexpr std::size_t kCount = 70000;
  std::string archive;
  ZipWriter writer([&](std::string_view bytes) { archive += bytes; });
  for (std::size_t i = 0; i < kCount; ++i) writer.AddStored("e/" + std::to_string(i), std::to_string(i * 7));
  writer.Finish();
  // The classic end record says "see the zip64 record" for the count.
  ASSERT_GT(archive.size(), 22u);
  EXPECT_EQ(archive.substr(archive.size() - 22 + 8, 4), "\xFF\xFF\xFF\xFF");
  EXPECT_NE(archive.find("PK\x06\x06", archive.size() - 22 - 20 - 56), std::string::npos);

  ZipLimits limits;
  limits.maxEntries = 100000;
  ZipPackage read = ZipPackage::ReadMemory(archive, "many", limits);
  ASSERT_EQ(read.entries().size(), kCount);
  for (std::size_t i : {std::size_t{0}, std::size_t{65535}, std::size_t{65536}, kCount - 1}) {
    EXPECT_EQ(read.entries()[i].name, "e/" + std::to_string(i));
    EXPECT_EQ(read.entries()[i].data(), std::to_string(i * 7));
  }
  std::ofstream(dir / "many.zip", std::ios::binary) << archive;
  const std::string listing = PythonListing(dir / "many.zip");
  EXPECT_EQ(listing.substr(0, listing.find("e/0 ")), "testzip None\nentries 70000\n");
}

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
  read.PutDeflated("[Content_Types].xml", DeflateBytes("<Types></Types>"));  // over a plain entry, in its place
  read.WriteFile(dir / "ours.xlsx");
  ZipPackage back = ZipPackage::ReadFile(dir / "ours.xlsx");
  ASSERT_NE(back.Find("xl/theme/theme1.xml")->deflated(), nullptr);
  EXPECT_EQ(back.Find("xl/theme/theme1.xml")->deflated()->Joined(), fast.Joined());
  EXPECT_EQ(back.Find("xl/theme/theme1.xml")->data(), theme);
  EXPECT_EQ(back.Find("[Content_Types].xml")->data(), "<Types></Types>");
  EXPECT_EQ(back.entries().front().name, "[Content_Types].xml");

  // Replaced, it is packed by us.
  read.Put("xl/theme/theme1.xml", theme);
  EXPECT_EQ(read.Find("xl/theme/theme1.xml")->deflated(), nullptr);
  read.WriteFile(dir / "replaced.xlsx");
  EXPECT_EQ(ZipPackage::ReadFile(dir / "replaced.xlsx").Find("xl/theme/theme1.xml")->deflated()->Joined(),
            DeflateBytes(theme).Joined());
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
