// Find over a long sheet: the keyword scan of a 100,000-row workbook must not
// visit empty cells or copy the sheet. The workbook is made once by the
// surface's own test fixture script and filled through the surface.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "host/spreadsheet/spreadsheet_application.h"

namespace {

using namespace vemo::host;

struct LongSheet {
  std::shared_ptr<SurfaceApplication> app;
  std::shared_ptr<IWorksheet> sheet;
  std::shared_ptr<IRange> used;
};

LongSheet& Sheet() {
  static LongSheet data = [] {
    const char* source = std::getenv("VEMO_SOURCE_DIR");
    std::filesystem::path root = source ? source : ".";
    auto file = std::filesystem::temp_directory_path() / "vemo_surface_find_bench.xlsx";
    std::string command = "/usr/bin/python3 '" + (root / "tests/host/spreadsheet/data/make_surface_book.py").string() +
                          "' '" + file.string() + "'";
    if (std::system(command.c_str()) != 0) throw std::runtime_error("cannot make the bench workbook: " + command);
    LongSheet s;
    s.app = SurfaceApplication::Create();
    s.sheet = s.app->Workbooks()->Open(file.string())->Worksheets()->Item(1);
    for (int r = 21; r <= 100'020; ++r) {
      s.sheet->Cells(r, 1)->SetValue(r);
      s.sheet->Cells(r, 2)->SetValue(std::string("item ") + std::to_string(r));
      s.sheet->Cells(r, 4)->SetFormula("=A" + std::to_string(r) + "*2");
    }
    s.sheet->Cells(100'020, 3)->SetValue("[$Page1_FDeep]");
    s.used = s.sheet->UsedRange();
    std::filesystem::remove(file);
    return s;
  }();
  return data;
}

// One Find that has to walk all rows to the keyword in the last one.
void FindInLastRow(benchmark::State& state) {
  auto& s = Sheet();
  for (auto _ : state) {
    auto hit = s.used->Find("[$Page1_FDeep]");
    benchmark::DoNotOptimize(hit);
  }
  state.SetItemsProcessed(state.iterations() * 300'000);
}
BENCHMARK(FindInLastRow)->Unit(benchmark::kMillisecond);

// The keyword scan's pattern: Find, then FindNext until the address repeats.
void ScanAllKeywords(benchmark::State& state) {
  auto& s = Sheet();
  for (auto _ : state) {
    auto first = s.used->Find("[$");
    std::string firstAddress = first->Address();
    int found = 1;
    for (auto cell = s.used->FindNext(first); cell && cell->Address() != firstAddress; cell = s.used->FindNext(cell))
      ++found;
    benchmark::DoNotOptimize(found);
  }
}
BENCHMARK(ScanAllKeywords)->Unit(benchmark::kMillisecond);

}  // namespace
