// A bill printed the whole way: the engine's print worker, our spreadsheet
// application, the renderer and CUPS. Runs only against the sandbox server
// of scripts/cups-sandbox.sh, whose default queue writes each job to
// $VEMO_CUPS_SANDBOX/printed.pdf.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include "engine/output/workbook_output.h"
#include "host/output/cups_printer.h"
#include "host/output/output_print_service.h"
#include "host/output/output_test_util.h"
#include "host/spreadsheet/spreadsheet_application.h"
#include "support/test_paths.h"

namespace vemo::engine {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

TEST(CupsPrintEndToEnd, ABillWithAChineseCustomerReachesThePrinter) {
  const char* sandbox = std::getenv("VEMO_CUPS_SANDBOX");
  if (!sandbox || !*sandbox || !std::getenv("CUPS_SERVER"))
    GTEST_SKIP() << "no CUPS sandbox: run under scripts/cups-sandbox.sh run FOLDER -- ctest ... "
                    "(it sets VEMO_CUPS_SANDBOX and CUPS_SERVER)";
  ASSERT_EQ(host::DefaultPrinterName(), "TestPDF") << "the sandbox's default queue is missing";
  const fs::path printed = fs::path(sandbox) / "printed.pdf";
  std::error_code ec;
  fs::remove(printed, ec);

  vemo::test::TempDir dir;
  const auto book = host::test::MakeBook(dir / "invoice.xlsx",
                                         {{"销售单", "购货单位：北京市朝阳区长城贸易有限公司"}});
  host::RegisterSpreadsheetApplication();
  auto previous = host::InstallOutputPrintService();
  const bool sent = PrintWorkbookFile(book.string(), false);
  host::InstallPrintService(previous);
  ASSERT_TRUE(sent);

  std::string text;
  for (int i = 0; i < 300 && text.find("长城贸易") == std::string::npos; ++i) {
    std::this_thread::sleep_for(100ms);
    if (fs::file_size(printed, ec) > 0 && !ec) text = host::test::PdfText(printed);
  }
  EXPECT_NE(text.find("购货单位：北京市朝阳区长城贸易有限公司"), std::string::npos) << text;
}

}  // namespace
}  // namespace vemo::engine
