// A disk that fills up at every step of an action: from each file write,
// flush or rename of the run on, all fail (tests/support/fail_writes.c,
// preloaded). The
// action then either succeeds with the whole document or fails with the
// cause on the error stream, the previous file untouched and no working
// file left behind; it never reports success over a wrong document.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <set>

#include "support/run_command.h"
#include "support/test_paths.h"

namespace vemo::app {
namespace {

namespace fs = std::filesystem;
using vemo::test::ShellQuote;

constexpr const char* kPrevious = "the previous export";

std::string ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// What a folder holds apart from `expected` (files the run may keep).
std::vector<std::string> Strays(const fs::path& folder, const std::set<std::string>& expected) {
  std::vector<std::string> strays;
  std::error_code ec;
  for (fs::recursive_directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
    if (it->is_regular_file() && !expected.count(it->path().filename().string())) strays.push_back(it->path().string());
  return strays;
}

// The first calls to fail: every one up to `most`, else that many spread
// evenly over the run, the first and the last among them.
std::vector<long> CallsToFail(long total, long most) {
  std::vector<long> calls;
  const long runs = std::min<long>(total, most);
  for (long i = 0; i < runs; ++i) calls.push_back(runs == 1 ? 1 : 1 + i * (total - 1) / (runs - 1));
  calls.erase(std::unique(calls.begin(), calls.end()), calls.end());
  return calls;
}

class WriteFaults : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!fs::exists(vemo::test::VemoprintPath())) GTEST_SKIP() << "vemoprint is not built at " << vemo::test::VemoprintPath();
    shim_ = vemo::test::VemoprintPath().parent_path() / "tests" / "libvemo_fail_writes.so";
    if (!fs::exists(shim_)) GTEST_SKIP() << "the write-fault library is not built at " << shim_;
    // A sanitized build needs its runtime loaded before anything else.
    const auto asan = vemo::test::RunCommand("ldd " + ShellQuote(vemo::test::VemoprintPath()) + " | awk '/libasan/ {print $3}'");
    preload_ = asan.output.empty() ? shim_.string() : asan.output.substr(0, asan.output.find('\n')) + " " + shim_.string();
    for (const char* folder : {"tmp", "machine", "out", "preview"}) fs::create_directories(dir_ / folder);
    // The host's program folder with the item label sample, as an installed host has it.
    const fs::path photos = dir_ / "machine/drive_c/Program Files/Quorvan/Tradon/Graphics/ItemPhotos";
    fs::create_directories(photos);
    fs::copy_file(Source("templates/商品标签模板.xlsx"), photos / "商品标签模板.xlsx");
    std::ofstream(dir_ / "machine" / "registry.json")
        << R"({"SOFTWARE\\Quorvan\\TRADON\\VemoSTD": {"Path": "C:\\Program Files\\Quorvan\\Tradon"}})";
    // A continuous print of two bills of one type.
    std::ifstream report(Source("requests/customer_statement_report.json"));
    std::string text((std::istreambuf_iterator<char>(report)), std::istreambuf_iterator<char>());
    text.insert(text.rfind('}'), R"(, "PrintData": [{"FTranType": 1}, {"FTranType": 1}])");
    std::ofstream(dir_ / "batch.json") << text;
    ASSERT_EQ(Run("init --no-templates").status, 0);
    for (const char* registration : {"sales_invoice_plain.xlsx --bill-type 1020002 --sub-type 普通发票",
                                     "customer_statement_report.xlsx --report 10506 --sub-type 客户",
                                     "courier_waybill.xlsx --courier 3 --data-from 0"}) {
      const std::string text(registration);
      const std::size_t space = text.find(' ');
      ASSERT_EQ(Run("templates add " + ShellQuote(Source("templates/" + text.substr(0, space))) + text.substr(space)).status, 0);
    }
    // A continuous print uses the template without a sub-type.
    fs::copy_file(Source("templates/customer_statement_report.xlsx"), dir_ / "batch_statement.xlsx");
    ASSERT_EQ(Run("templates add " + ShellQuote(dir_ / "batch_statement.xlsx") + " --report 10506").status, 0);
  }
  static fs::path Source(const std::string& relative) { return vemo::test::SourceDir() / "examples" / relative; }
  vemo::test::CommandResult Run(const std::string& arguments, const std::string& environment = "") {
    return vemo::test::RunVemoprintIn(dir_.path(), arguments,
                                      "VEMO_PREVIEW_DIR=" + ShellQuote(dir_ / "preview") + " VEMO_PREVIEW_TO_FOLDER=1 " + environment);
  }
  // The number of counted calls of a clean run, which must succeed.
  long CountCalls(const std::string& arguments) {
    const fs::path count = dir_ / "count.txt";
    auto clean = Run(arguments, "LD_PRELOAD=" + ShellQuote(preload_) + " VEMO_FAIL_WRITE_COUNT=" + ShellQuote(count));
    EXPECT_EQ(clean.status, 0) << clean.output;
    const std::string counted = ReadAll(count);
    return counted.empty() ? 0 : std::stol(counted);
  }
  vemo::test::TempDir dir_;
  fs::path shim_;
  std::string preload_;
};

TEST_F(WriteFaults, EveryFailedWriteFailsTheActionAndLeavesNothingHalfWritten) {
  struct Case {
    const char* action;
    const char* request;     // below examples/requests, or the test's own
    bool exports;            // writes --out, which then holds the previous export until success
    const char* success;     // what the action says when it succeeded
    long most;               // runs at most (a preview renders for seconds): the suite's time stays bounded
  };
  std::vector<Case> cases = {
      {"bill export", "sales_invoice_plain.json", true, "引出文件成功", 24},
      {"report export", "customer_statement_report.json", true, "report export: done", 24},
      {"waybill export", "courier_waybill.json", true, "waybill export: done", 24},
      {"label export", "商品标签模板.json", true, "label export: done", 24},
      {"batch export", "batch.json", true, "batch export: done", 24},
      {"bill preview", "sales_invoice_plain.json", false, "the preview is in", 8},
  };
  // Printing needs the private print server of scripts/cups-sandbox.sh.
  if (std::getenv("VEMO_CUPS_SANDBOX") && std::getenv("CUPS_SERVER"))
    cases.push_back({"bill print", "sales_invoice_plain.json", false, "bill print: done", 8});
  const std::string tempFolder = "vemoprint-" + std::to_string(::getuid());
  for (const Case& c : cases) {
    SCOPED_TRACE(c.action);
    const fs::path out = dir_ / "out" / "document.xlsx";
    const fs::path own = dir_ / c.request;
    const std::string arguments = std::string(c.action) + " " +
                                  ShellQuote(fs::exists(own) ? own : Source(std::string("requests/") + c.request)) +
                                  (c.exports ? " --out " + ShellQuote(out) : "") + " --no";
    std::ofstream(out, std::ios::binary) << kPrevious;
    const long total = CountCalls(arguments);
    ASSERT_GT(total, 2) << "the run wrote almost nothing: the library is not counting";
    const std::string whole = c.exports ? ReadAll(out) : "";
    for (long call : CallsToFail(total, c.most)) {
      SCOPED_TRACE("failing call " + std::to_string(call) + " of " + std::to_string(total));
      fs::remove_all(dir_ / "preview");
      fs::create_directories(dir_ / "preview");
      std::ofstream(out, std::ios::binary) << kPrevious;
      auto run = Run(arguments, "LD_PRELOAD=" + ShellQuote(preload_) + " VEMO_FAIL_WRITE_FROM=" + std::to_string(call));
      const bool said = run.output.find(c.success) != std::string::npos;
      if (run.status == 0) {
        EXPECT_TRUE(said) << run.output;
        if (c.exports) {
          EXPECT_TRUE(ReadAll(out) == whole) << "not the document a clean run writes:\n" << run.output;
        }
      } else {
        EXPECT_FALSE(said) << "success was announced for a failed action:\n" << run.output;
        EXPECT_NE(run.output.find("No space left on device"), std::string::npos) << "the cause was not told:\n" << run.output;
        EXPECT_EQ(ReadAll(out), kPrevious) << run.output;
        EXPECT_TRUE(fs::is_empty(dir_ / "preview")) << run.output;
      }
      EXPECT_EQ(Strays(dir_ / "out", {"document.xlsx"}), std::vector<std::string>{}) << run.output;
      // The fixed working file of print, preview and the report check stays by design.
      EXPECT_EQ(Strays(dir_ / "tmp", {"Tem1.xlsx", "Tem1.xlsx.lock"}), std::vector<std::string>{}) << run.output;
    }
  }
}

}  // namespace
}  // namespace vemo::app
