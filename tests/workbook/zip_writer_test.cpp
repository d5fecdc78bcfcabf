// Our zip writer read back by our reader and by Python's zipfile: entries of
// every kind (empty, tiny, stored, folder, several MiB in many blocks, a UTF-8
// name), the same bytes whatever the thread count, zip64 end records for more
// than 65535 entries, and deflated entries put into a package.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>

#include "support/files.h"
#include "support/run_command.h"
#include "support/test_paths.h"
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

std::string Large() {
  std::mt19937 random(11);
  std::string out;
  for (int row = 1; out.size() < 3 * 1024 * 1024; ++row) {
    if (row % 300 == 0)
      for (int i = 0; i < 50000; ++i) out += static_cast<char>(random() & 0xFF);
    out += "<row r=\"" + std::to_string(row) + "\"><c><v>" + std::to_string(random() % 97) + "</v></c></row>";
  }
  return out;
}

const std::vector<Expected>& Entries() {
  static const std::vector<Expected> entries = {
      {"[Content_Types].xml", "<Types/>", false},
      {"docProps/", "", false},
      {"docProps/empty.xml", "", false},
      {"xl/media/image1.png", std::string("\x89PNG\r\n\x1a\n\0\0\0", 11) + std::string(5000, '\x07'), true},
      {"xl/media/B\xC3\xBCro \xE2\x82\xAC.txt", "a UTF-8 name", false},
      {"xl/worksheets/sheet1.xml", Large(), false},
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
bool PythonMissing() { return !fs::exists("/usr/bin/python3"); }
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
  // The blocks' bytes do not depend on the thread count, the package's neither.
  read.WriteFile(dir / "five.xlsx", 5);
  EXPECT_TRUE(vemo::test::ReadFileBytes(dir / "five.xlsx") == vemo::test::ReadFileBytes(dir / "book.xlsx"));
  EXPECT_TRUE(ArchiveOf(Entries(), 3) == ArchiveOf(Entries(), 1));
  if (PythonMissing()) GTEST_SKIP() << "no /usr/bin/python3 for the second reader";
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
  if (PythonMissing()) GTEST_SKIP() << "no /usr/bin/python3 for the second reader";
  std::ofstream(dir / "many.zip", std::ios::binary) << archive;
  const std::string listing = PythonListing(dir / "many.zip");
  EXPECT_EQ(listing.substr(0, listing.find("e/0 ")), "testzip None\nentries 70000\n");
}

TEST(ZipWriter, ADeflatedEntryReadsAsItsTextAndIsWrittenAsItIs) {
  TempDir dir;
  const std::string text = Large();
  ZipPackage package;
  package.Put("a.xml", "<a/>");
  package.PutDeflated("sheet.xml", DeflateBytes(text, 2));
  ASSERT_NE(package.Find("sheet.xml")->deflated(), nullptr);
  EXPECT_TRUE(package.Find("sheet.xml")->data() == text);
  package.WriteFile(dir / "a.zip");
  EXPECT_TRUE(ZipPackage::ReadFile(dir / "a.zip").Find("sheet.xml")->data() == text);
  // Put replaces the deflated bytes, and PutDeflated a plain entry.
  package.Put("sheet.xml", "<b/>");
  EXPECT_EQ(package.Find("sheet.xml")->deflated(), nullptr);
  package.PutDeflated("a.xml", DeflateBytes("<c/>"));
  package.WriteFile(dir / "b.zip");
  ZipPackage back = ZipPackage::ReadFile(dir / "b.zip");
  EXPECT_EQ(back.Find("sheet.xml")->data(), "<b/>");
  EXPECT_EQ(back.Find("a.xml")->data(), "<c/>");
  EXPECT_EQ(back.entries().front().name, "a.xml");
}

}  // namespace
}  // namespace vemo::wb
