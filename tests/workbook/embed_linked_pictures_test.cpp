// Linked pictures of drawings stored into the package: what changes (media
// parts, relationships, blips, content types) and that nothing else does.
#include "workbook/embed_linked_pictures.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>

#include "support/run_command.h"
#include "support/test_paths.h"
#include "workbook/workbook.h"
#include "workbook/workbook_error.h"
#include "workbook/zip/zip_package.h"

namespace vemo::wb {
namespace {

using vemo::test::TempDir;

const std::string kImageRel = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/image";
const std::string kPng = std::string("\x89PNG\r\n\x1a\n", 8) + "not really a picture but signed as one";
const std::string kBmp = "BM" + std::string(60, '\x01');
const std::string kJpeg = "\xFF\xD8\xFF\xE0" + std::string(40, '\x02');

std::string ContentTypes(const std::string& defaults = "") {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
         "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
         "<Default Extension=\"rels\" ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
         "<Default Extension=\"xml\" ContentType=\"application/xml\"/>" +
         defaults +
         "<Override PartName=\"/xl/drawings/drawing1.xml\" "
         "ContentType=\"application/vnd.openxmlformats-officedocument.drawing+xml\"/></Types>";
}

std::string Blip(const std::string& attributes) {
  return "<xdr:pic><xdr:blipFill><a:blip " + attributes + "/></xdr:blipFill></xdr:pic>";
}

std::string Drawing(const std::string& pictures) {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
         "<xdr:wsDr xmlns:xdr=\"http://schemas.openxmlformats.org/drawingml/2006/spreadsheetDrawing\" "
         "xmlns:a=\"http://schemas.openxmlformats.org/drawingml/2006/main\" "
         "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">" +
         pictures + "</xdr:wsDr>";
}

std::string Rels(const std::string& relationships) {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
         "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">" +
         relationships + "</Relationships>";
}

// A part as written back: the XML declaration directly followed by the root.
std::string Rewritten(std::string part) {
  const auto end = part.find("?>\n");
  if (end != std::string::npos) part.erase(end + 2, 1);
  return part;
}

std::string Link(const std::string& id, const std::string& target, bool external = true) {
  return "<Relationship Id=\"" + id + "\" Type=\"" + kImageRel + "\" Target=\"" + target + "\"" +
         (external ? " TargetMode=\"External\"/>" : "/>");
}

class EmbedLinkedPicturesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Picture("photo.jpg", kJpeg);
    Picture("code.bmp", kBmp);
  }
  void Picture(const std::string& name, const std::string& bytes) {
    std::ofstream(temp_ / name, std::ios::binary) << bytes;
  }
  // "file:///c:\Pics\NAME" resolves to NAME in the temporary folder; anything else does not.
  LinkTargetResolver Resolver() {
    return [this](std::string_view target) -> std::optional<std::filesystem::path> {
      constexpr std::string_view kPrefix = "file:///c:\\Pics\\";
      if (target.substr(0, kPrefix.size()) != kPrefix) return std::nullopt;
      return temp_ / std::string(target.substr(kPrefix.size()));
    };
  }
  ZipPackage Package(const std::string& pictures, const std::string& relationships,
                     const std::string& defaults = "") {
    ZipPackage package;
    package.Put("[Content_Types].xml", ContentTypes(defaults));
    package.Put("xl/worksheets/sheet1.xml", "<worksheet><sheetData/><drawing r:id=\"rId1\"/></worksheet>");
    package.Put("xl/drawings/drawing1.xml", Drawing(pictures));
    package.Put("xl/drawings/_rels/drawing1.xml.rels", Rels(relationships));
    return package;
  }
  static std::string Part(const ZipPackage& package, const std::string& name) {
    const ZipPackage::Entry* entry = package.Find(name);
    return entry ? entry->data() : "(missing " + name + ")";
  }
  static std::map<std::string, std::string> Entries(const ZipPackage& package) {
    std::map<std::string, std::string> out;
    for (const auto& entry : package.entries()) out[entry.name] = entry.data();
    return out;
  }
  TempDir temp_;
};

TEST_F(EmbedLinkedPicturesTest, LinksBecomeMediaPartsAndTheRestKeepsItsBytes) {
  ZipPackage package = Package(Blip("r:link=\"rId1\"") + Blip("r:link=\"rId2\""),
                               Link("rId1", "file:///c:\\Pics\\photo.jpg") + Link("rId2", "file:///c:\\Pics\\code.bmp"));
  const auto before = Entries(package);
  const EmbedPicturesResult result = EmbedLinkedPictures(package, Resolver());

  EXPECT_EQ(result.embedded, (std::vector<std::string>{"file:///c:\\Pics\\photo.jpg", "file:///c:\\Pics\\code.bmp"}));
  EXPECT_TRUE(result.keptLinked.empty());
  EXPECT_EQ(Part(package, "xl/media/image1.jpeg"), kJpeg);
  EXPECT_EQ(Part(package, "xl/media/image2.bmp"), kBmp);
  EXPECT_EQ(Part(package, "xl/drawings/_rels/drawing1.xml.rels"),
            Rewritten(Rels(Link("rId1", "../media/image1.jpeg", false) + Link("rId2", "../media/image2.bmp", false))));
  EXPECT_EQ(Part(package, "xl/drawings/drawing1.xml"),
            Rewritten(Drawing(Blip("r:embed=\"rId1\"") + Blip("r:embed=\"rId2\""))));
  EXPECT_EQ(Part(package, "[Content_Types].xml"),
            Rewritten(ContentTypes("<Default Extension=\"bmp\" ContentType=\"image/bmp\"/>"
                                   "<Default Extension=\"jpeg\" ContentType=\"image/jpeg\"/>")));
  EXPECT_EQ(Part(package, "xl/worksheets/sheet1.xml"), before.at("xl/worksheets/sheet1.xml"));
  EXPECT_EQ(package.entries().size(), before.size() + 2);
}

// Links that cannot be resolved, name a missing file or one that is no
// picture stay linked; so does a link used by other than a blip (the
// relationship prefix bound on the element itself). The package is not even
// re-serialised.
TEST_F(EmbedLinkedPicturesTest, WhatCannotOrMustNotBeEmbeddedStaysLinked) {
  Picture("notes.jpg", "plain text, whatever the name says");
  const std::pair<ZipPackage, std::size_t> cases[] = {
      {Package(Blip("r:link=\"rId1\"") + Blip("r:link=\"rId2\"") + Blip("r:link=\"rId3\""),
               Link("rId1", "http://example.invalid/a.png") + Link("rId2", "file:///c:\\Pics\\gone.png") +
                   Link("rId3", "file:///c:\\Pics\\notes.jpg")),
       3},
      {Package("<xdr:sp><v:imagedata xmlns:v=\"urn:v\" xmlns:q=\"http://schemas.openxmlformats.org/officeDocument/"
               "2006/relationships\" q:link=\"rId1\"/></xdr:sp>",
               Link("rId1", "file:///c:\\Pics\\code.bmp")),
       1},
  };
  for (const auto& [original, kept] : cases) {
    ZipPackage package = original;
    const EmbedPicturesResult result = EmbedLinkedPictures(package, Resolver());
    EXPECT_TRUE(result.embedded.empty());
    EXPECT_EQ(result.keptLinked.size(), kept);
    EXPECT_EQ(Entries(package), Entries(original));
  }
}

// One link resolved beside one that is not; a PNG under a .bmp name (png is
// typed already: the content types part is left alone); the same file linked
// twice, stored once beside a media part already there; a picture both
// embedded and linked gets the current file.
TEST_F(EmbedLinkedPicturesTest, EachPictureIsStoredOnceUnderTheTypeItsBytesSay) {
  const std::string png = "<Default Extension=\"png\" ContentType=\"image/png\"/>";
  const std::string gone = "file:///c:\\Pics\\gone.bmp", code = "file:///c:\\Pics\\code.bmp";
  ZipPackage withMedia = Package(Blip("r:link=\"rId1\"") + Blip("r:link=\"rId2\""), Link("rId1", code) + Link("rId2", code));
  withMedia.Put("xl/media/image1.png", kPng);
  struct Case {
    ZipPackage package;
    std::string codeBmp;  // the bytes of code.bmp
    std::vector<std::string> keptLinked;
    std::vector<std::pair<std::string, std::string>> parts;  // name, bytes after
  } cases[] = {
      {Package(Blip("r:link=\"rId1\"") + Blip("r:link=\"rId2\""), Link("rId1", gone) + Link("rId2", code)), kBmp, {gone},
       {{"xl/drawings/drawing1.xml", Rewritten(Drawing(Blip("r:link=\"rId1\"") + Blip("r:embed=\"rId2\"")))},
        {"xl/drawings/_rels/drawing1.xml.rels", Rewritten(Rels(Link("rId1", gone) + Link("rId2", "../media/image1.bmp", false)))}}},
      {Package(Blip("r:link=\"rId1\""), Link("rId1", code), png), kPng, {},
       {{"xl/media/image1.png", kPng}, {"[Content_Types].xml", ContentTypes(png)}}},
      {withMedia, kBmp, {},
       {{"xl/media/image1.png", kPng}, {"xl/media/image2.bmp", kBmp}, {"xl/media/image3.bmp", "(missing xl/media/image3.bmp)"},
        {"xl/drawings/_rels/drawing1.xml.rels",
         Rewritten(Rels(Link("rId1", "../media/image2.bmp", false) + Link("rId2", "../media/image2.bmp", false)))}}},
      {Package(Blip("r:embed=\"rId9\" r:link=\"rId1\""), Link("rId1", code) + Link("rId9", "../media/old.png", false)),
       kBmp, {}, {{"xl/drawings/drawing1.xml", Rewritten(Drawing(Blip("r:embed=\"rId1\"")))}}},
  };
  for (Case& c : cases) {
    Picture("code.bmp", c.codeBmp);
    EXPECT_EQ(EmbedLinkedPictures(c.package, Resolver()).keptLinked, c.keptLinked);
    for (const auto& [name, bytes] : c.parts) EXPECT_EQ(Part(c.package, name), bytes) << name;
  }
}

TEST_F(EmbedLinkedPicturesTest, BrokenDrawingIsRefusedByName) {
  ZipPackage package = Package("", Link("rId1", "file:///c:\\Pics\\code.bmp"));
  package.Put("xl/drawings/drawing1.xml", "<xdr:wsDr");
  try {
    EmbedLinkedPictures(package, Resolver());
    FAIL() << "a broken drawing was accepted";
  } catch (const WorkbookError& e) {
    EXPECT_NE(std::string(e.what()).find("xl/drawings/drawing1.xml"), std::string::npos) << e.what();
  }
}

// The sample label workbook, as a spreadsheet application saves it, through
// the file entry point; checked by our reader and by Python's zipfile.
TEST_F(EmbedLinkedPicturesTest, SampleLabelWorkbookGetsItsThreePictures) {
  const auto xlsx = temp_ / "label.xlsx";
  std::filesystem::copy_file(vemo::test::SourceDir() / "examples/templates/商品标签模板.xlsx", xlsx);
  Picture("Item.jpg", kJpeg);
  Picture("BarCode_Item.bmp", kBmp);
  Picture("QRCode_Item.bmp", kPng);
  auto resolver = [this](std::string_view target) -> std::optional<std::filesystem::path> {
    const auto cut = target.rfind('\\');
    if (cut == std::string_view::npos) return std::nullopt;
    return temp_ / std::string(target.substr(cut + 1));
  };
  // What else keeps its bytes: LinksBecomeMediaPartsAndTheRestKeepsItsBytes.
  const EmbedPicturesResult result = EmbedLinkedPicturesInFile(xlsx, resolver);
  EXPECT_EQ(result.embedded.size(), 3u);
  EXPECT_FALSE(std::filesystem::exists(temp_ / "label.xlsx.embedding"));
  EXPECT_NO_THROW(Workbook::Open(xlsx));
  const auto check = vemo::test::RunCommand(
      "/usr/bin/python3 -c \"import sys, zipfile; z = zipfile.ZipFile(sys.argv[1]); "
      "names = [n for n in z.namelist() if n.startswith('xl/media/')]; "
      "d = z.read('xl/drawings/drawing1.xml').decode(); r = z.read('xl/drawings/_rels/drawing1.xml.rels').decode(); "
      "print(len(names), d.count('r:embed='), d.count('r:link='), r.count('External'))\" " +
      vemo::test::ShellQuote(xlsx));
  EXPECT_EQ(check.output, "3 3 0 0\n");
}

}  // namespace
}  // namespace vemo::wb
