// The preview window (ui/, built when Qt 6 is installed): with a display the
// print service shows the pages in it and returns only when it is closed.
// Runs offscreen; the window is closed by its --close-after timer.
#include <gtest/gtest.h>

#include <chrono>
#include <fstream>

#include "host/output/output_print_service.h"
#include "output_test_util.h"

namespace vemo::host {
namespace {

namespace fs = std::filesystem;
using test::ScopedEnv;

class NoPrinter : public Printer {
 public:
  int Print(const PrintJob&) override { throw std::logic_error("a preview must not print"); }
};

TEST(PreviewWindow, ShowsThePagesAndBlocksUntilClosed) {
  const char* binary = std::getenv("VEMO_BINARY_DIR");
  const fs::path window = fs::path(binary ? binary : "build") / "vemoprint-preview";
  if (!fs::exists(window)) GTEST_SKIP() << window << " was not built (it needs qt6-base-dev and qt6-pdf-dev)";
  vemo::test::TempDir dir;
  auto book = test::MakeBook(dir / "bill.xlsx", {{"单据", "预览的客户"}, {"Two", "second"}});
  const fs::path wrapper = dir / "window.sh";
  std::ofstream(wrapper) << "#!/bin/sh\nexec '" << window.string() << "' --close-after 500 \"$1\" > '"
                         << (dir / "window.txt").string() << "' 2>&1\n";
  fs::permissions(wrapper, fs::perms::owner_all);
  ScopedEnv display("DISPLAY", ":99");
  ScopedEnv platform("QT_QPA_PLATFORM", "offscreen");
  ScopedEnv program("VEMO_PREVIEW_PROGRAM", wrapper.string());
  ScopedEnv noViewer("VEMO_PDF_VIEWER", std::nullopt);
  ScopedEnv noFolder("VEMO_PREVIEW_TO_FOLDER", std::nullopt);
  ScopedEnv folder("VEMO_PREVIEW_DIR", (dir / "previews").string());

  OutputPrintService service(nullptr, std::make_shared<NoPrinter>());
  const auto start = std::chrono::steady_clock::now();
  service.Preview(book.string(), 1);
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(500));
  std::ifstream said(dir / "window.txt");
  std::string text((std::istreambuf_iterator<char>(said)), std::istreambuf_iterator<char>());
  EXPECT_NE(text.find("showing 1 pages"), std::string::npos) << text;  // only the sheet previewed
  EXPECT_FALSE(fs::exists(dir / "previews"));  // shown, not kept
}

}  // namespace
}  // namespace vemo::host
