// vemoprint fill on every sample of examples/, checked by tools that share no
// code with ours: xlsxdiff.py (the output equals the template after the
// entry rows are copied and the margin row and column inserted, apart from
// the filled cells), openpyxl (the values examples/README.md expects), and,
// with VEMO_LO_CHECK=1, LibreOffice (it computes the same totals from the
// live SUM formulas and the keyword formulas).
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <map>
#include <optional>
#include <tuple>
#include <sstream>
#include <vector>

#include "app_fixture.h"
#include "support/run_command.h"
#include "support/test_paths.h"

namespace {

using vemo::test::CommandResult;
using vemo::test::RunCommand;
using vemo::test::ShellQuote;

struct EntryTable {
  int row;     // the keyword row, in the coordinates after the tables above it grew
  int copies;  // lines - 1
};

struct Example {
  const char* name;
  const char* engine;
  std::vector<EntryTable> entries;
  bool margins;
  // Output cell -> content as openpyxl reads it.
  std::vector<std::pair<const char*, const char*>> cells;
  // Output cell -> value LibreOffice computes (first sheet as CSV).
  std::vector<std::pair<const char*, const char*>> computed;
};

const char* const kCompany = "维默示范茶业贸易有限公司";  // the sample account's profile

std::vector<Example> Examples() {
  return {
      {"sales_invoice_vat", "bill", {{9, 4}}, true,
       {{"B2", kCompany}, {"C5", "XSFP-202612-0005"}, {"F5", "2026-12-03"}, {"I5", "增值税发票"},
        {"C6", "鼎盛百货有限公司"}, {"G7", "杭州城东商业银行湖墅支行 3301 0402 1688 0052 17"},
        {"B10", "1"}, {"B14", "5"}, {"C10", "SP-1001"}, {"C14", "SP-3022"}, {"D11", "陶瓷马克杯"}, {"E12", "40×28cm"},
        {"G10", "300"}, {"H10", "38.5"}, {"I10", "11550"}, {"I14", "2880"}, {"J12", "13"}, {"K13", "329.55"},
        {"L14", "3254.4"}, {"M10", "=0+300*38.5"}, {"M14", "=0+300*9.6"},
        {"I15", "22225"}, {"K15", "2889.25"}, {"L15", "25114.25"},
        {"G15", "=SUM(G9:G14)"}, {"M15", "=SUM(M9:M14)"}, {"J17", "Administrator"}, {"C18", "王晓燕"},
        {"B15", "合  计"}, {"height:1", "10"}, {"width:A", "1"}},
       {{"G15", "1010"}, {"I15", "22225"}, {"K15", "2889.25"}, {"L15", "25114.25"}, {"M15", "22225"},
        {"M10", "11550"}}},
      {"sales_invoice_plain", "bill", {{8, 2}}, true,
       {{"C5", "XSFP-202612-0006"}, {"I5", "普通发票"}, {"B9", "1"}, {"B11", "3"}, {"C9", "BG-0101"},
        {"D11", "文件夹"}, {"G10", "40"}, {"H11", "6.25"}, {"I9", "1175"}, {"J10", "=0+40*18"}, {"I12", "2520"},
        {"G12", "=SUM(G8:G11)"}, {"J12", "=SUM(J8:J11)"}, {"C15", "王晓燕"}},
       {{"G12", "190"}, {"J12", "2520"}, {"I12", "2520"}, {"J10", "720"}}},
      {"purchase_order", "bill", {{9, 5}}, true,
       {{"C5", "CGDD-202612-0002"}, {"I5", "2026-12-15"}, {"C6", "恒通五金制品有限公司"}, {"H7", "月结30天"},
        {"B15", "6"}, {"C10", "WL-5001"}, {"D15", "油漆稀释剂"}, {"G12", "2000"}, {"H11", "186"},
        {"I13", "240"}, {"J10", "2026-12-10"}, {"J15", "2026-12-15"}, {"K14", "=0+15*268"}, {"I16", "37890"},
        {"G16", "=SUM(G9:G15)"}, {"K16", "=SUM(K9:K15)"}},
       {{"G16", "4555"}, {"K16", "37890"}, {"I16", "37890"}, {"K11", "22320"}}},
      {"receipt", "bill", {{11, 2}}, true,
       {{"C5", "SK-202612-0003"}, {"H5", "销售收款"}, {"H7", "否"}, {"C9", "29850.5"}, {"F9", "收回11月货款"},
        {"B12", "1"}, {"C13", "销售发票"}, {"D14", "XSFP-202611-0031"}, {"E12", "2026-11-05"}, {"F13", "9850.5"},
        {"G12", "6600"}, {"H14", "8000"}, {"I12", "=0+18600-6600-12000"}, {"I13", "=0+9850.5-0-9850.5"},
        {"H15", "29850.5"}, {"F15", "=SUM(F11:F14)"}, {"I15", "=SUM(I11:I14)"}, {"H18", "刘芳"}},
       {{"F15", "43770.5"}, {"G15", "6600"}, {"H15", "29850.5"}, {"I15", "7320"}, {"I12", "0"}, {"I14", "7320"},
        {"C9", "29850.5"}}},
      {"stock_transfer", "bill", {{8, 3}}, true,
       {{"C5", "DB-202612-0004"}, {"I5", "异价调拨"}, {"C6", "总仓"}, {"F6", "华南分仓"}, {"B12", "4"},
        {"C9", "SP-1001"}, {"G12", "500"}, {"H9", "26.4"}, {"I10", "930"}, {"J11", "11.2"}, {"K12", "3150"},
        {"L9", "=0+80*(27-26.4)"}, {"L12", "=0+500*(6.3-6.1)"}, {"I13", "7172"}, {"K13", "7405"},
        {"G13", "=SUM(G8:G12)"}, {"L13", "=SUM(L8:L12)"}},
       {{"G13", "710"}, {"L13", "233"}, {"L9", "48"}, {"I13", "7172"}, {"K13", "7405"}}},
      // Lines 1-3 the advances of Page2, line 4 预收合计, lines 5-6 past the
      // end of Page2, line 7 应收合计; every other cell of lines 4-7 empty.
      {"offset_bill", "bill", {{9, 6}, {19, 1}}, true,
       {{"C5", "HX-202612-0001"}, {"H5", "预收冲应收"}, {"C6", "瑞丰商贸有限公司"}, {"B10", "1"}, {"B16", "7"},
        {"C10", "YSK-202610-0007"}, {"C12", "YSK-202611-0003"}, {"C13", "预收合计"}, {"C14", "(empty)"},
        {"C15", "(empty)"}, {"C16", "应收合计"}, {"D13", "(empty)"}, {"F13", "(empty)"}, {"G16", "(empty)"},
        {"H16", "(empty)"}, {"G11", "10000"}, {"H12", "3000"}, {"G17", "30000"}, {"H17", "=SUM(H9:H16)"},
        {"B20", "1"}, {"B21", "2"}, {"C21", "XSFP-202611-0022"}, {"F20", "18000"}, {"H20", "=0+18000-18000"},
        {"H21", "=0+16500-12000"}, {"G22", "30000"}, {"H22", "=SUM(H19:H21)"}},
       {{"H17", "8000"}, {"H22", "4500"}, {"H21", "4500"}, {"G17", "30000"}, {"G22", "30000"}}},
      {"customer_statement_report", "report", {{7, 5}}, true,
       {{"C4", "鼎盛百货有限公司"}, {"G4", "人民币"}, {"C5", "2026-11-01"}, {"E5", "2026-11-30"},
        {"G5", "01.001--01.001"}, {"B8", "1"}, {"B13", "6"}, {"C8", "2026-11-01"}, {"D8", "(empty)"},
        {"D9", "XSFP-202611-0018"}, {"E10", "收款单"}, {"F13", "收回货款"}, {"G11", "9850.5"}, {"H13", "6600"},
        {"I12", "43770.5"}, {"I13", "37170.5"}, {"G14", "=SUM(G7:G13)"}, {"I14", "=LOOKUP(9.99E+307,I7:I13)"}},
       {{"G14", "43770.5"}, {"H14", "18600"}, {"I14", "37170.5"}}},
      // The waybill engine adds no margin row or column.
      {"courier_waybill", "waybill", {}, false,
       {{"A1", "飞鸿快运"}, {"F1", "FH730261584902"}, {"B3", kCompany}, {"B5", "王晓燕"}, {"D5", "2026-12-04"},
        {"B8", "浙江省杭州市拱墅区湖墅南路186号鼎盛大厦三楼"}, {"D9", "'310005"}, {"F11", "6"}, {"B12", "42.5"},
        {"F12", "XSFP-202612-0005"}, {"B13", "86"}, {"D13", "15"}, {"F13", "=0+86+15"}, {"D14", "=N(B13)+N(D13)"},
        {"B14", "5000"}, {"height:1", "(default)"}},
       {{"F13", "101"}, {"D14", "101"}}},
  };
}

std::string Python() { return "/usr/bin/python3 "; }
std::filesystem::path Oracle() { return vemo::test::SourceDir() / "tests/app/data/fill_oracle.py"; }
std::filesystem::path Tool(const char* name) { return vemo::test::SharedDir() / "tools" / name; }

std::map<std::string, std::string> ParseTabbed(const std::string& text) {
  std::map<std::string, std::string> cells;
  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line);)
    if (auto tab = line.find('\t'); tab != std::string::npos) cells[line.substr(0, tab)] = line.substr(tab + 1);
  return cells;
}

// The cells `refs` (" B2 C3 ...") of the first sheet as lo_check.py prints it
// (CSV after "csv (first sheet):"), one "REF<tab>value" a line; read by
// Python's csv module.
CommandResult CsvCells(const std::string& loOutput, const std::filesystem::path& folder, const std::string& refs) {
  std::ofstream(folder / "lo.txt") << loOutput;
  return RunCommand(Python() + "-c 'import csv, re, sys\n"
                    "rows = list(csv.reader(open(sys.argv[1]).read().split(\"csv (first sheet):\\n\", 1)[1].splitlines()))\n"
                    "for ref in sys.argv[2:]:\n"
                    "  letters, row = re.fullmatch(r\"([A-Z]+)([0-9]+)\", ref).groups()\n"
                    "  column = 0\n"
                    "  for letter in letters: column = column * 26 + ord(letter) - 64\n"
                    "  print(ref + \"\\t\" + rows[int(row) - 1][column - 1])' " +
                    ShellQuote(folder / "lo.txt") + refs);
}

std::optional<double> ParseNumber(const std::string& text) {
  if (text.empty()) return std::nullopt;
  char* end = nullptr;
  const double value = std::strtod(text.c_str(), &end);
  if (end != text.c_str() + text.size()) return std::nullopt;
  return value;
}

// Each example is filled from its .xlsx template and from the .xls twin
// another program made of it; the .xls output is read through our own
// reader (convert) and compared with the twin read the same way.
class FillExample : public vemo::app::test::InstalledOnce<::testing::TestWithParam<std::tuple<Example, const char*>>> {
 protected:
  void SetUp() override {
    InstalledOnce::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    const Example& example = std::get<0>(GetParam());
    const std::string ext = std::get<1>(GetParam());
    const auto source = vemo::test::SourceDir() / "examples/templates" / (std::string(example.name) + ext);
    template_ = ext == ".xlsx" ? source : dir_ / "template.xlsx";
    out_ = dir_ / (std::string(example.name) + ".xlsx");
    const auto filled = dir_ / (std::string(example.name) + ext);
    auto fill = vemo::test::RunVemoprintIn(
        data_->path(), "fill --template " + ShellQuote(source) + " --request " +
                           ShellQuote(vemo::test::SourceDir() / "examples/requests" / (std::string(example.name) + ".json")) +
                           " --engine " + example.engine + " --out " + ShellQuote(filled));
    ASSERT_EQ(fill.status, 0) << fill.output;
    if (ext == ".xlsx") return;
    for (const auto& [from, to] : {std::pair{source, template_}, std::pair{filled, out_}}) {
      auto convert = RunCommand(ShellQuote(vemo::test::VemoprintPath()) + " convert " + ShellQuote(from) + " " + ShellQuote(to));
      ASSERT_EQ(convert.status, 0) << convert.output;
    }
  }
  vemo::test::TempDir dir_;
  std::filesystem::path template_, out_;
};

TEST_P(FillExample, OutputIsTheTemplateWithItsEntryRowsCopiedAndOnlyKeywordCellsChanged) {
  const Example& example = std::get<0>(GetParam());
  std::string edits, oracleArgs;
  for (const EntryTable& table : example.entries) {
    edits += " --insert-rows " + std::to_string(table.row) + ":" + std::to_string(table.copies) + ":copy";
    oracleArgs += " --entry " + std::to_string(table.row) + ":" + std::to_string(table.copies);
  }
  if (example.margins) {
    edits += " --insert-rows 1:1 --insert-cols 1:1";
    oracleArgs += " --margins";
  }
  auto ignored = RunCommand(Python() + ShellQuote(Oracle()) + " ignore " + ShellQuote(template_) + oracleArgs);
  ASSERT_EQ(ignored.status, 0) << ignored.output;
  ASSERT_NE(ignored.output.find("--ignore-cells"), std::string::npos) << ignored.output;
  std::string options = ignored.output;
  while (!options.empty() && options.back() == '\n') options.pop_back();
  // Sheets 2 (notes) and 3 (identification) are deleted by the engine.
  auto diff = RunCommand(Python() + ShellQuote(Tool("xlsxdiff.py")) + " " + ShellQuote(template_) + " " +
                         ShellQuote(out_) + " --first-sheet-only" + edits + " " + options);
  if (std::string(std::get<1>(GetParam())) == ".xls" && diff.status == 1) {
    // An .xls sheet ends at column IV, and a column run may end one past it
    // (IW): the margin column pushes that format out, to IX. Nothing else
    // may differ.
    std::istringstream lines(diff.output);
    for (std::string line; std::getline(lines, line);) {
      if (line.starts_with("  ") && line.find('!') != std::string::npos) {
        EXPECT_NE(line.find("!IX: "), std::string::npos) << line << "\n" << diff.output;
      }
    }
    return;
  }
  EXPECT_EQ(diff.status, 0) << diff.output;
}

TEST_P(FillExample, CellsHoldTheExpectedValues) {
  const Example& example = std::get<0>(GetParam());
  std::string refs;
  for (const auto& [ref, expected] : example.cells) refs += std::string(" ") + ref;
  auto read = RunCommand(Python() + ShellQuote(Oracle()) + " cells " + ShellQuote(out_) + refs);
  ASSERT_EQ(read.status, 0) << read.output;
  const auto cells = ParseTabbed(read.output);
  for (const auto& [ref, expected] : example.cells) {
    // The .xls twins were saved by a program that gives every row its height.
    if (std::string(std::get<1>(GetParam())) == ".xls" && std::string_view(ref).starts_with("height:")) continue;
    auto found = cells.find(ref);
    ASSERT_NE(found, cells.end()) << ref << " not read:\n" << read.output;
    EXPECT_EQ(found->second, expected) << example.name << " " << ref;
  }
}

TEST_P(FillExample, LibreOfficeComputesTheSameTotals) {
  const char* enabled = std::getenv("VEMO_LO_CHECK");
  if (!enabled || std::string(enabled) != "1") GTEST_SKIP() << "set VEMO_LO_CHECK=1 to ask LibreOffice";
  const Example& example = std::get<0>(GetParam());
  auto lo = RunCommand(Python() + ShellQuote(Tool("lo_check.py")) + " " + ShellQuote(out_) + " --recalc always");
  ASSERT_EQ(lo.status, 0) << lo.output;
  std::string refs;
  for (const auto& [ref, expected] : example.computed) refs += std::string(" ") + ref;
  const auto read = CsvCells(lo.output, dir_.path(), refs);
  ASSERT_EQ(read.status, 0) << read.output << "\n" << lo.output;
  const auto cells = ParseTabbed(read.output);
  for (const auto& [ref, expected] : example.computed) {
    // Computed in binary floating point: 80*(27-26.4) shows as 48.0000000000001.
    const std::string got = cells.count(ref) ? cells.at(ref) : "(not read)";
    const auto number = ParseNumber(got);
    ASSERT_TRUE(number.has_value()) << example.name << " " << ref << " is no number: " << got << "\n" << lo.output;
    EXPECT_NEAR(*number, std::stod(expected), 1e-9) << example.name << " " << ref << "\n" << lo.output;
  }
}

INSTANTIATE_TEST_SUITE_P(Examples, FillExample, ::testing::Combine(::testing::ValuesIn(Examples()), ::testing::Values(".xlsx", ".xls")),
                         [](const auto& info) {
                           return std::string(std::get<0>(info.param).name) + (std::string(std::get<1>(info.param)) == ".xls" ? "_xls" : "");
                         });

}  // namespace
