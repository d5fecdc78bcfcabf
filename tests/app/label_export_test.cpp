// End to end: vemoprint label export of the sample label workbook for the
// sample account's item 1, its pictures linked as designed or stored in the
// workbook (--embed-pictures, or the EmbedLabelPictures session setting).
// Checked independently: Python's zipfile for the package and, with
// VEMO_LO_CHECK=1, LibreOffice's PDF of the exported workbook through
// pdfimages. What the barcode and QR pictures read is the engine tests' job.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <vector>

#include <nlohmann/json.hpp>

#include "support/run_command.h"
#include "support/test_paths.h"

namespace vemo::app {
namespace {

using vemo::test::ShellQuote;
namespace fs = std::filesystem;

// The item of examples/requests/商品标签模板.json (item 1 of the sample
// account, which has a photo) with a Chinese text in its QR code.
constexpr const char* kQrText = "特级龙井茶 250g 西湖春 https://shop.example.com/item/01.001";
constexpr const char* kBarcode = "6901234567892";

class LabelExport : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!fs::exists(vemo::test::VemoprintPath())) GTEST_SKIP() << "vemoprint is not built at " << vemo::test::VemoprintPath();
    fs::create_directories(dir_ / "tmp");
    // The host's program folder, registered as an installed host does, with the label sample in it.
    const fs::path program = dir_ / "machine" / "drive_c" / "Program Files" / "Quorvan" / "Tradon";
    fs::create_directories(program / "Graphics" / "ItemPhotos");
    fs::copy_file(vemo::test::SourceDir() / "examples" / "templates" / "商品标签模板.xlsx",
                  program / "Graphics" / "ItemPhotos" / "商品标签模板.xlsx");
    std::ofstream(dir_ / "machine" / "registry.json")
        << R"({"SOFTWARE\\Quorvan\\TRADON\\VemoSTD": {"Path": "C:\\Program Files\\Quorvan\\Tradon"}})";
    std::ifstream in(vemo::test::SourceDir() / "examples" / "requests" / "商品标签模板.json");
    nlohmann::json request = nlohmann::json::parse(in);
    ASSERT_EQ(request["ItemInfoDict"]["FItemID"], 1);
    ASSERT_EQ(request["ItemInfoDict"]["FBarCode"], kBarcode);
    request["ItemInfoDict"]["FMatrixCode"] = kQrText;
    std::ofstream(dir_ / "label.json") << request.dump();
    ASSERT_EQ(Run("init --no-templates").status, 0);
  }
  vemo::test::CommandResult Run(const std::string& arguments) {
    return vemo::test::RunVemoprintIn(dir_.path(), arguments);
  }
  // label export into `name`; `global` goes before the command, `extra` after it.
  fs::path Export(const std::string& name, const std::string& global = "", const std::string& extra = "") {
    const fs::path out = dir_ / name;
    auto result = Run(global + " label export " + ShellQuote(dir_ / "label.json") + " --out " + ShellQuote(out) +
                      " --no " + extra);
    EXPECT_EQ(result.status, 0) << result.output;
    return out;
  }
  // "media=M embed=E link=L external=X": media parts, blips embedding and
  // linking, external relationships of the drawing.
  static std::string Pictures(const fs::path& workbook) {
    auto result = vemo::test::RunCommand(
        "/usr/bin/python3 -c 'import sys, zipfile\n"
        "z = zipfile.ZipFile(sys.argv[1]); names = z.namelist()\n"
        "d = z.read(\"xl/drawings/drawing1.xml\").decode(); r = z.read(\"xl/drawings/_rels/drawing1.xml.rels\").decode()\n"
        "print(\"media=%d embed=%d link=%d external=%d\" % (len([n for n in names if n.startswith(\"xl/media/\")]),\n"
        "      d.count(\"r:embed=\"), d.count(\"r:link=\"), r.count(\"TargetMode=\\\"External\\\"\")))' " +
        ShellQuote(workbook));
    EXPECT_EQ(result.status, 0) << result.output;
    return result.output;
  }
  vemo::test::TempDir dir_;
};

// Linked as designed unless the option or the session setting asks to embed.
TEST_F(LabelExport, PicturesAreEmbeddedWhenAskedFor) {
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
  for (const auto& c : cases) EXPECT_EQ(Pictures(Export(c.name, c.global, c.extra)), c.pictures) << c.name;
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
  // pdfimages -list: two heading lines, then one line per image drawn.
  auto images = vemo::test::RunCommand("pdfimages -list " + ShellQuote(kept / "with.pdf"));
  ASSERT_EQ(images.status, 0) << images.output << render.output;
  EXPECT_EQ(std::count(images.output.begin(), images.output.end(), '\n'), 2 + 3) << images.output;
}

// A run of labels: an item without codes shows the blank pictures that init
// installs, not the codes the item before it left in c:\ItemPhotos\.
TEST_F(LabelExport, AnItemWithoutCodesShowsNoneOfThePreviousItems) {
  const struct {
    const char *barcode, *qr;  // nullptr: the item has no codes
  } run[] = {{"6901234567892", "first item"}, {nullptr, nullptr}, {"6909876543210", "third item"}};
  nlohmann::json request = nlohmann::json::parse(std::ifstream(dir_ / "label.json"));
  for (std::size_t i = 0; i < std::size(run); ++i) {
    auto& item = request["ItemInfoDict"];
    item.erase("FBarCode");
    item.erase("FMatrixCode");
    if (run[i].barcode) item.update({{"FBarCode", run[i].barcode}, {"FMatrixCode", run[i].qr}});
    std::ofstream(dir_ / "label.json") << request.dump();
    const fs::path out = Export("run" + std::to_string(i) + ".xlsx", "", "--embed-pictures");
    EXPECT_EQ(Pictures(out), "media=3 embed=3 link=0 external=0\n");
    // What zbarimg reads in the stored pictures, sorted (its report on the error stream dropped).
    const fs::path media = dir_ / ("media" + std::to_string(i));
    auto decoded = vemo::test::RunCommand(
        "/usr/bin/python3 -c 'import sys, zipfile\nz = zipfile.ZipFile(sys.argv[1])\n"
        "[z.extract(n, sys.argv[2]) for n in z.namelist() if n.startswith(\"xl/media/\")]' " +
        ShellQuote(out) + " " + ShellQuote(media) + " && (zbarimg -q --nodbus " + ShellQuote(media) +
        "/xl/media/* 2>/dev/null | sort)");
    EXPECT_EQ(decoded.output, run[i].barcode ? "CODE-128:" + std::string(run[i].barcode) + "\nQR-Code:" + run[i].qr + "\n" : "")
        << "label " << i + 1;
  }
}

// Before init the label workbook is nowhere: the command says what installs it.
TEST_F(LabelExport, WithoutTheLabelTemplateTheCommandSaysWhatInstallsIt) {
  fs::remove(dir_ / "machine/drive_c/Program Files/Quorvan/Tradon/Graphics/ItemPhotos/商品标签模板.xlsx");
  auto result = Run("label export " + ShellQuote(dir_ / "label.json") + " --out " + ShellQuote(dir_ / "x.xlsx") + " --no");
  EXPECT_EQ(result.status, 1);
  EXPECT_NE(result.output.find("is not installed; run \"vemoprint init\""), std::string::npos) << result.output;
}

TEST_F(LabelExport, TheItemCodeStaysText) {
  const fs::path out = Export("linked.xlsx");
  // The item code (B2, C3 after the margin row and column) stays the text
  // it is: "01.001", not the number 1.001.
  auto code = vemo::test::RunCommand("/usr/bin/python3 -c 'import openpyxl, sys\n"
                                     "print(repr(openpyxl.load_workbook(sys.argv[1]).worksheets[0][\"C3\"].value))' " +
                                     ShellQuote(out));
  EXPECT_EQ(code.output, "'01.001'\n");
}

}  // namespace
}  // namespace vemo::app
