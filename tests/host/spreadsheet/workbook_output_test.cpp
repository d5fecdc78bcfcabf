// Sheet deletion, SaveAs variants, Close (and Close after SaveAs), and the
// print hand-off.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>

#include "foundation/host_error.h"
#include "host/spreadsheet/print_service.h"
#include "host/spreadsheet/surface_test_util.h"

namespace vemo::host {
namespace {

using SurfaceOutput = test::SurfaceBookTest;

bool IsZip(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  char magic[2] = {};
  in.read(magic, 2);
  return magic[0] == 'P' && magic[1] == 'K';
}

// Which references break, and that the last sheet stays, is the workbook
// tests' job; the surface raises for both.
TEST_F(SurfaceOutput, RangesOfADeletedSheetRaiseAndTheLastSheetStays) {
  auto held = book->Worksheets()->Item(1)->Range("A1");
  book->Sheets()->Item(1)->Delete();
  EXPECT_THROW(held->Text(), HostError);
  book->Sheets()->Item(2)->Delete();
  EXPECT_THROW(book->Sheets()->Item(1)->Delete(), HostError);
  EXPECT_EQ(book->Worksheets()->Count(), 1);
}

TEST_F(SurfaceOutput, TheFormatFollowsTheFileFormatElseTheNameElseTheWorkbook) {
  book->Worksheets()->Item(1)->Range("G1")->SetValue("saved");
  struct Case {
    const char* name;
    std::optional<int> format;
    bool zip;
  } cases[] = {
      {"named.xlsx", std::nullopt, true},
      {"by-format.bin", kFileFormatXls, false},
      {"by-name.xls", std::nullopt, false},
      {"forced.xls", kFileFormatXlsx, true},
      {"bill.dat", std::nullopt, true},  // an unknown extension: the workbook's own format
  };
  for (const Case& c : cases) {
    const auto target = dir / c.name;
    book->SaveAs(SaveAsOptions{target.string(), c.format});
    EXPECT_EQ(IsZip(target), c.zip) << c.name;
    EXPECT_EQ(wb::Workbook::Open(target)->FindSheet("Data")->GetValue(1, 7).text, "saved") << c.name;
    EXPECT_EQ(book->FullName(), target.string());
  }
  EXPECT_THROW(book->SaveAs(SaveAsOptions{(dir / "x.csv").string(), 6}), HostError);
  const auto closed = dir / "closed.xlsx";  // the path alone, as Close saves
  book->Close(true, closed.string());
  EXPECT_EQ(test::OpenpyxlCell(closed, "Data", "G1"), "'saved'");
}

TEST_F(SurfaceOutput, CloseWithoutSavingLeavesTheFileAndEndsTheWorkbook) {
  const auto source = dir / "surface_book.xlsx";
  sheet->Range("A1")->SetValue("changed");
  auto stamp = std::filesystem::last_write_time(source);
  book->Close(false);
  EXPECT_EQ(std::filesystem::last_write_time(source), stamp);
  EXPECT_EQ(app->Workbooks()->Count(), 0);
  EXPECT_THROW(sheet->Range("A1"), HostError);
  EXPECT_EQ(test::OpenpyxlCell(source, "Data", "A1"), "1234.5");
}

// What the print service was handed last, as it was during the call.
class RecordingPrinter : public PrintService {
 public:
  void PrintWorkbook(const std::string& file, std::optional<int> sheetAsked, int copiesAsked) override {
    Record(file, sheetAsked);
    copies = copiesAsked;
    cell = test::OpenpyxlCell(file, "Data", "G1");
  }
  void Preview(const std::string& file, int sheetAsked) override { Record(file, sheetAsked); }
  void Record(const std::string& file, std::optional<int> sheetAsked) {
    path = file;
    sheet = sheetAsked;
    existed = std::filesystem::exists(file);
    zip = existed && IsZip(file);
  }
  std::string path, cell;
  std::optional<int> sheet;
  int copies = 0;
  bool existed = false, zip = false;
};

TEST_F(SurfaceOutput, PrintingHandsTheServiceASavedCopyWithTheEdits) {
  auto printer = std::make_shared<RecordingPrinter>();
  auto previous = InstallPrintService(printer);
  book->Worksheets()->Item(1)->Range("G1")->SetValue("to print");
  book->PrintOut(PrintOutOptions{.copies = 1, .preview = false});
  EXPECT_TRUE(printer->existed);
  EXPECT_EQ(printer->cell, "'to print'");
  EXPECT_FALSE(printer->sheet);
  EXPECT_EQ(printer->copies, 1);
  EXPECT_FALSE(std::filesystem::exists(printer->path));  // the copy is removed afterwards
  book->Worksheets()->Item(2)->PrintOut();
  EXPECT_EQ(printer->sheet, 2);
  book->Worksheets()->Item(1)->PrintPreview(true);
  EXPECT_EQ(printer->sheet, 1);
  EXPECT_TRUE(printer->zip);
  // An .xls copy stays .xls: as .xlsx it would lose what only its records
  // carry (pictures, notes) before the renderer could see it.
  auto xls = app->Workbooks()->Open((vemo::test::SourceDir() / "examples/templates/courier_waybill.xls").string());
  xls->Worksheets()->Item(1)->PrintPreview(true);
  EXPECT_FALSE(printer->zip);
  EXPECT_TRUE(printer->path.ends_with(".xls")) << printer->path;
  InstallPrintService(nullptr);
  EXPECT_THROW(book->PrintOut(), HostError) << "no print service is installed";
  InstallPrintService(previous);
}

// Close with SaveChanges after SaveAs: a workbook saved to that file with
// nothing done to it since is not written a second time (the file stays the
// one SaveAs wrote); any edit, another file name or a file changed on disk
// since is saved as before.

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
