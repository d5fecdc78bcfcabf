// Time from a saved bill workbook to pages: the render copy alone, one
// LibreOffice render (a process with a seeded private profile per call), and
// a whole print to the default CUPS destination when one is reachable (run
// it under scripts/cups-sandbox.sh run DIR -- ...). The workbook is written
// by tests/host/output/data/make_output_book.py.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "host/output/cups_printer.h"
#include "host/output/office_renderer.h"
#include "host/output/output_print_service.h"
#include "host/output/render_copy.h"

namespace {
namespace fs = std::filesystem;

fs::path SourceDir() {
  const char* dir = std::getenv("VEMO_SOURCE_DIR");
  return dir ? fs::path(dir) : fs::path(__FILE__).parent_path().parent_path();
}

// The run's scratch folder, removed at exit.
struct BenchFolder {
  fs::path path = fs::temp_directory_path() / ("vemo_render_bench_" + std::to_string(::getpid()));
  BenchFolder() { fs::create_directories(path); }
  ~BenchFolder() {
    std::error_code ec;
    fs::remove_all(path, ec);
  }
};

// A two-sheet bill with Chinese text, made once per run.
const fs::path& Bill() {
  static BenchFolder folder;
  static const fs::path bill = [] {
    fs::path out = folder.path / "bill.xlsx";
    std::string command = "/usr/bin/python3 '" + (SourceDir() / "tests/host/output/data/make_output_book.py").string() +
                          "' '" + out.string() + "' --sheet 销售单 '客户：上海华联商贸有限公司' --sheet Two 'second'";
    if (std::system(command.c_str()) != 0) std::fprintf(stderr, "could not write %s\n", out.c_str());
    return out;
  }();
  return bill;
}

void BM_PrepareRenderCopy(benchmark::State& state) {
  const fs::path copy = Bill().parent_path() / "copy.xlsx";
  for (auto _ : state) benchmark::DoNotOptimize(vemo::host::PrepareRenderCopy(Bill(), 1, copy));
}
BENCHMARK(BM_PrepareRenderCopy)->Unit(benchmark::kMillisecond);

void BM_RenderToPdf(benchmark::State& state) {
  vemo::host::OfficeRenderer renderer;
  const fs::path pdf = Bill().parent_path() / "bill.pdf";
  for (auto _ : state) renderer.RenderToPdf(Bill(), pdf);
}
BENCHMARK(BM_RenderToPdf)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_PrintToDefaultPrinter(benchmark::State& state) {
  if (vemo::host::DefaultPrinterName().empty()) {
    state.SkipWithError("no default CUPS destination (run under scripts/cups-sandbox.sh run DIR -- ...)");
    return;
  }
  vemo::host::OutputPrintService service;
  for (auto _ : state) service.PrintWorkbook(Bill().string(), 1, 1);
}
BENCHMARK(BM_PrintToDefaultPrinter)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace
