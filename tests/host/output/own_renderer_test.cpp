// Our renderer in the output service: it draws what it can, hands the rest
// to the renderer behind it with the reason, and $VEMO_RENDERER chooses.
#include "host/output/own_renderer.h"

#include <gtest/gtest.h>

#include "host/output/office_renderer.h"
#include "host/output/output_error.h"
#include "output_test_util.h"

namespace vemo::host {
namespace {

namespace fs = std::filesystem;

class CountingRenderer : public PageRenderer {
 public:
  void RenderToPdf(const fs::path&, const fs::path&) override { ++calls; }
  int calls = 0;
};

TEST(OwnRenderer, DrawsWhatItCanAndHandsTheRestOnWithTheReason) {
  vemo::test::TempDir dir;
  const fs::path book = test::MakeBook(dir.path() / "plain.xlsx", {{"Sheet1", "我们自己画的页"}});
  struct Case {
    fs::path workbook;
    int fallbackCalls;
    const char* reason;
  } cases[] = {
      {book, 0, ""},
      // An .xls sheet with conditional formats the model does not hold.
      {vemo::test::SourceDir() / "examples/templates/courier_waybill.xls", 1, "conditional formats"},
  };
  for (const Case& c : cases) {
    auto fallback = std::make_shared<CountingRenderer>();
    OwnRenderer renderer(fallback);
    const fs::path pdf = dir.path() / "out.pdf";
    fs::remove(pdf);
    renderer.RenderToPdf(c.workbook, pdf);
    EXPECT_EQ(fallback->calls, c.fallbackCalls) << c.workbook;
    EXPECT_NE(renderer.lastDeclined().find(c.reason), std::string::npos) << renderer.lastDeclined();
    if (c.fallbackCalls == 0) {
      EXPECT_NE(test::PdfText(pdf).find("我们自己画的页"), std::string::npos);
    }
  }
}

TEST(OwnRenderer, TheEnvironmentChoosesTheRenderer) {
  struct Case {
    std::optional<std::string> value;
    bool own;
  } cases[] = {{std::nullopt, true}, {"office", false}, {"own", true}};
  for (const Case& c : cases) {
    test::ScopedEnv env("VEMO_RENDERER", c.value);
    const auto renderer = RendererForEnvironment();
    EXPECT_EQ(dynamic_cast<OwnRenderer*>(renderer.get()) != nullptr, c.own) << c.value.value_or("unset");
    EXPECT_EQ(dynamic_cast<OfficeRenderer*>(renderer.get()) != nullptr, !c.own) << c.value.value_or("unset");
  }
  test::ScopedEnv wrong("VEMO_RENDERER", "fast");
  EXPECT_THROW(RendererForEnvironment(), OutputError);
}

}  // namespace
}  // namespace vemo::host
