// Speed of the spreadsheet engine's heavy steps, one at a time:
//   - open + save of a real workbook from the shared corpus;
//   - row insertion with a copied row on a 10,000-row sheet (the entry-row
//     expansion of a bill);
//   - Find through the surface over a large sheet (the keyword scan);
//   - deflating a long sheet part on 1 and 2 threads (wall time).
// The whole-process figure for a complete fill is surface_fill_tool with
// compare.sh (bench/README.md). Number formatting is number_format_bench.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

#include "foundation/creation_service.h"
#include "host/spreadsheet/spreadsheet_application.h"
#include "host/spreadsheet/spreadsheet_interfaces.h"
#include "workbook/zip/deflate_blocks.h"
#include "workbook/structural_edit.h"
#include "workbook/workbook.h"
#include "workbook/zip/zip_package.h"

namespace {

namespace fs = std::filesystem;

fs::path ScratchDir() {
  static const fs::path dir = [] {
    fs::path d = fs::temp_directory_path() / ("vemo-workbook-bench-" + std::to_string(getpid()));
    fs::create_directories(d);
    std::atexit([] {
      std::error_code ec;
      fs::remove_all(fs::temp_directory_path() / ("vemo-workbook-bench-" + std::to_string(getpid())), ec);
    });
    return d;
  }();
  return dir;
}

fs::path SharedDir() {
  const char* dir = std::getenv("VEMO_SHARED_DIR");
  // The shared material lies beside the checkout (run from its top folder).
  return dir ? fs::path(dir) : fs::current_path().parent_path() / "shared";
}

// A bill-like sheet of `rows` rows written as package XML: a header row, then
// rows of code, name (shared string), unit, quantity, price and a formula
// amount, a SUM total below them, and one "[$$Page2_FNumber]" keyword in the
// last row's first cell so a scan has to walk the whole sheet to find it.
fs::path MakeLargeWorkbook(int rows) {
  fs::path path = ScratchDir() / ("large-" + std::to_string(rows) + ".xlsx");
  if (fs::exists(path)) return path;
  std::string sheet =
      "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
      "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"><sheetData>";
  std::string strings;
  int stringCount = 0;
  auto addString = [&](const std::string& s) {
    strings += "<si><t>" + s + "</t></si>";
    return stringCount++;
  };
  const int header = addString("Code"), name = addString("Name"), keyword = addString("[$$Page2_FNumber]");
  const int units[] = {addString("pcs"), addString("kg"), addString("m")};
  sheet += "<row r=\"1\"><c r=\"A1\" t=\"s\"><v>" + std::to_string(header) + "</v></c><c r=\"B1\" t=\"s\"><v>" +
           std::to_string(name) + "</v></c></row>";
  for (int r = 2; r <= rows; ++r) {
    const std::string n = std::to_string(r);
    const int first = r == rows ? keyword : addString("Item " + n);
    sheet += "<row r=\"" + n + "\"><c r=\"A" + n + "\"><v>" + n + "</v></c><c r=\"B" + n + "\" t=\"s\"><v>" +
             std::to_string(first) + "</v></c><c r=\"C" + n + "\" t=\"s\"><v>" + std::to_string(units[r % 3]) +
             "</v></c><c r=\"D" + n + "\"><v>" + std::to_string(r % 50 + 1) + "</v></c><c r=\"E" + n + "\"><v>" +
             std::to_string(r % 997) + ".25</v></c><c r=\"F" + n + "\"><f>D" + n + "*E" + n + "</f></c></row>";
  }
  const std::string total = std::to_string(rows + 1);
  sheet += "<row r=\"" + total + "\"><c r=\"F" + total + "\"><f>SUM(F2:F" + std::to_string(rows) +
           ")</f></c></row></sheetData><mergeCells count=\"1\"><mergeCell ref=\"A" + total + ":E" + total +
           "\"/></mergeCells></worksheet>";

  vemo::wb::ZipPackage package;
  package.Put("[Content_Types].xml",
              "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
              "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
              "<Default Extension=\"rels\" ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
              "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
              "<Override PartName=\"/xl/workbook.xml\" "
              "ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml\"/>"
              "<Override PartName=\"/xl/worksheets/sheet1.xml\" "
              "ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml\"/>"
              "<Override PartName=\"/xl/sharedStrings.xml\" "
              "ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.sharedStrings+xml\"/>"
              "</Types>");
  package.Put("_rels/.rels",
              "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
              "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
              "<Relationship Id=\"rId1\" "
              "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument\" "
              "Target=\"xl/workbook.xml\"/></Relationships>");
  package.Put("xl/workbook.xml",
              "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
              "<workbook xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
              "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">"
              "<sheets><sheet name=\"Bill\" sheetId=\"1\" r:id=\"rId1\"/></sheets></workbook>");
  package.Put("xl/_rels/workbook.xml.rels",
              "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
              "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
              "<Relationship Id=\"rId1\" "
              "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet\" "
              "Target=\"worksheets/sheet1.xml\"/>"
              "<Relationship Id=\"rId2\" "
              "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/sharedStrings\" "
              "Target=\"sharedStrings.xml\"/></Relationships>");
  package.Put("xl/worksheets/sheet1.xml", sheet);
  package.Put("xl/sharedStrings.xml",
              "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
              "<sst xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" count=\"" +
                  std::to_string(stringCount) + "\" uniqueCount=\"" + std::to_string(stringCount) + "\">" + strings +
                  "</sst>");
  package.WriteFile(path);
  return path;
}

// Open + save of one corpus workbook, whole (reader, model, writer).
void BM_OpenSaveCorpusFile(benchmark::State& state, const char* name) {
  const fs::path in = SharedDir() / "corpus/xlsx" / name;
  if (!fs::exists(in)) {
    state.SkipWithError(("missing corpus file " + in.string() + "; set VEMO_SHARED_DIR").c_str());
    return;
  }
  const fs::path out = ScratchDir() / "saved.xlsx";
  for (auto _ : state) {
    auto book = vemo::wb::Workbook::Open(in);
    book->Save(out);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * fs::file_size(in)));
}
// The corpus's largest plain-data workbook and one heavy with merges.
BENCHMARK_CAPTURE(BM_OpenSaveCorpusFile, stress024, "stress024.xlsx")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_OpenSaveCorpusFile, many_merges, "57893-many-merges.xlsx")->Unit(benchmark::kMillisecond);

// Open + save of the generated 10,000-row sheet: the fixed cost a large
// template adds to every fill.
void BM_OpenSaveLargeSheet(benchmark::State& state) {
  const fs::path in = MakeLargeWorkbook(static_cast<int>(state.range(0)));
  const fs::path out = ScratchDir() / "saved-large.xlsx";
  for (auto _ : state) {
    auto book = vemo::wb::Workbook::Open(in);
    book->Save(out);
  }
}
BENCHMARK(BM_OpenSaveLargeSheet)->Arg(10000)->Unit(benchmark::kMillisecond);

// Deflating about 28 MiB of bill-like sheet text (the 100,000-line bill's
// sheet part) on N threads: the bytes are the same for every N, only the
// wall time may differ.
void BM_DeflateSheetText(benchmark::State& state) {
  static const std::string text = [] {
    std::string t;
    for (int r = 1; t.size() < (28u << 20); ++r) {
      const std::string n = std::to_string(r);
      t += "<row r=\"" + n + "\"><c r=\"B" + n + "\" s=\"3\" t=\"s\"><v>" + std::to_string(r % 700 + 20) +
           "</v></c><c r=\"C" + n + "\" s=\"4\"><v>" + std::to_string(r % 50 + 1) + "</v></c><c r=\"D" + n +
           "\" s=\"5\"><v>" + std::to_string((r * 37) % 9973) + ".5</v></c><c r=\"E" + n +
           "\" s=\"5\"><f>C" + n + "*D" + n + "</f><v>" + std::to_string(r % 50 * 3) + "</v></c></row>";
    }
    return t;
  }();
  for (auto _ : state) benchmark::DoNotOptimize(vemo::wb::DeflateBytes(text, static_cast<unsigned>(state.range(0))));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_DeflateSheetText)->Arg(1)->Arg(2)->UseRealTime()->Unit(benchmark::kMillisecond);

// InsertRows copying row 5,000 of a 10,000-row sheet `count` times above
// itself: every cell below moves and every formula is rewritten. Opening the
// workbook again for each run is not timed.
void BM_InsertRowsWithCopy(benchmark::State& state) {
  const fs::path in = MakeLargeWorkbook(10000);
  const int count = static_cast<int>(state.range(0));
  for (auto _ : state) {
    state.PauseTiming();
    auto book = vemo::wb::Workbook::Open(in);
    state.ResumeTiming();
    vemo::wb::InsertRows(*book, book->GetSheet(0), 5000, count, 5000);
    benchmark::DoNotOptimize(book->GetSheet(0).rows().size());
    state.PauseTiming();
    book.reset();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_InsertRowsWithCopy)->Arg(1)->Arg(100)->Arg(10000)->Unit(benchmark::kMillisecond);

// Range.Find through the surface over a 100,000-row sheet: once for the
// keyword in the last row (a full walk that ends in a hit) and once for text
// that is nowhere (a full walk, no hit).
void BM_SurfaceFind(benchmark::State& state, const char* what) {
  const fs::path in = MakeLargeWorkbook(100000);
  vemo::host::RegisterSpreadsheetApplication();
  auto app = vemo::CreateObjectAs<vemo::host::IApplication>(vemo::host::kSpreadsheetProgId);
  auto book = app->Workbooks()->Open(in.string());
  auto scan = book->Worksheets()->Item(1)->UsedRange();
  for (auto _ : state) benchmark::DoNotOptimize(scan->Find(what));
  app->Quit();
}
BENCHMARK_CAPTURE(BM_SurfaceFind, keyword_in_last_row, "[$$")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_SurfaceFind, absent_text, "[$Page9_None]")->Unit(benchmark::kMillisecond);

}  // namespace
