// A disk that fills up at each step of an action: from every file write,
// flush, copy or rename of a run on, all fail (tests/support/fail_writes.c).
// The action must then fail with the cause, leave the previous file and no
// working file, or succeed with the whole document; never report success
// over a wrong one.
#include <gtest/gtest.h>

#include <fstream>

#include "app_fixture.h"
#include "support/files.h"

namespace vemo::app::test {
namespace {

namespace fs = std::filesystem;

TEST(WriteFaults, AFullDiskFailsTheActionWithItsCauseAndLeavesNothingHalfWritten) {
  const fs::path shim = vemo::test::VemoprintPath().parent_path() / "tests/libvemo_fail_writes.so";
  if (!fs::exists(shim)) GTEST_SKIP() << "vemoprint or the write-fault library is not built";
  // A sanitized build needs its runtime loaded first.
  const std::string asan = vemo::test::RunCommand("ldd " + ShellQuote(vemo::test::VemoprintPath()) + " | awk '/libasan/ {printf $3 \" \"}'").output;
  vemo::test::TempDir dir;
  const fs::path examples = vemo::test::SourceDir() / "examples", out = dir / "out/document.xlsx";
  InstallHostLabelSample(dir.path());
  fs::create_directories(dir / "out");
  fs::create_directories(dir / "tmp");
  auto run = [&](const std::string& arguments, const std::string& environment = "") {
    return vemo::test::RunVemoprintIn(dir.path(), arguments, "VEMO_PREVIEW_DIR=" + ShellQuote(dir / "preview") +
                                                                 " VEMO_PREVIEW_TO_FOLDER=1 LD_PRELOAD=" + ShellQuote(asan + shim.string()) + " " + environment);
  };
  ASSERT_EQ(run("init --no-templates").status, 0);
  const auto request = [&](const char* name) { return ShellQuote(examples / "requests" / name); };
  for (const std::string& registration : {ShellQuote(examples / "templates/sales_invoice_plain.xlsx") + " --bill-type 1020002 --sub-type 普通发票",
                                         ShellQuote(examples / "templates/customer_statement_report.xlsx") + " --report 10506 --sub-type 客户",
                                         ShellQuote(examples / "templates/courier_waybill.xlsx") + " --courier 3 --data-from 0"})
    ASSERT_EQ(run("templates add " + registration).status, 0);
  struct Case {
    std::string arguments;
    std::string outOption;  // the option naming the file written ("" for print and preview)
    std::string success;    // what the action says when it has succeeded
    long runs;              // at most (a preview renders for seconds)
  };
  std::vector<Case> cases = {
      {"bill export --no " + request("sales_invoice_plain.json"), "--out", "引出文件成功", 24},
      {"report export --no " + request("customer_statement_report.json"), "--out", "report export: done", 24},
      {"waybill export --no " + request("courier_waybill.json"), "--out", "waybill export: done", 24},
      {"label export --no " + request("商品标签模板.json"), "--out", "label export: done", 24},
      {"fill --template " + ShellQuote(examples / "templates/sales_invoice_plain.xlsx") + " --request " + request("sales_invoice_plain.json"), "--out", "filled " + out.string(), 24},
      {"templates export --bill-type 1020002 --sub-type 普通发票", "--to", "wrote the template", 24},
      {"bill preview " + request("sales_invoice_plain.json"), "", "the preview is in", 8},
  };
  if (std::getenv("VEMO_CUPS_SANDBOX") && std::getenv("CUPS_SERVER"))  // the print server of scripts/cups-sandbox.sh
    cases.push_back({"bill print " + request("sales_invoice_plain.json"), "", "bill print: done", 5});
  for (const Case& c : cases) {
    SCOPED_TRACE(c.arguments);
    const std::string arguments = c.arguments + (c.outOption.empty() ? "" : " " + c.outOption + " " + ShellQuote(out));
    std::ofstream(out) << "previous";
    ASSERT_EQ(run(arguments, "VEMO_FAIL_WRITE_COUNT=" + ShellQuote(dir / "count")).status, 0);
    const long total = std::stol("0" + vemo::test::ReadFileBytes(dir / "count")), runs = std::min(total, c.runs);
    const std::string whole = vemo::test::ReadFileBytes(out);
    ASSERT_GT(total, 2) << "the library counted almost nothing";
    for (long i = 0; i < runs; ++i) {  // the first and the last call among them, the others spread between
      const long from = 1 + i * (total - 1) / std::max(runs - 1, 1L);
      SCOPED_TRACE("full from call " + std::to_string(from) + " of " + std::to_string(total));
      fs::remove_all(dir / "preview");
      std::ofstream(out) << "previous";
      auto result = run(arguments, "VEMO_FAIL_WRITE_FROM=" + std::to_string(from));
      const bool said = result.output.find(c.success) != std::string::npos;
      EXPECT_EQ(said, result.status == 0) << result.output;
      EXPECT_EQ(vemo::test::ReadFileBytes(out), result.status == 0 ? whole : "previous") << result.output;
      if (result.status != 0) {
        EXPECT_NE(result.output.find("No space left on device"), std::string::npos) << result.output;
        EXPECT_FALSE(fs::exists(dir / "preview") && !fs::is_empty(dir / "preview"));
      }
      std::vector<std::string> strays;  // the fixed working file of print and preview stays by design
      for (const auto& entry : fs::recursive_directory_iterator(dir / "tmp"))
        if (entry.is_regular_file() && entry.path().filename().string().rfind("Tem1.xlsx", 0) != 0) strays.push_back(entry.path());
      for (const auto& entry : fs::directory_iterator(dir / "out"))
        if (entry.path() != out) strays.push_back(entry.path());
      EXPECT_EQ(strays, std::vector<std::string>{}) << result.output;
    }
  }
}

}  // namespace
}  // namespace vemo::app::test
