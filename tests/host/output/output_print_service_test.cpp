// The print service over renderer, printer and preview: the right sheet
// reaches the pages, a preview without a display lands in the preview
// folder, and printing without a default printer is a clear error.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

#include "host/output/cups_printer.h"
#include "host/output/output_error.h"
#include "host/output/output_print_service.h"
#include "output_test_util.h"
#include "support/error_text.h"
#include "support/files.h"

namespace vemo::host {
namespace {

namespace fs = std::filesystem;
using test::MakeBook;
using test::PdfText;
using test::ScopedEnv;

// Keeps the text of each PDF it is given (the file is gone after the call).
class TextPrinter : public Printer {
 public:
  int Print(const PrintJob& job) override {
    texts.push_back(PdfText(job.pdf));
    copies = job.copies;
    return static_cast<int>(texts.size());
  }
  std::vector<std::string> texts;
  int copies = 0;
};

class OutputPrintServiceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    book = MakeBook(dir / "three.xlsx", {{"One", "FIRST SHEET"}, {"二", "第二张表"}, {"Three", "THIRD SHEET"}});
  }
  vemo::test::TempDir dir;
  fs::path book;
  ScopedEnv noDisplay{"DISPLAY", std::nullopt};
  ScopedEnv noWayland{"WAYLAND_DISPLAY", std::nullopt};
};

TEST_F(OutputPrintServiceTest, PrintsOneSheetOrAllAndLeavesNoTemporaryFiles) {
  ScopedEnv tmp("TMPDIR", (dir / "tmp").string());
  fs::create_directories(dir / "tmp");
  auto printer = std::make_shared<TextPrinter>();
  OutputPrintService service(nullptr, printer);
  service.PrintWorkbook(book.string(), 2, 1);
  service.PrintWorkbook(book.string(), std::nullopt, 2);
  EXPECT_THROW(service.PrintWorkbook((dir / "missing.xlsx").string(), 1, 1), OutputError);
  ASSERT_EQ(printer->texts.size(), 2u);
  EXPECT_NE(printer->texts[0].find("第二张表"), std::string::npos);
  EXPECT_EQ(printer->texts[0].find("FIRST SHEET"), std::string::npos);
  for (const char* text : {"FIRST SHEET", "第二张表", "THIRD SHEET"})
    EXPECT_NE(printer->texts[1].find(text), std::string::npos) << text;
  EXPECT_EQ(printer->copies, 2);
  const auto file = [](const fs::directory_entry& entry) { return entry.is_regular_file(); };
  EXPECT_EQ(std::count_if(fs::recursive_directory_iterator(dir / "tmp"), {}, file), 0) << "temporary files were left";
}

TEST_F(OutputPrintServiceTest, PreviewWithoutADisplayLandsInThePreviewFolder) {
  ScopedEnv folder("VEMO_PREVIEW_DIR", (dir / "previews").string());
  ScopedEnv viewer("VEMO_PDF_VIEWER", "/bin/false");  // would fail if it were used
  OutputPrintService service(nullptr, std::make_shared<TextPrinter>());
  ::testing::internal::CaptureStderr();
  service.Preview(book.string(), 3);
  const std::string said = ::testing::internal::GetCapturedStderr();
  std::vector<fs::path> files;
  for (const auto& entry : fs::directory_iterator(dir / "previews")) files.push_back(entry.path());
  ASSERT_EQ(files.size(), 1u);
  EXPECT_EQ(files[0].extension(), ".pdf");
  EXPECT_NE(said.find(files[0].string()), std::string::npos) << said;
  EXPECT_EQ(PdfText(files[0]).find("FIRST SHEET"), std::string::npos) << "only the sheet previewed";
}

TEST_F(OutputPrintServiceTest, TheEnvironmentChoosesFolderViewerOrWindow) {
  struct Case {
    std::optional<std::string> display, viewer, toFolder, window;
    bool folder;
  } cases[] = {
      {":0", "/bin/false", "1", std::nullopt, true},  // the folder can be forced even with a display
      {":0", "/bin/false", "0", std::nullopt, false},
      {":0", std::nullopt, "0", "/opt/vemoprint/vemoprint-preview", false},
      {":0", std::nullopt, "0", std::nullopt, true},  // the test program has no preview window beside it
  };
  for (const Case& c : cases) {
    ScopedEnv display("DISPLAY", c.display), viewer("VEMO_PDF_VIEWER", c.viewer), toFolder("VEMO_PREVIEW_TO_FOLDER", c.toFolder),
        window("VEMO_PREVIEW_PROGRAM", c.window);
    EXPECT_EQ(PreviewWindowProgram(), c.window.value_or(""));
    const auto presenter = PresenterForEnvironment();
    EXPECT_EQ(dynamic_cast<FolderPreview*>(presenter.get()) != nullptr, c.folder) << c.viewer.value_or("") << c.window.value_or("");
    EXPECT_EQ(dynamic_cast<ViewerPreview*>(presenter.get()) != nullptr, !c.folder);
  }
}

TEST_F(OutputPrintServiceTest, TheViewerIsWaitedForAndSeesThePages) {
  ScopedEnv display("DISPLAY", ":0");
  const fs::path viewer = dir / "viewer.sh";
  std::ofstream(viewer) << "#!/bin/sh\nsleep 0.3\npdftotext \"$1\" '" << (dir / "seen.txt").string() << "'\n";
  fs::permissions(viewer, fs::perms::owner_all);
  ScopedEnv program("VEMO_PDF_VIEWER", viewer.string());
  OutputPrintService service(nullptr, std::make_shared<TextPrinter>());
  service.Preview(book.string(), 1);
  // The call returned only after the viewer had read the file.
  EXPECT_NE(vemo::test::ReadFileBytes(dir / "seen.txt").find("FIRST SHEET"), std::string::npos);
}

TEST_F(OutputPrintServiceTest, NoDefaultPrinterIsAClearError) {
  // A server that does not exist has no destinations at all.
  ScopedEnv server("CUPS_SERVER", (dir / "no-such-server.sock").string());
  ScopedEnv home("HOME", dir.path().string());
  EXPECT_EQ(DefaultPrinterName(), "");
  OutputPrintService service;
  vemo::test::ExpectErrorSaying<OutputError>([&] { service.PrintWorkbook(book.string(), 1, 1); }, "no default printer");
  vemo::test::ExpectErrorSaying<OutputError>([&] { CupsPrinter().Print(PrintJob{.pdf = book, .copies = 0}); }, "ask for 1 or more");
}

}  // namespace
}  // namespace vemo::host
