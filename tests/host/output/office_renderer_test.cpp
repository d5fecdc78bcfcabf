// The LibreOffice page renderer: Chinese text reaches the PDF, a broken
// workbook is an error, and an overrun names the setting that allows more.
#include <gtest/gtest.h>

#include <fstream>

#include "host/output/office_renderer.h"
#include "host/output/output_error.h"
#include "host/output/own_renderer.h"
#include "output_test_util.h"
#include "support/error_text.h"

namespace vemo::host {
namespace {

namespace fs = std::filesystem;
using test::MakeBook;
using test::PdfText;
using test::ScopedEnv;

// A cell in the Windows Songti face: its text is drawn in a CJK face, the
// face the font aliases (scripts/setup.sh, /etc/fonts/conf.d) give 宋体
// when they are installed.
TEST(OfficeRenderer, RendersChineseTextInTheAliasFaceOfTheWindowsSongtiName) {
  vemo::test::TempDir dir;
  auto book = MakeBook(dir / "bill.xlsx", {{"销售单", "客户：上海华联商贸有限公司"}}, "--font 宋体");
  OfficeRenderer().RenderToPdf(book, dir / "out" / "bill.pdf");
  EXPECT_NE(PdfText(dir / "out" / "bill.pdf").find("客户：上海华联商贸有限公司"), std::string::npos);
  auto fonts = vemo::test::RunCommand("pdffonts " + vemo::test::ShellQuote(dir / "out" / "bill.pdf")).output;
  const bool aliased = vemo::test::RunCommand("fc-match 宋体").output.find("UMing") != std::string::npos;
  EXPECT_TRUE(fonts.find("UMing") != std::string::npos ||
              (!aliased && (fonts.find("CJK") != std::string::npos || fonts.find("ZenHei") != std::string::npos)))
      << "the alias of 宋体 is " << (aliased ? "" : "not ") << "installed; fonts: " << fonts;
}

TEST(OfficeRenderer, AFileThatIsNoWorkbookFailsAndLeavesNoPdf) {
  vemo::test::TempDir dir;
  std::ofstream(dir / "broken.xlsx") << "not a workbook";
  OfficeRenderer renderer;
  EXPECT_THROW(renderer.RenderToPdf(dir / "broken.xlsx", dir / "broken.pdf"), OutputError);
  EXPECT_FALSE(fs::exists(dir / "broken.pdf"));
  EXPECT_THROW(renderer.RenderToPdf(dir / "missing.xlsx", dir / "missing.pdf"), OutputError);
}

// That nothing of the renderer keeps running is the child process tests' job.
TEST(OfficeRenderer, AnOverrunIsStoppedWithTheSettingToRaise) {
  vemo::test::TempDir dir;
  auto book = MakeBook(dir / "bill.xlsx", {{"Sheet", "text"}});
  OfficeRendererOptions options;
  options.timeout = std::chrono::milliseconds(150);
  OfficeRenderer renderer(options);
  vemo::test::ExpectErrorSaying<OutputError>([&] { renderer.RenderToPdf(book, dir / "bill.pdf"); }, "VEMO_RENDER_TIMEOUT_MS");
  EXPECT_FALSE(fs::exists(dir / "bill.pdf"));
}

// Our renderer in the output service: it draws what it can, hands the rest
// to the renderer behind it with the reason, and $VEMO_RENDERER chooses.

class CountingRenderer : public PageRenderer {
 public:
  void RenderToPdf(const fs::path&, const fs::path&) override { ++calls; }
  int calls = 0;
};

TEST(OwnRenderer, DrawsWhatItCanAndHandsTheRestOnWithTheReason) {
  vemo::test::TempDir dir;
  auto fallback = std::make_shared<CountingRenderer>();
  OwnRenderer renderer(fallback);
  renderer.RenderToPdf(MakeBook(dir / "plain.xlsx", {{"Sheet1", "我们自己画的页"}}), dir / "plain.pdf");
  EXPECT_EQ(fallback->calls, 0) << renderer.lastDeclined();
  EXPECT_NE(PdfText(dir / "plain.pdf").find("我们自己画的页"), std::string::npos);
  // An .xls sheet with pictures the model does not hold.
  renderer.RenderToPdf(vemo::test::SourceDir() / "examples/templates/商品标签模板.xls", dir / "labels.pdf");
  EXPECT_EQ(fallback->calls, 1);
  EXPECT_NE(renderer.lastDeclined().find("a picture"), std::string::npos) << renderer.lastDeclined();
}

TEST(OwnRenderer, TheEnvironmentChoosesTheRendererItsProgramAndTimeout) {
  for (const auto& [value, own] : {std::pair<std::optional<std::string>, bool>{std::nullopt, true}, {"office", false}, {"own", true}}) {
    ScopedEnv env("VEMO_RENDERER", value);
    const auto renderer = RendererForEnvironment();
    EXPECT_EQ(dynamic_cast<OwnRenderer*>(renderer.get()) != nullptr, own) << value.value_or("unset");
    EXPECT_EQ(dynamic_cast<OfficeRenderer*>(renderer.get()) != nullptr, !own) << value.value_or("unset");
  }
  ScopedEnv wrong("VEMO_RENDERER", "fast");
  EXPECT_THROW(RendererForEnvironment(), OutputError);
  ScopedEnv program("VEMO_SOFFICE", "/opt/office/soffice");
  ScopedEnv timeout("VEMO_RENDER_TIMEOUT_MS", "2500");
  EXPECT_EQ(OfficeRendererOptions::FromEnvironment().program, "/opt/office/soffice");
  EXPECT_EQ(OfficeRendererOptions::FromEnvironment().timeout.count(), 2500);
  ScopedEnv bad("VEMO_RENDER_TIMEOUT_MS", "soon");
  EXPECT_EQ(OfficeRendererOptions::FromEnvironment().timeout.count(), 60000);
}

}  // namespace
}  // namespace vemo::host
