// The copy the renderer sees: the one sheet asked for, and picture links
// written as Windows paths pointed at the mapped host files.
#include <gtest/gtest.h>

#include "context/machine_config.h"
#include "host/output/office_renderer.h"
#include "host/output/output_error.h"
#include "host/output/picture_embedding.h"
#include "host/output/render_copy.h"
#include "output_test_util.h"
#include "support/files.h"

namespace vemo::host {
namespace {

namespace fs = std::filesystem;
using test::MakeBook;

std::string SheetNames(const fs::path& book) {
  return vemo::test::RunCommand("/usr/bin/python3 -c \"import openpyxl,sys; print(','.join(openpyxl.load_workbook(sys.argv[1]).sheetnames))\" " +
                                vemo::test::ShellQuote(book))
      .output;
}

TEST(RenderCopy, KeepsOnlyTheSheetAskedFor) {
  vemo::test::TempDir dir;
  auto book = MakeBook(dir / "three.xlsx", {{"One", "first"}, {"第二页", "second"}, {"Three", "third"}});
  EXPECT_EQ(PrepareRenderCopy(book, 2, dir / "copy.xlsx"), 0);
  EXPECT_EQ(SheetNames(dir / "copy.xlsx"), "第二页\n");
  PrepareRenderCopy(book, std::nullopt, dir / "all.xlsx");
  EXPECT_EQ(SheetNames(dir / "all.xlsx"), "One,第二页,Three\n");
  EXPECT_EQ(SheetNames(book), "One,第二页,Three\n");  // the source is untouched
  for (const int missing : {4, 0}) EXPECT_THROW(PrepareRenderCopy(book, missing, dir / "copy.xlsx"), OutputError) << missing;
  EXPECT_THROW(PrepareRenderCopy(dir / "missing.xlsx", std::nullopt, dir / "copy.xlsx"), OutputError);
}

TEST(RenderCopy, MapsWindowsLinkTargetsOnly) {
  vemo::test::TempDir dir;
  context::ScopedMachineConfig config(dir / "mc");
  fs::create_directories(dir / "mc" / "drive_c" / "ItemPhotos");
  const std::string photos = "file://" + (dir / "mc" / "drive_c" / "ItemPhotos").string();
  // How a Windows path maps (drives, case, shares) is the machine
  // configuration's rule; here: which links are Windows paths, and URL escapes.
  EXPECT_EQ(HostLinkTarget("file:///c:\\ItemPhotos\\A1.bmp"), photos + "/A1.bmp");
  EXPECT_EQ(HostLinkTarget("C:\\ItemPhotos\\A1.bmp"), photos + "/A1.bmp");
  EXPECT_EQ(HostLinkTarget("file:///C:/ItemPhotos/My%20Photo.bmp"), photos + "/My%20Photo.bmp");
  EXPECT_EQ(HostLinkTarget("C:\\ItemPhotos\\货品 1.bmp"), photos + "/%E8%B4%A7%E5%93%81%201.bmp");
  EXPECT_EQ(HostLinkTarget("file:///tmp/a.bmp"), std::nullopt);
  EXPECT_EQ(HostLinkTarget("https://example.com/a.bmp"), std::nullopt);
  EXPECT_EQ(HostLinkTarget("../media/image1.png"), std::nullopt);
}

// A workbook in `dir` whose picture is linked at a Windows path the machine
// configuration (dir/mc) maps to a file that exists.
fs::path BookWithLinkedPhoto(const vemo::test::TempDir& dir, const std::vector<std::pair<std::string, std::string>>& sheets) {
  fs::create_directories(dir / "mc" / "drive_c" / "ItemPhotos");
  return MakeBook(dir / "linked.xlsx", sheets,
                  "--linked-picture 'file:///c:\\ItemPhotos\\x.png' --write-png " +
                      vemo::test::ShellQuote(dir / "mc" / "drive_c" / "ItemPhotos" / "x.png"));
}

TEST(RenderCopy, ALinkedItemPhotoAtAWindowsPathIsRendered) {
  vemo::test::TempDir dir;
  context::ScopedMachineConfig config(dir / "mc");
  auto book = BookWithLinkedPhoto(dir, {{"单据", "货品图片"}});
  OfficeRenderer renderer;
  // As saved, the renderer cannot follow the Windows path: no picture.
  renderer.RenderToPdf(book, dir / "as-saved.pdf");
  EXPECT_EQ(test::PdfImageCount(dir / "as-saved.pdf"), 0);
  EXPECT_EQ(PrepareRenderCopy(book, std::nullopt, dir / "copy.xlsx"), 1);
  renderer.RenderToPdf(dir / "copy.xlsx", dir / "copy.pdf");
  EXPECT_EQ(test::PdfImageCount(dir / "copy.pdf"), 1);
  EXPECT_NE(test::PdfText(dir / "copy.pdf").find("货品图片"), std::string::npos);
}

// Storing a workbook's pictures linked at Windows paths: followed through the
// machine's drive mapping, as the renderer follows them (which links stay
// linked is the workbook tests' job).

TEST(PictureEmbedding, StoresThePictureAtTheMappedPath) {
  vemo::test::TempDir dir;
  context::ScopedMachineConfig config(dir / "mc");
  auto book = BookWithLinkedPhoto(dir, {{"标签", "货品"}});
  ASSERT_EQ(vemo::test::PackagePictures(book), "media=0 embed=0 link=1 external=1\n");
  EXPECT_EQ(EmbedLinkedPicturesOf(book).embedded, 1);
  EXPECT_EQ(vemo::test::PackagePictures(book), "media=1 embed=1 link=0 external=0\n");
  EXPECT_THROW(EmbedLinkedPicturesOf(dir / "none.xlsx"), OutputError) << "no workbook";
}

}  // namespace
}  // namespace vemo::host
