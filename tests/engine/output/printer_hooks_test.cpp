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
  for (int i = 0; i < 200; ++i, std::this_thread::sleep_for(10ms))
    if (const std::string text = vemo::test::ReadFileBytes(file); !text.empty() && text.back() == '\n') return text;
  return "";
}

TEST_F(EngineOutputTest, HookLibrariesAreFoundInTheCommonFilesFolder) {
  EXPECT_EQ(PrinterHookPath(kPrinterInjectLibrary), "C:\\Program Files\\Common Files\\quorvan\\printer-inject.dll");
  EXPECT_EQ(context::HostLibraryFile(PrinterHookPath(kPrinterFilterLibrary)),
            dir / "mc" / "drive_c" / "Program Files" / "Common Files" / "quorvan" / "libprinter-filter.so");
  ScopedEnv programFilesSet("ProgramFiles", "D:\\Apps");
  EXPECT_EQ(PrinterHookPath(kPrinterInjectLibrary), "D:\\Apps\\Common Files\\quorvan\\printer-inject.dll");
}

TEST_F(EngineOutputTest, PreviewHooksTheApplicationWindowAndPrintLoadsTheFilter) {
  InstallHooks();
  CreateLog();
  const std::string pid = std::to_string(::getpid());
  ASSERT_TRUE(PrintWorkbookFile(Book(1).string(), true));
  EXPECT_NE(LogText().find("printer-filter: loaded into process " + pid), std::string::npos) << LogText();
  EXPECT_EQ(LogText().find("printer-inject"), std::string::npos) << "printing hooks no window";
  ASSERT_TRUE(PreviewWorkbookFile(Book(1).string(), true));
  ASSERT_NE(lastApp, nullptr);
  EXPECT_NE(LogText().find("printer-inject: hooked spreadsheet window " + std::to_string(lastApp->Hwnd()) +
                           " of process " + pid),
            std::string::npos)
      << LogText();
}

// Preview and print work all the same.
TEST_F(EngineOutputTest, NoTraceWithoutTheLibrariesForTheWaybillEngineOrWithoutTheLog) {
  struct Case {
    const char* name;
    bool installHooks, createLog, useHooks;
  } cases[] = {
      {"no hook libraries", false, true, true},  // first: nothing is installed yet
      {"the waybill engine", true, true, false},
      {"no debug log", true, false, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    fs::remove(LogFile());
    if (c.installHooks) InstallHooks();
    if (c.createLog) CreateLog();
    service->calls.clear();
    EXPECT_TRUE(PreviewWorkbookFile(Book(1).string(), c.useHooks));
    EXPECT_TRUE(PrintWorkbookFile(Book(3).string(), c.useHooks));
    EXPECT_EQ(service->calls.size(), 2u);
    EXPECT_EQ(LogText(), "");
    EXPECT_EQ(fs::exists(LogFile()), c.createLog);
  }
}

// Without the hook library the answer is False, yet the file opens; with it
// the opener's process is hooked.
TEST_F(EngineOutputTest, OpeningForTheUserHooksTheLaunchedProcess) {
  ScopedEnv opener("VEMO_OPENER", WriteOpener(dir.path(), 0).string());
  const auto book = Book(1);
  EXPECT_FALSE(OpenWorkbookForUser(book.string(), true));
  EXPECT_NE(WaitForFile(dir / "opened.txt").find(book.string()), std::string::npos) << "the file opens all the same";
  fs::remove(dir / "opened.txt");
  context::ForgetLoadedLibraries();
  InstallHooks();
  CreateLog();
  ASSERT_TRUE(OpenWorkbookForUser(book.string(), true));
  const std::string opened = WaitForFile(dir / "opened.txt");
  ASSERT_FALSE(opened.empty());
  const std::string pid = opened.substr(0, opened.find(' '));
  EXPECT_EQ(opened.substr(opened.find(' ') + 1), book.string() + "\n");
  EXPECT_NE(LogText().find("printer-inject: hooked process " + pid + " "), std::string::npos) << LogText();
}

TEST_F(EngineOutputTest, TheWaybillOpenFollowsTheOpenersAnswer) {
  InstallHooks();
  CreateLog();
  const auto book = Book(1);
  // Exit 3: no associated application.
  for (const auto& [opener, opened] : {std::pair{WriteOpener(dir.path(), 0), true}, {WriteOpener(dir.path(), 3), false},
                                       {dir / "no-such-opener", false}}) {
    ScopedEnv use("VEMO_OPENER", opener.string());
    EXPECT_EQ(OpenWorkbookForUser(book.string(), false), opened) << opener;
  }
  ScopedEnv missing("VEMO_OPENER", (dir / "no-such-opener").string());
  EXPECT_FALSE(OpenWorkbookForUser(book.string(), true));
  // An opener that keeps the document on screen has handed it over.
  ScopedEnv opener("VEMO_OPENER", WriteOpener(dir.path(), 1, "5").string());
  EXPECT_TRUE(OpenDocumentWithoutHandle(book.string(), 200ms));
  EXPECT_EQ(LogText(), "");  // the waybill open hooks nothing
}

}  // namespace
}  // namespace vemo::engine
