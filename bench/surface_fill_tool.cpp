// surface_fill_tool --template T --request R --out O [--phases]
//
// Benchmark driver, measured as a whole process against the from-scratch
// floor (bench/README.md): fills the benchmark bill template through the
// spreadsheet surface ("ET.Application") the way a template engine does.
// It is NOT the template engine: it knows one page layout (head keywords
// "[$PageN_Name]", one entry row of "[$$PageN_Name]" keywords) and nothing of
// the engine's other rules.
//
//   1. open the template;
//   2. find the entry row (first "[$$" keyword) and expand it to one row per
//      bill line: Rows(r).Copy, Rows(r).Resize(N-1).Insert(xlShiftDown, 0);
//   3. write head values and entry values from the request file;
//   4. check the total formula below the entry block grew with it (the
//      insertion moves it; the driver never rewrites it);
//   5. add the margin row and column (Rows(1).Insert, Columns(1).Insert);
//   6. SaveAs the output.
// --phases prints each step's wall time and the peak memory so far to stderr.
// Exit status: 0 done, 1 bad input or a failed step (message on stderr).
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <iostream>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <string_view>

#include "foundation/creation_service.h"
#include "foundation/host_collections.h"
#include "foundation/json_convert.h"
#include "host/spreadsheet/spreadsheet_application.h"
#include "host/spreadsheet/spreadsheet_interfaces.h"

namespace {

using namespace vemo;
using namespace vemo::host;

struct Options {
  std::string templatePath, requestPath, outPath;
  bool phases = false;
};

// Step timing for --phases: wall seconds of the step, peak RSS so far.
class PhaseLog {
 public:
  explicit PhaseLog(bool on) : on_(on) {}
  void Done(const char* step) {
    if (!on_) return;
    auto now = std::chrono::steady_clock::now();
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::cerr << "phase " << step << ": " << std::chrono::duration<double>(now - last_).count() << " s, peak "
              << usage.ru_maxrss / 1024.0 << " MiB\n";
    last_ = now;
  }

 private:
  bool on_;
  std::chrono::steady_clock::time_point last_ = std::chrono::steady_clock::now();
};

Options ParseArgs(int argc, char** argv) {
  Options o;
  for (int i = 1; i < argc; ++i) {
    std::string_view arg = argv[i];
    if (arg == "--phases") {
      o.phases = true;
      continue;
    }
    if (i + 1 >= argc) throw std::runtime_error("option " + std::string(arg) + " needs a value");
    std::string value = argv[++i];
    if (arg == "--template") o.templatePath = value;
    else if (arg == "--request") o.requestPath = value;
    else if (arg == "--out") o.outPath = value;
    else throw std::runtime_error("unknown option " + std::string(arg));
  }
  if (o.templatePath.empty() || o.requestPath.empty() || o.outPath.empty())
    throw std::runtime_error("usage: surface_fill_tool --template T.xlsx --request R.json --out O.xlsx");
  return o;
}

// A keyword cell's text "[$Page1_FBillNo]" or "[$$Page2_FQty]".
struct Keyword {
  bool entry = false;
  std::string page;  // "Page2"
  std::string name;  // "FQty"
};

std::optional<Keyword> ParseKeyword(std::string_view text) {
  Keyword k;
  if (text.rfind("[$$", 0) == 0) {
    k.entry = true;
    text.remove_prefix(3);
  } else if (text.rfind("[$", 0) == 0) {
    text.remove_prefix(2);
  } else {
    return std::nullopt;
  }
  auto underscore = text.find('_');
  if (text.rfind("Page", 0) != 0 || underscore == std::string_view::npos || text.empty() || text.back() != ']')
    return std::nullopt;
  k.page = std::string(text.substr(0, underscore));
  k.name = std::string(text.substr(underscore + 1, text.size() - underscore - 2));
  return k;
}

// The request's values: TableInfo.Map turns a template name into the key the
// Data pages use; each value is {"FFLD": stored, ...}.
class Request {
 public:
  Request(const std::string& path, PhaseLog& log) {
    root_ = ReadJsonFile(path).AsObject<HostDictionary>();
    log.Done("read request JSON");
    if (!root_) throw std::runtime_error("the request file " + path + " is not a JSON object");
    map_ = Dict(Dict(root_->Value("TableInfo"), "TableInfo")->Value("Map"), "TableInfo.Map");
    data_ = Dict(root_->Value("Data"), "Data");
  }

  Variant HeadValue(const Keyword& k) const {
    return Stored(Dict(data_->Value(k.page), "Data." + k.page)->Value(Key(k)));
  }
  VectorRef Lines(const std::string& page) const {
    auto lines = data_->Value(page).AsObject<HostVector>();
    if (!lines) throw std::runtime_error("the request's Data." + page + " is not a list of lines");
    return lines;
  }
  std::string Key(const Keyword& k) const {
    Variant key = map_->Value(k.name);
    if (key.IsEmpty()) throw std::runtime_error("the request's TableInfo.Map has no field " + k.name);
    return key.ToText();
  }
  static Variant Stored(const Variant& field) {
    auto dict = field.AsObject<HostDictionary>();
    return dict ? dict->Value("FFLD") : Variant();
  }
  static DictionaryRef Dict(const Variant& v, const std::string& what) {
    auto dict = v.AsObject<HostDictionary>();
    if (!dict) throw std::runtime_error("the request has no object " + what);
    return dict;
  }

 private:
  DictionaryRef root_, map_, data_;
};

void FillWith(const Options& o, PhaseLog& log);

void Fill(const Options& o) {
  PhaseLog log(o.phases);
  FillWith(o, log);
  log.Done("free the request and the application");  // destructors: part of the process's time
}

void FillWith(const Options& o, PhaseLog& log) {
  Request request(o.requestPath, log);
  log.Done("request to host values");

  RegisterSpreadsheetApplication();
  auto app = CreateObjectAs<IApplication>(kSpreadsheetProgId);
  app->SetDisplayAlerts(false);
  auto book = app->Workbooks()->Open(o.templatePath);
  auto sheet = book->Worksheets()->Item(1);
  auto scan = sheet->UsedRange();
  log.Done("open template");

  // The entry row and its page, from the first entry keyword.
  std::shared_ptr<IRange> first;
  std::set<std::string> visited;
  for (auto cell = scan->Find("[$$"); cell && visited.insert(cell->Address()).second; cell = scan->FindNext(cell))
    if (ParseKeyword(cell->Text())) {
      first = cell;
      break;
    }
  if (!first) throw std::runtime_error("the template has no entry row ([$$PageN_Name] keyword)");
  const int entryRow = first->Row();
  const std::string entryPage = ParseKeyword(first->Text())->page;
  VectorRef lines = request.Lines(entryPage);
  const int n = lines->Size();

  // The total below the entry row, to check after the expansion.
  std::shared_ptr<IRange> total;
  visited.clear();
  for (auto cell = scan->Find("=SUM("); cell && visited.insert(cell->Address()).second; cell = scan->FindNext(cell))
    if (cell->Row() > entryRow) {
      total = cell;
      break;
    }

  if (n > 1) {
    sheet->Rows(entryRow)->Copy();
    sheet->Rows(entryRow)->Resize(n - 1)->Insert(kShiftDown, 0);
  }
  log.Done("find and expand the entry row");

  // Every keyword cell once, in scan order. After the expansion the found
  // entry cell is the last copy (the original row moved down), so line i
  // goes to row entryRow + i.
  std::set<std::string> seen;
  for (auto cell = scan->Find("[$"); cell && seen.insert(cell->Address()).second; cell = scan->FindNext(cell)) {
    auto keyword = ParseKeyword(cell->Text());
    if (!keyword) continue;
    if (!keyword->entry) {
      cell->SetValue(request.HeadValue(*keyword));
      continue;
    }
    if (keyword->page != entryPage) continue;  // one entry table is all this driver knows
    const std::string key = request.Key(*keyword);
    const int col = cell->Column();
    if (n == 0) cell->SetValue(Variant());
    for (int i = 0; i < n; ++i) {
      auto line = Request::Dict(lines->Item(i + 1), entryPage + " line");
      sheet->Cells(entryRow + i, col)->SetValue(Request::Stored(line->Value(key)));
    }
  }

  log.Done("write values");

  if (total) {
    const std::string lastRow = std::to_string(entryRow + std::max(n, 1) - 1);
    const std::string formula = total->Formula();
    if (formula.find(lastRow + ")") == std::string::npos)
      throw std::runtime_error("the total " + total->Address() + " reads " + formula +
                               " after the expansion; its range should end at row " + lastRow);
  }

  sheet->Rows(1)->Insert(kShiftDown);
  sheet->Columns(1)->Insert(kShiftToRight);
  log.Done("margin row and column");
  SaveAsOptions save;
  save.fileName = o.outPath;
  save.fileFormat = kFileFormatXlsx;
  book->SaveAs(save);
  log.Done("save");
  book->Close(false);
  app->Quit();
  log.Done("close");
}

}  // namespace

int main(int argc, char** argv) {
  try {
    Fill(ParseArgs(argc, argv));
    return 0;
  } catch (const std::exception& e) {
    std::cerr << "surface_fill_tool: " << e.what() << "\n";
    return 1;
  }
}
