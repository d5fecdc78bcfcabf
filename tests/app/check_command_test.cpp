// vemoprint check, end to end: the sample templates against their requests,
// a template made with deliberate problems (by openpyxl, not by our code),
// the price rights of a clerk, and usage errors.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <regex>
#include <tuple>
#include <vector>

#include "support/files.h"
#include "support/run_command.h"
#include "support/test_paths.h"

namespace {

using vemo::test::CommandResult;
using vemo::test::ShellQuote;

using vemo::test::ReadFileBytes;

// The output line of a keyword: cell, kind and name at the start of a line.
std::string LineOf(const std::string& output, const std::string& cell, const std::string& kind,
                   const std::string& name) {
  const std::regex pattern("(^|\n)(" + cell + " +" + kind + " +[^ \n]* *" + name + " [^\n]*)");
  std::smatch match;
  return std::regex_search(output, match, pattern) ? match[2].str() : std::string();
}

class CheckCommand : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    data_ = new vemo::test::TempDir;
    std::filesystem::create_directories(*data_ / "tmp");
    init_ = vemo::test::RunVemoprintIn(data_->path(), "init");
  }
  static void TearDownTestSuite() {
    delete data_;
    data_ = nullptr;
  }
  void SetUp() override {
    if (!std::filesystem::exists(vemo::test::VemoprintPath()))
      GTEST_SKIP() << "vemoprint is not built at " << vemo::test::VemoprintPath();
    ASSERT_EQ(init_.status, 0) << init_.output;
  }
  static CommandResult Check(const std::string& arguments, const std::string& user = "") {
    return vemo::test::RunVemoprintIn(data_->path(), "check " + arguments, "VEMO_USER=" + user);
  }
  static std::string Example(const std::string& name) {
    return ShellQuote(vemo::test::SourceDir() / "examples/templates" / (name + ".xlsx")) + " --request " +
           ShellQuote(vemo::test::SourceDir() / "examples/requests" / (name + ".json"));
  }
  static inline vemo::test::TempDir* data_ = nullptr;
  static inline CommandResult init_;
};

// Every example resolves all its keywords and matches its request; where
// each value comes from is shown on its keyword's line.
TEST_F(CheckCommand, ExamplesResolveAndShowWhereEachValueComesFrom) {
  std::map<std::string, std::string> outputs;
  for (const auto& [name, engine] : {std::pair{"sales_invoice_vat", "bill"}, {"sales_invoice_plain", "bill"}, {"purchase_order", "bill"},
                                     {"offset_bill", "bill"}, {"customer_statement_report", "report"}, {"courier_waybill", "waybill"}}) {
    auto run = Check(Example(name) + " --engine " + engine);
    EXPECT_EQ(run.status, 0) << name << "\n" << run.output;
    EXPECT_NE(run.output.find("everything resolves"), std::string::npos) << name;
    EXPECT_EQ(run.output.find("EMPTY"), std::string::npos) << name << "\n" << run.output;
    EXPECT_NE(run.output.find("; matches the request"), std::string::npos) << name << "\n" << run.output;
    outputs[name] = run.output;
  }
  struct Case {
    const char* example;
    const char* cell;
    const char* kind;
    const char* name;
    const char* shown;  // part of the keyword's line
  };
  const Case cases[] = {
      {"sales_invoice_vat", "B4", "head", "FBillNo", "field _0001_FBillNo on Page1: XSFP-202612-0005"},
      {"sales_invoice_vat", "H10", "sum", "FAmount", ": 22225"},
      {"sales_invoice_vat", "A9", "entry", "EntryID", "the line number: 1 to 5"},
      {"sales_invoice_vat", "F9", "entry", "FQty", "values on 5 of 5 lines: 300 | 200 | 60"},
      {"sales_invoice_vat", "L9", "formula/entry", "FPrice", "field _0017_FPrice"},  // each keyword of a formula
      {"sales_invoice_vat", "I12", "plain head", "UserName", "Administrator"},
      {"sales_invoice_vat", "A1", "plain head", "CompanyName", "profile General/CompanyName"},
      // Offset bill: the first table's page key Page4 gives 7 lines, the Page2
      // fields have values on the first 3, the caption column on 5 (two captions).
      {"offset_bill", "B9", "entry", "FSourceBillNo2", "values on 5 of 7 lines"},
      {"offset_bill", "C9", "entry", "FSourceDate2", "values on 3 of 7 lines"},
      {"customer_statement_report", "B3", "plain head", "CustName", "report head value CustName: 鼎盛百货有限公司"},
      {"customer_statement_report", "H7", "entry", "FBalance", "report column FBalance"},
      {"courier_waybill", "F13", "formula/head", "FInsureFee", "Data.Page1 value FInsureFee: 15"},
  };
  for (const Case& c : cases) {
    const std::string& out = outputs[c.example];
    EXPECT_NE(LineOf(out, c.cell, c.kind, c.name).find(c.shown), std::string::npos) << c.cell << "\n" << out;
  }
  EXPECT_NE(outputs["sales_invoice_vat"].find("registered template for this bill: bill type 1020002, sub-type 增值税发票: "
                                              "template 1 (sales_invoice_vat.xlsx)\n"),
            std::string::npos) << outputs["sales_invoice_vat"];
  EXPECT_NE(outputs["customer_statement_report"].find("FTemplateID=10506; matches"), std::string::npos);
}

// What the sample account lacks (settlement accounts, serial numbers) and
// what a clerk without price rights may not see prints empty: check says why.
TEST_F(CheckCommand, ValuesTheAccountOrTheUserLacksAreEmptyWithTheReason) {
  const std::tuple<const char*, const char*, const char*, const char*, const char*, const char*> cases[] = {
      // example, user, cell, kind, name, shown
      {"receipt", "", "B7", "plain head", "FMultiAccountNoList", "EMPTY: the settlement accounts"},
      {"stock_transfer", "", "L8", "entry", "FSerialNoList", "EMPTY: the line's serial numbers"},
      {"stock_transfer", "", "G8", "entry", "FOutPrice", "values on 4 of 4 lines"},
      {"stock_transfer", "李四", "G8", "entry", "FOutPrice", "EMPTY: the user has no price right for FOutPrice"},
      {"stock_transfer", "李四", "J9", "sum", "FInAmount", "EMPTY: the user has no price right for FInAmount"},
      {"stock_transfer", "李四", "F8", "entry", "FQty", "values on 4 of 4 lines"},
  };
  for (const auto& [example, user, cell, kind, name, shown] : cases) {
    auto run = Check(Example(example), user);
    EXPECT_EQ(run.status, 1) << example << " " << user;
    EXPECT_NE(LineOf(run.output, cell, kind, name).find(shown), std::string::npos) << cell << " " << user << "\n" << run.output;
  }
  EXPECT_NE(Check(Example("receipt")).output.find("1 problem(s)"), std::string::npos);
}

// A template with one problem of each kind, made by openpyxl.
constexpr const char* kProblemTemplate = R"PY(
import sys
from openpyxl import Workbook
wb = Workbook()
ws = wb.active
ws["A1"] = "[$Page1_FBillNo]"
ws["A2"] = "[$Page1_FMissing]"
ws["A3"] = "US$[$Page1_FBillNo]"
ws["A4"] = "[$$$PageCount]"
ws["A5"] = "[$FBillNo]"
ws["A6"] = "[$$Page3_FQty]"
ws["A7"] = "[$$Page2_FQty]"
ws["B7"] = "[$$Page2_FNote]"
ws["C7"] = "=0+[$$Page2_FQty]*[$$Page2_FGhost]"
ws["C7"].number_format = "@"
ws["C7"].data_type = "s"
ws["A8"] = "[$$$$Page2_FQty]"
ws["A9"] = "[$$$CompanyName]"
wb.create_sheet("Notes")
if sys.argv[2]:
    wb.create_sheet("Id")["B3"] = sys.argv[2]
wb.save(sys.argv[1])
)PY";

constexpr const char* kProblemRequest = R"JSON({
  "DataSrv": {"classtype": {"FID": 1020002, "FBillTypeID": 20, "FName": "销售发票"},
              "ClassTypeEntry": [{"FEntryType": 0}, {"FEntryType": 1}], "classTypeID": 1020002},
  "TableInfo": {"Map": {"FBillNo": "_0001_FBillNo", "FQty": "_0012_FQty", "FNote": "_0013_FNote"},
    "_0001_FBillNo": {"FKey": "FBillNo", "FPage": 1, "FTabIndex": 1, "FSourceType": 0, "FLookUpClassID": 0,
                      "FCtlType": 0, "FKeyWord": "", "FClassTypeID": 1020002, "fsum": false},
    "_0012_FQty": {"FKey": "FQty", "FPage": 2, "FTabIndex": 12, "FSourceType": 0, "FLookUpClassID": 0,
                   "FCtlType": 0, "FKeyWord": "", "FClassTypeID": 1020002, "fsum": true},
    "_0013_FNote": {"FKey": "FNote", "FPage": 2, "FTabIndex": 13, "FSourceType": 0, "FLookUpClassID": 0,
                    "FCtlType": 0, "FKeyWord": "", "FClassTypeID": 1020002, "fsum": false}},
  "Data": {"FID": 7,
           "Page1": {"_0001_FBillNo": {"FFLD": "XS-0007", "FDSP": "", "FFND": ""}},
           "Page2": [{"_0012_FQty": {"FFLD": 2, "FDSP": "", "FFND": ""}},
                     {"_0012_FQty": {"FFLD": 3.5, "FDSP": "", "FFND": ""}}]},
  "DataSourceType": 0})JSON";

class CheckProblemTemplate : public CheckCommand {
 protected:
  void SetUp() override {
    CheckCommand::SetUp();
    if (IsSkipped()) return;
    std::ofstream(dir_ / "make.py") << kProblemTemplate;
    std::ofstream(dir_ / "request.json") << kProblemRequest;
  }
  std::filesystem::path Make(const std::string& name, const std::string& identification) {
    auto path = dir_ / name;
    auto made = vemo::test::RunCommand("/usr/bin/python3 " + ShellQuote(dir_ / "make.py") + " " + ShellQuote(path) +
                                       " " + ShellQuote(identification));
    EXPECT_EQ(made.status, 0) << made.output;
    return path;
  }
  vemo::test::TempDir dir_;
};

TEST_F(CheckProblemTemplate, SaysWhichKeywordsComeOutEmptyAndWhy) {
  auto path = Make("problems.xlsx", "FClassTypeID=1020002");
  const std::string before = ReadFileBytes(path);
  auto run = Check(ShellQuote(path) + " --request " + ShellQuote(dir_ / "request.json"));
  EXPECT_EQ(run.status, 1) << run.output;
  const std::string& out = run.output;
  const std::tuple<const char*, const char*, const char*, const char*> found[] = {  // cell, kind, name, shown
      {"A1", "head", "FBillNo", "XS-0007"},
      {"A2", "head", "FMissing", "EMPTY: neither a system variable nor a name of the field"},
      {"A4", "plain head", "PageCount", "EMPTY: a page number not known while filling gives nothing here"},
      {"A6", "entry", "FQty", "no lines for page key \"Page3\""},
      {"A7", "entry", "FQty", "values on 2 of 2 lines: 2 | 3.5"},
      {"B7", "entry", "FNote", "EMPTY: Data.Page2 holds no value _0013_FNote"},
      {"C7", "formula/entry", "FGhost", "EMPTY"},
      {"A8", "sum", "FQty", ": 5.5"},
  };
  for (const auto& [cell, kind, name, shown] : found)
    EXPECT_NE(LineOf(out, cell, kind, name).find(shown), std::string::npos) << cell << "\n" << out;
  for (const auto& [cell, kind, name] : {std::tuple{"A1", "head", "FBillNo"}, std::tuple{"C7", "formula/entry", "FQty"},
                                         std::tuple{"A9", "plain head", "CompanyName"}})
    EXPECT_EQ(LineOf(out, cell, kind, name).find("EMPTY"), std::string::npos) << cell << "\n" << out;
  EXPECT_NE(out.find("A3     no kind"), std::string::npos) << out;
  EXPECT_NE(out.find("the cell stays as written [US$[$Page1_FBillNo]]"), std::string::npos) << out;
  EXPECT_NE(out.find("EMPTY: no name: write [$Page1_Name]"), std::string::npos) << out;
  EXPECT_NE(out.find("FClassTypeID=1020002; matches"), std::string::npos) << out;
  EXPECT_NE(out.find("12 keywords; 7 problem(s)"), std::string::npos) << out;
  // Read only: the template is byte for byte what openpyxl wrote.
  EXPECT_EQ(ReadFileBytes(path), before);
}

// What check calls empty is empty after the fill, and what it resolves is
// there (output: one margin row and column, the entry row of 2 lines).
TEST_F(CheckProblemTemplate, TheFillAgreesWithTheCheck) {
  auto path = Make("problems.xlsx", "FClassTypeID=1020002");
  auto out = dir_ / "filled.xlsx";
  auto fill = vemo::test::RunVemoprintIn(data_->path(), "fill --template " + ShellQuote(path) + " --request " +
                                                            ShellQuote(dir_ / "request.json") + " --out " + ShellQuote(out));
  ASSERT_EQ(fill.status, 0) << fill.output;
  auto read = vemo::test::RunCommand("/usr/bin/python3 " +
                                     ShellQuote(vemo::test::SourceDir() / "tests/app/data/fill_oracle.py") +
                                     " cells " + ShellQuote(out) + " B2 B3 B4 B5 B6 B7 B8 B9 C8 C9 B10 B11");
  ASSERT_EQ(read.status, 0) << read.output;
  const std::pair<const char*, const char*> expected[] = {
      {"B2", "XS-0007"},          {"B3", "(empty)"}, {"B4", "US$[$Page1_FBillNo]"}, {"B5", "(empty)"},
      {"B6", "(empty)"},          {"B7", "(empty)"}, {"B8", "2"},                   {"B9", "3.5"},
      {"C8", "(empty)"},          {"C9", "(empty)"}, {"B10", "5.5"},                {"B11", "维默示范茶业贸易有限公司"}};
  for (const auto& [ref, value] : expected)
    EXPECT_NE(read.output.find(std::string(ref) + "\t" + value + "\n"), std::string::npos) << ref << "\n" << read.output;
}

// The identification (B3 of the third sheet) against the request, for each
// engine; without a request only the grammar is checked.
TEST_F(CheckProblemTemplate, IdentificationMustMatchTheRequestWhenThereIsOne) {
  // A waybill printed from a bill (dataFrom 1) is identified as 2000002.
  auto fromBill = dir_ / "from_bill.json";
  auto edit = vemo::test::RunCommand(
      "/usr/bin/python3 -c 'import json,sys; d=json.load(open(sys.argv[1])); d[\"dataFrom\"]=1; "
      "json.dump(d, open(sys.argv[2], \"w\"))' " +
      ShellQuote(vemo::test::SourceDir() / "examples/requests/courier_waybill.json") + " " + ShellQuote(fromBill));
  ASSERT_EQ(edit.status, 0) << edit.output;
  const std::string other = ShellQuote(Make("other.xlsx", "FClassTypeID=1030001")) + " --request " + ShellQuote(dir_ / "request.json");
  const std::string noRequest = ShellQuote(Make("problems.xlsx", "FClassTypeID=1"));
  const struct {
    std::string arguments;
    int status;
    std::vector<std::string> shown;
  } cases[] = {
      {other, 1, {"FClassTypeID=1030001; DOES NOT MATCH the request, which needs FClassTypeID=1020002",
                  "8 problem(s): the lines marked EMPTY and the identification"}},
      {other + " --engine report", 1, {"which needs FTemplateID=0"}},  // a bill template checked as a report
      {ShellQuote(vemo::test::SourceDir() / "examples/templates/courier_waybill.xlsx") + " --request " + ShellQuote(fromBill) +
           " --engine waybill", 1, {"FClassTypeID=2000001; DOES NOT MATCH the request, which needs FClassTypeID=2000002"}},
      {noRequest, 1, {"2 problem(s)", "identification (B3 of the third sheet): FClassTypeID=1\n"}},  // no kind, no name
      {ShellQuote(Make("no_id.xlsx", "")), 1, {"identification (B3 of the third sheet): the workbook has no third sheet\n"}},
      {ShellQuote(vemo::test::SourceDir() / "examples/templates/purchase_order.xlsx"), 0, {}},
  };
  for (const auto& c : cases) {
    auto run = Check(c.arguments);
    EXPECT_EQ(run.status, c.status) << c.arguments << "\n" << run.output;
    for (const std::string& shown : c.shown) EXPECT_NE(run.output.find(shown), std::string::npos) << shown << "\n" << run.output;
  }
  const std::string grammarOnly = Check(noRequest).output;
  EXPECT_NE(LineOf(grammarOnly, "A2", "head", "FMissing").find("(no request: not looked up)"), std::string::npos) << grammarOnly;
  EXPECT_NE(LineOf(grammarOnly, "A9", "plain head", "CompanyName").find("system variable"), std::string::npos) << grammarOnly;
}

}  // namespace
