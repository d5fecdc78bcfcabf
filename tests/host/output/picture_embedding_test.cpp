// Storing a workbook's pictures linked at Windows paths: followed through the
// machine's drive mapping, as the renderer follows them.
#include "host/output/picture_embedding.h"

#include <gtest/gtest.h>

#include "context/machine_config.h"
#include "host/output/output_error.h"
#include "host/output/render_copy.h"
#include "output_test_util.h"

namespace vemo::host {
namespace {

namespace fs = std::filesystem;
using test::MakeBook;

// "media=M external=X" of the package, by Python's zipfile.
std::string Pictures(const fs::path& book) {
  return vemo::test::RunCommand(
             "/usr/bin/python3 -c \"import sys, zipfile; z = zipfile.ZipFile(sys.argv[1]); "
             "rels = ''.join(z.read(n).decode() for n in z.namelist() if n.endswith('.rels')); "
             "print('media=%d external=%d' % (len([n for n in z.namelist() if n.startswith('xl/media/')]), "
             "rels.count('TargetMode=\\\"External\\\"')))\" " +
             vemo::test::ShellQuote(book))
      .output;
}

TEST(PictureEmbedding, HostLinkPathIsTheFileOfHostLinkTarget) {
  vemo::test::TempDir dir;
  context::ScopedMachineConfig config(dir / "mc");
  EXPECT_EQ(HostLinkPath("file:///c:\\ItemPhotos\\My%20Photo.bmp"), dir / "mc" / "drive_c" / "ItemPhotos" / "My Photo.bmp");
  EXPECT_EQ(HostLinkPath("file:///tmp/a.bmp"), std::nullopt);
  EXPECT_EQ(HostLinkPath("../media/image1.png"), std::nullopt);
}

TEST(PictureEmbedding, StoresThePictureAtTheMappedPathAndKeepsTheOtherLinks) {
  vemo::test::TempDir dir;
  context::ScopedMachineConfig config(dir / "mc");
  fs::create_directories(dir / "mc" / "drive_c" / "ItemPhotos");
  auto book = MakeBook(dir / "linked.xlsx", {{"标签", "货品"}},
                       "--linked-picture 'file:///c:\\ItemPhotos\\x.png' --write-png " +
                           vemo::test::ShellQuote(dir / "mc" / "drive_c" / "ItemPhotos" / "x.png"));
  ASSERT_EQ(Pictures(book), "media=0 external=1\n");
  EXPECT_EQ(EmbedLinkedPicturesOf(book).embedded, 1);
  EXPECT_EQ(Pictures(book), "media=1 external=0\n");

  auto missing = MakeBook(dir / "missing.xlsx", {{"标签", "货品"}}, "--linked-picture 'file:///c:\\ItemPhotos\\gone.png'");
  const EmbeddedPictures result = EmbedLinkedPicturesOf(missing);
  EXPECT_EQ(result.embedded, 0);
  EXPECT_EQ(result.keptLinked, 1);
  EXPECT_EQ(Pictures(missing), "media=0 external=1\n");
}

TEST(PictureEmbedding, NoWorkbookIsAnOutputError) {
  vemo::test::TempDir dir;
  EXPECT_THROW(EmbedLinkedPicturesOf(dir / "missing.xlsx"), OutputError);
}

}  // namespace
}  // namespace vemo::host
