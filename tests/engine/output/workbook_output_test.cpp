// The engine's output workers over the spreadsheet surface: which sheets go
// to the print service, how visible the application is, and that every
// instance is ended on success and on error.
#include <gtest/gtest.h>

#include "engine/output/workbook_output.h"
#include "context/scripted_desktop.h"
#include "engine/workbook_lifecycle.h"
#include "host/output/output_error.h"
#include "host/spreadsheet/spreadsheet_application.h"
#include "output_fixture.h"

namespace vemo::engine {
namespace {

using test::EngineOutputTest;

// Which sheet reaches the print service, and whether the application shows;
// the instance is quit after each.
TEST_F(EngineOutputTest, ThePrintServiceGetsTheSheetAndVisibilityByCountAndPreview) {
  struct Case {
    int sheets;
    bool preview;
    std::optional<int> sheet;  // nullopt: every sheet as one workbook
    bool visible;
  };
  for (const Case& c : {Case{3, false, std::nullopt, false}, Case{1, false, 1, true}, Case{3, true, 1, true}}) {
    service->calls.clear();
    const std::string book = Book(c.sheets).string();
    ASSERT_TRUE(c.preview ? PreviewWorkbookFile(book, false) : PrintWorkbookFile(book, false));
    ASSERT_EQ(service->calls.size(), 1u);
    EXPECT_EQ(service->calls[0].preview, c.preview);
    EXPECT_EQ(service->calls[0].sheet, c.sheet) << c.sheets << c.preview;
    EXPECT_EQ(service->calls[0].copies, c.preview ? 0 : 1);
    EXPECT_EQ(service->calls[0].applicationVisible, c.visible) << c.sheets << c.preview;
    EXPECT_EQ(host::LiveApplicationCount(), 0u);
  }
}

TEST_F(EngineOutputTest, AnEmptyFileNameOrNoSpreadsheetApplicationIsFalseAtOnce) {
  InstallHooks();
  CreateLog();
  EXPECT_FALSE(PrintWorkbookFile("", true));
  EXPECT_FALSE(PreviewWorkbookFile("", true));
  EXPECT_FALSE(OpenWorkbookForUser("", true));
  EXPECT_EQ(LogText(), "");  // no library was loaded
  EXPECT_THROW(PrinterInjectByHwnd(1), std::runtime_error);
  ScopedFactory none("ET.Application", nullptr);
  host::test::ScopedEnv withheld("VEMO_NO_SPREADSHEET", "1");
  EXPECT_FALSE(PrintWorkbookFile(Book(1).string(), false));
  EXPECT_FALSE(PreviewWorkbookFile(Book(1).string(), false));
  EXPECT_TRUE(service->calls.empty());
}

// The answer stays False; the user is also told why, once per failure, and
// the instance is ended by its handle.
TEST_F(EngineOutputTest, AFailureSaysItsCauseAndEndsTheInstance) {
  struct Failing : host::PrintService {
    void PrintWorkbook(const std::string&, std::optional<int>, int) override { throw host::OutputError("no default printer"); }
    void Preview(const std::string&, int) override { throw host::OutputError("rendering took too long"); }
  };
  host::InstallPrintService(std::make_shared<Failing>());
  auto desktop = std::make_shared<context::ScriptedDesktop>();
  context::ScopedDesktop use(desktop);
  EXPECT_FALSE(PrintWorkbookFile(Book(1).string(), false));
  EXPECT_FALSE(PreviewWorkbookFile(Book(1).string(), false));
  EXPECT_TRUE(desktop->Messages().empty());
  EXPECT_EQ(desktop->Causes(), (std::vector<std::string>{"printing failed: no default printer",
                                                          "the print preview failed: rendering took too long"}));
  EXPECT_EQ(host::LiveApplicationCount(), 0u);
  ASSERT_NE(lastApp, nullptr);
  EXPECT_THROW(lastApp->Workbooks(), std::exception);  // ended, not quit politely: it refuses work
}

TEST_F(EngineOutputTest, EndingAfterErrorIgnoresHandlesBelowOneAndEndsOnlyItsInstance) {
  auto other = host::SurfaceApplication::Create();
  const std::size_t live = host::LiveApplicationCount();
  EXPECT_FALSE(TerminateSpreadsheetProcess(0));
  EXPECT_FALSE(TerminateSpreadsheetProcess(-5));
  EXPECT_EQ(host::LiveApplicationCount(), live);
  auto victim = host::SurfaceApplication::Create();
  EXPECT_FALSE(TerminateSpreadsheetProcess(victim->Hwnd()));
  EXPECT_EQ(host::LiveApplicationCount(), live);
  other->Quit();
}

}  // namespace
}  // namespace vemo::engine
