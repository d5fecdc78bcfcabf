// The printer hook libraries: loaded from the common files folder by full
// path, logging the hooked window or process only when the debug log exists,
// and, when they are missing, the results the engine promises.
#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>
#include <thread>

#include "engine/output/document_opener.h"
#include "engine/output/workbook_output.h"
#include "output_fixture.h"

namespace vemo::engine {
namespace {

using host::test::ScopedEnv;
using test::EngineOutputTest;
namespace fs = std::filesystem;
using namespace std::chrono_literals;

// An opener that records the file it was given and its own pid, then stays
// open for a moment as a viewer would.
fs::path WriteOpener(const fs::path& dir, int exitCode, const std::string& stay = "0.2") {
  const fs::path script = dir / ("opener" + std::to_string(exitCode) + ".sh");
  std::ofstream(script) << "#!/bin/sh\necho \"$$ $1\" > '" << (dir / "opened.txt").string() << "'\nsleep " << stay
                        << "\nexit " << exitCode << "\n";
  fs::permissions(script, fs::perms::owner_all);
  return script;
}

std::string WaitForFile(const fs::path& file) {
  for (int i = 0; i < 200; ++i) {
    std::ifstream in(file);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (!text.empty() && text.back() == '\n') return text;
    std::this_thread::sleep_for(10ms);
  }
  return "";
}

TEST_F(EngineOutputTest, HookLibrariesAreFoundInTheCommonFilesFolder) {
  EXPECT_EQ(PrinterHookPath(kPrinterInjectLibrary), "C:\\Program Files\\Common Files\\quorvan\\printer-inject.dll");
  EXPECT_EQ(context::HostLibraryFile(PrinterHookPath(kPrinterFilterLibrary)),
            dir / "mc" / "drive_c" / "Program Files" / "Common Files" / "quorvan" / "libprinter-filter.so");
  ScopedEnv programFilesSet("ProgramFiles", "D:\\Apps");
  EXPECT_EQ(PrinterHookPath(kPrinterInjectLibrary), "D:\\Apps\\Common Files\\quorvan\\printer-inject.dll");
}

TEST_F(EngineOutputTest, PreviewHooksTheApplicationWindowAndLogsIt) {
  InstallHooks();
  CreateLog();
  ASSERT_TRUE(PreviewWorkbookFile(Book(1).string(), true));
  ASSERT_NE(lastApp, nullptr);
  EXPECT_NE(LogText().find("printer-inject: hooked spreadsheet window " + std::to_string(lastApp->Hwnd()) +
                           " of process " + std::to_string(::getpid())),
            std::string::npos)
      << LogText();
}

TEST_F(EngineOutputTest, PrintLoadsTheFilterIntoThisProcess) {
  InstallHooks();
  CreateLog();
  ASSERT_TRUE(PrintWorkbookFile(Book(1).string(), true));
  EXPECT_NE(LogText().find("printer-filter: loaded into process " + std::to_string(::getpid())), std::string::npos)
      << LogText();
  EXPECT_EQ(LogText().find("printer-inject"), std::string::npos);  // printing hooks no window
}

TEST_F(EngineOutputTest, WithoutTheDebugLogTheHooksLeaveNoTrace) {
  InstallHooks();
  ASSERT_TRUE(PreviewWorkbookFile(Book(1).string(), true));
  ASSERT_TRUE(PrintWorkbookFile(Book(1).string(), true));
  EXPECT_FALSE(fs::exists(LogFile()));
}

TEST_F(EngineOutputTest, TheWaybillEngineLoadsNoHooks) {
  InstallHooks();
  CreateLog();
  ASSERT_TRUE(PreviewWorkbookFile(Book(1).string(), false));
  ASSERT_TRUE(PrintWorkbookFile(Book(1).string(), false));
  EXPECT_EQ(LogText(), "");
}

TEST_F(EngineOutputTest, MissingHookLibrariesChangeNothingForPreviewAndPrint) {
  CreateLog();
  EXPECT_TRUE(PreviewWorkbookFile(Book(1).string(), true));
  EXPECT_TRUE(PrintWorkbookFile(Book(3).string(), true));
  EXPECT_EQ(service->calls.size(), 2u);
  EXPECT_EQ(LogText(), "");
}

TEST_F(EngineOutputTest, OpeningForTheUserHooksTheLaunchedProcess) {
  InstallHooks();
  CreateLog();
  ScopedEnv opener("VEMO_OPENER", WriteOpener(dir.path(), 0).string());
  const auto book = Book(1);
  ASSERT_TRUE(OpenWorkbookForUser(book.string(), true));
  const std::string opened = WaitForFile(dir / "opened.txt");
  ASSERT_FALSE(opened.empty());
  const std::string pid = opened.substr(0, opened.find(' '));
  EXPECT_EQ(opened.substr(opened.find(' ') + 1), book.string() + "\n");
  EXPECT_NE(LogText().find("printer-inject: hooked process " + pid + " "), std::string::npos) << LogText();
}

TEST_F(EngineOutputTest, OpeningForTheUserWithoutTheHookLibraryIsFalseButTheFileOpens) {
  ScopedEnv opener("VEMO_OPENER", WriteOpener(dir.path(), 0).string());
  const auto book = Book(1);
  EXPECT_FALSE(OpenWorkbookForUser(book.string(), true));
  EXPECT_NE(WaitForFile(dir / "opened.txt").find(book.string()), std::string::npos);
}

TEST_F(EngineOutputTest, TheWaybillOpenFollowsTheOpenersAnswer) {
  InstallHooks();
  CreateLog();
  const auto book = Book(1);
  {
    ScopedEnv opener("VEMO_OPENER", WriteOpener(dir.path(), 0).string());
    EXPECT_TRUE(OpenWorkbookForUser(book.string(), false));
  }
  {
    ScopedEnv opener("VEMO_OPENER", WriteOpener(dir.path(), 3).string());  // no associated application
    EXPECT_FALSE(OpenWorkbookForUser(book.string(), false));
  }
  {
    ScopedEnv opener("VEMO_OPENER", (dir / "no-such-opener").string());
    EXPECT_FALSE(OpenWorkbookForUser(book.string(), false));
    EXPECT_FALSE(OpenWorkbookForUser(book.string(), true));
  }
  // An opener that keeps the document on screen has handed it over.
  ScopedEnv opener("VEMO_OPENER", WriteOpener(dir.path(), 1, "5").string());
  EXPECT_TRUE(OpenDocumentWithoutHandle(book.string(), 200ms));
  EXPECT_EQ(LogText(), "");  // the waybill open hooks nothing
}

}  // namespace
}  // namespace vemo::engine
