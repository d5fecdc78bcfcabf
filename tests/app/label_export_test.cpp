// End to end: vemoprint label export of the sample label workbook for the
// sample account's item 1, its pictures linked as designed or stored in the
// workbook (--embed-pictures, or the EmbedLabelPictures session setting).
// Checked independently: Python's zipfile for the package and, with
// VEMO_LO_CHECK=1, LibreOffice's PDF of the exported workbook through
// pdfimages. What the barcode and QR pictures read is the engine tests' job.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <vector>

#include <nlohmann/json.hpp>

#include "app_fixture.h"
#include "host/output/output_test_util.h"
#include "support/files.h"

namespace vemo::app::test {
namespace {

namespace fs = std::filesystem;

// The item of examples/requests/商品标签模板.json (item 1 of the sample
// account, which has a photo) with a Chinese text in its QR code.
constexpr const char* kQrText = "特级龙井茶 250g 西湖春 https://shop.example.com/item/01.001";

class LabelExport : public VemoprintTest {
 protected:
  void SetUp() override {
    VemoprintTest::SetUp();
    if (IsSkipped()) return;
    InstallHostLabelSample(dir_.path());
    auto request = nlohmann::json::parse(std::ifstream(vemo::test::SourceDir() / "examples/requests/商品标签模板.json"));
    ASSERT_EQ(request["ItemInfoDict"]["FItemID"], 1);
    request["ItemInfoDict"]["FMatrixCode"] = kQrText;
    std::ofstream(dir_ / "label.json") << request.dump();
    Init();
  }
  // label export into `name`; `global` goes before the command, `extra` after it.
  fs::path Export(const std::string& name, const std::string& global = "", const std::string& extra = "") {
    const fs::path out = dir_ / name;
    auto result = Run(global + " label export " + ShellQuote(dir_ / "label.json") + " --out " + ShellQuote(out) +
                      " --no " + extra);
    EXPECT_EQ(result.status, 0) << result.output;
    return out;
  }
};

// Linked as designed unless the option or the session setting asks to embed.
// The item code (C3 after the margin row and column) stays the text it is:
// "01.001", not the number 1.001.
TEST_F(LabelExport, PicturesAreEmbeddedWhenAskedForAndTheItemCodeStaysText) {
  std::ofstream(dir_ / "session.json") << R"({"settings": {"EmbedLabelPictures": 1}})";
  const struct {
    const char* name;
    std::string global, extra;
    const char* pictures;
  } cases[] = {
      {"linked.xlsx", "", "", "media=0 embed=0 link=3 external=3\n"},
      {"with.xlsx", "", "--embed-pictures", "media=3 embed=3 link=0 external=0\n"},
      {"by-setting.xlsx", "--session " + ShellQuote(dir_ / "session.json"), "", "media=3 embed=3 link=0 external=0\n"},
  };
  for (const auto& c : cases) EXPECT_EQ(vemo::test::PackagePictures(Export(c.name, c.global, c.extra)), c.pictures) << c.name;
  auto code = vemo::test::RunPython(vemo::test::SourceDir() / "tests/app/data/fill_oracle.py", "cells " + ShellQuote(dir_ / "linked.xlsx") + " C3");
  EXPECT_EQ(code.output, "C3\t'01.001\n");
}

// LibreOffice, which cannot follow c:\ItemPhotos\ links, draws the stored pictures.
TEST_F(LabelExport, RenderedEmbeddedLabelShowsItsThreePictures) {
  const char* lo = std::getenv("VEMO_LO_CHECK");
  if (!lo || std::string(lo) != "1") GTEST_SKIP() << "set VEMO_LO_CHECK=1 to have LibreOffice render the label";
  const fs::path with = Export("with.xlsx", "", "--embed-pictures");
  const fs::path kept = dir_ / "rendered";
  auto render = vemo::test::RunCommand("/usr/bin/python3 " + ShellQuote(vemo::test::SharedDir() / "tools" / "lo_check.py") +
                                       " " + ShellQuote(with) + " --timeout 240 --keep " + ShellQuote(kept));
  ASSERT_EQ(render.status, 0) << render.output;
  EXPECT_EQ(vemo::host::test::PdfImageCount(kept / "with.pdf"), 3) << render.output;
}

// An item without codes shows the blank pictures that init installs (what
// the codes of an item before it leave behind is the actions' business).
TEST_F(LabelExport, AnItemWithoutCodesShowsTheBlankPictures) {
  nlohmann::json request = nlohmann::json::parse(std::ifstream(dir_ / "label.json"));
  request["ItemInfoDict"].erase("FBarCode");
  request["ItemInfoDict"].erase("FMatrixCode");
  std::ofstream(dir_ / "label.json") << request.dump();
  EXPECT_EQ(vemo::test::PackagePictures(Export("blank.xlsx", "", "--embed-pictures")), "media=3 embed=3 link=0 external=0\n");
}

}  // namespace
}  // namespace vemo::app::test
