// Close with SaveChanges after SaveAs: a workbook saved to that file with
// nothing done to it since is not written a second time (the file stays the
// one SaveAs wrote); any edit, another file name or a file changed on disk
// since is saved as before.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>

#include "host/spreadsheet/surface_test_util.h"

namespace vemo::host {
namespace {

namespace fs = std::filesystem;
using CloseAfterSave = test::SurfaceBookTest;

// The file's identity: a save writes a new file and renames it into place.
ino_t Inode(const fs::path& file) {
  struct stat st {};
  EXPECT_EQ(::stat(file.c_str(), &st), 0) << file;
  return st.st_ino;
}

TEST_F(CloseAfterSave, OnlyAWorkbookUnchangedSinceSaveAsIsNotWrittenAgain) {
  struct Case {
    const char* name;
    void (*meanwhile)(IWorkbook& book, const fs::path& saved);
    const char* closeAs;  // nullptr: the file SaveAs wrote
    const char* a1;       // A1 of the file closed to
    int kept = 0;         // 1: the file SaveAs wrote stays, -1: a new one replaced it
  } cases[] = {
      {"nothing done", [](IWorkbook&, const fs::path&) {}, nullptr, "1234.5", 1},
      {"an edit", [](IWorkbook& b, const fs::path&) { b.Worksheets()->Item(1)->Range("A1")->SetValue(Variant("edited")); }, nullptr, "'edited'", -1},
      {"another name", [](IWorkbook&, const fs::path&) {}, "other.xlsx", "1234.5"},
      {"the file removed", [](IWorkbook&, const fs::path& f) { fs::remove(f); }, nullptr, "1234.5"},
      {"the file replaced",
       [](IWorkbook&, const fs::path& f) { std::ofstream(f, std::ios::binary | std::ios::trunc) << "not a workbook"; },
       nullptr, "1234.5"},
  };
  int round = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto opened = app->Workbooks()->Open((dir / "surface_book.xlsx").string());
    const fs::path saved = dir / (std::to_string(++round) + ".xlsx");
    opened->SaveAs(saved.string());
    const ino_t written = Inode(saved);
    c.meanwhile(*opened, saved);  // reaching a sheet counts as an edit
    const fs::path target = c.closeAs ? dir / c.closeAs : saved;
    opened->Close(true, target.string());
    EXPECT_EQ(test::OpenpyxlCell(target, "Data", "A1"), c.a1);
    if (c.kept != 0) {
      EXPECT_EQ(Inode(saved) == written, c.kept > 0);
    }
  }
}

}  // namespace
}  // namespace vemo::host
