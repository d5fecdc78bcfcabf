// The compound file container: what is written reads back the same, and
// damaged containers are refused with the reason.
#include "workbook/xls/compound_file.h"

#include <gtest/gtest.h>

#include <ostream>

#include <functional>

#include "workbook/workbook_error.h"
#include "workbook/xls/biff_records.h"

namespace vemo::wb {
namespace {

// A root with a small stream (in the small-block stream), a large one given
// in pieces, one held and one written when the file is (as the .xls writer
// gives it), and a storage holding a stream, as .xls files with macros have.
CompoundFile Sample() {
  CompoundFile file = CompoundFile::Empty();
  file.PutStream("Workbook", std::string(30000, 'w'),
                 {{std::string(40000, 'x'), 0, {}}, {{}, 1, [](std::ostream& to) { to << 'y'; }}});
  file.PutStream("\005SummaryInformation", std::string(300, 's'));
  auto& entries = file.mutableEntries();
  CompoundFile::Entry storage;
  storage.name = u"_VBA_PROJECT_CUR";
  storage.kind = CompoundFile::Kind::Storage;
  storage.clsid[3] = 7;
  entries.push_back(storage);
  entries[0].children.push_back(entries.size() - 1);
  CompoundFile::Entry inner;
  inner.name = u"PROJECT";
  inner.data = "module text";
  inner.modified = 123456789;
  entries.push_back(inner);
  entries[entries.size() - 2].children.push_back(entries.size() - 1);
  return file;
}

TEST(CompoundFile, WrittenContainerReadsBackWithEveryStreamAndStorage) {
  const std::string bytes = Sample().Write();
  const CompoundFile back = CompoundFile::Read(bytes, "sample");
  ASSERT_NE(back.FindStream("WORKBOOK"), nullptr);
  EXPECT_TRUE(back.FindStream("workbook")->data == std::string(30000, 'w') + std::string(40000, 'x') + "y");
  EXPECT_TRUE(back.FindStream("\005SummaryInformation")->data == std::string(300, 's'));
  const CompoundFile::Entry* storage = nullptr;
  for (const auto& e : back.entries())
    if (e.name == u"_VBA_PROJECT_CUR") storage = &e;
  ASSERT_NE(storage, nullptr);
  EXPECT_EQ(storage->clsid[3], 7);
  ASSERT_EQ(storage->children.size(), 1u);
  const auto& inner = back.entries()[storage->children[0]];
  EXPECT_EQ(inner.data, "module text");
  EXPECT_EQ(inner.modified, 123456789u);
}

TEST(CompoundFile, DamagedContainersAreRefusedWithTheReason) {
  const std::string good = Sample().Write();
  // Header fields: 0x2C allocation sector count, 0x30 first directory sector,
  // 0x4C first allocation sector. Sector n starts at 512 * (n + 1).
  auto fatEntry = [&](const std::string& b, std::uint32_t sector) {
    return 512 * (std::size_t{Read32(b, 0x4C)} + 1) + 4 * sector;
  };
  struct Case {
    const char* name;
    std::function<void(std::string&)> damage;
    const char* expected;
  };
  const Case cases[] = {
      {"cut after the header", [](std::string& b) { b.resize(600); }, "allocation sectors"},
      {"only a header", [](std::string& b) { b.resize(512); }, "ends right after its header"},
      {"not a container", [](std::string& b) { b[0] = 'X'; }, "no valid header"},
      {"stream chain loops", [&](std::string& b) { Patch32(b, fatEntry(b, 1), 0); }, "loops"},
      {"chain points outside", [&](std::string& b) { Patch32(b, fatEntry(b, 1), 0x00FFFFFF); }, "outside the file"},
      {"absurd allocation count", [](std::string& b) { Patch32(b, 0x2C, 0x7FFFFFFF); }, "more allocation sectors"},
      {"directory outside", [](std::string& b) { Patch32(b, 0x30, 0x00FFFFFF); }, "outside the file"},
      {"stream larger than the file",
       [&](std::string& b) {
         // The first directory entry after the root is a stream; its size is at 0x78.
         const std::size_t dir = 512 * (std::size_t{Read32(b, 0x30)} + 1);
         for (std::size_t e = 1; e < 4; ++e)
           if (b[dir + e * 128 + 0x42] == 2) Patch32(b, dir + e * 128 + 0x78, 0x7FFFFFF0);
       },
       "larger than the whole file"},
  };
  for (const Case& c : cases) {
    std::string bytes = good;
    c.damage(bytes);
    try {
      CompoundFile::Read(bytes, "damaged.xls");
      ADD_FAILURE() << c.name << ": read";
    } catch (const WorkbookError& e) {
      EXPECT_NE(std::string(e.what()).find(c.expected), std::string::npos) << c.name << ": " << e.what();
    }
  }
}

}  // namespace
}  // namespace vemo::wb
