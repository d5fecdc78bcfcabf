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

TEST_F(CloseAfterSave, AnUnchangedWorkbookIsNotWrittenAgain) {
  const fs::path out = dir / "saved.xlsx";
  book->SaveAs(out.string());
  const ino_t written = Inode(out);
  sheet.reset();
  book->Close(true, out.string());
  EXPECT_EQ(Inode(out), written);
  EXPECT_EQ(test::OpenpyxlCell(out, "Data", "A1"), "1234.5");
}

TEST_F(CloseAfterSave, AnEditAfterSaveAsIsSaved) {
  const fs::path out = dir / "saved.xlsx";
  book->SaveAs(out.string());
  const ino_t written = Inode(out);
  sheet->Range("A1")->SetValue(Variant("changed after SaveAs"));
  sheet.reset();
  book->Close(true, out.string());
  EXPECT_NE(Inode(out), written);
  EXPECT_EQ(test::OpenpyxlCell(out, "Data", "A1"), "'changed after SaveAs'");
}

TEST_F(CloseAfterSave, AnotherFileNameIsWritten) {
  book->SaveAs((dir / "first.xlsx").string());
  book->Close(true, (dir / "second.xlsx").string());
  EXPECT_TRUE(fs::exists(dir / "second.xlsx"));
}

TEST_F(CloseAfterSave, AFileRemovedOrReplacedSinceIsWrittenAgain) {
  const fs::path out = dir / "saved.xlsx";
  book->SaveAs(out.string());
  fs::remove(out);
  book->Close(true, out.string());
  EXPECT_TRUE(fs::exists(out));

  auto other = app->Workbooks()->Open(test::MakeFixture(dir, "surface_book").string());
  const fs::path again = dir / "again.xlsx";
  other->SaveAs(again.string());
  std::ofstream(again, std::ios::binary | std::ios::trunc) << "not a workbook";
  other->Close(true, again.string());
  EXPECT_EQ(test::OpenpyxlCell(again, "Data", "A1"), "1234.5");
}

TEST_F(CloseAfterSave, CloseWithoutSaveChangesLeavesTheSavedFile) {
  const fs::path out = dir / "saved.xlsx";
  book->SaveAs(out.string());
  const ino_t written = Inode(out);
  sheet->Range("A1")->SetValue(Variant("not kept"));
  book->Close(false);
  EXPECT_EQ(Inode(out), written);
}

}  // namespace
}  // namespace vemo::host
