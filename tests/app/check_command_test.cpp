// vemoprint check, end to end: the sample templates against their requests,
// a template made with deliberate problems (by openpyxl, not by our code)
// and the user the command runs as. The check's rules themselves are the
// engine tests' job (tests/engine/template_check_test.cpp).
#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <tuple>

#include "app_fixture.h"
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

class CheckCommand : public vemo::app::test::InstalledOnce<> {
 protected:
  static CommandResult Check(const std::string& arguments, const std::string& user = "") {
    return vemo::test::RunVemoprintIn(data_->path(), "check " + arguments, "VEMO_USER=" + user);
  }
  static std::string Example(const std::string& name) {
    return ShellQuote(vemo::test::SourceDir() / "examples/templates" / (name + ".xlsx")) + " --request " +
           ShellQuote(vemo::test::SourceDir() / "examples/requests" / (name + ".json"));
  }
};

// The invoice, the report and the waybill examples each resolve all their
// keywords with their engine and match their request (the report's by the
// request's RptID); the bill's registered template is named.
TEST_F(CheckCommand, ExamplesResolveWithTheirEngine) {
  for (const auto& [name, engine, id] : {std::tuple{"sales_invoice_vat", "bill", "FClassTypeID=1020002"},
                                         {"customer_statement_report", "report", "FTemplateID=10506"},
                                         {"courier_waybill", "waybill", "FClassTypeID=2000001"}}) {
    auto run = Check(Example(name) + " --engine " + engine);
    EXPECT_EQ(run.status, 0) << name << "\n" << run.output;
    EXPECT_NE(run.output.find("everything resolves"), std::string::npos) << name;
    EXPECT_NE(run.output.find(std::string(id) + "; matches the request"), std::string::npos) << name << "\n" << run.output;
  }
  const std::string vat = Check(Example("sales_invoice_vat")).output;
  EXPECT_NE(vat.find("registered template for this bill: bill type 1020002, sub-type 增值税发票: "
                     "template 1 (sales_invoice_vat.xlsx)\n"),
            std::string::npos) << vat;
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
  };
  for (const auto& [example, user, cell, kind, name, shown] : cases) {
    auto run = Check(Example(example), user);
    EXPECT_EQ(run.status, 1) << example << " " << user;
    EXPECT_NE(LineOf(run.output, cell, kind, name).find(shown), std::string::npos) << cell << " " << user << "\n" << run.output;
  }
}

// A template with a few problems, made by openpyxl (the engine tests'
// template script), checked against the sample invoice's request.
class CheckProblemTemplate : public CheckCommand {
 protected:
  // B3 of the third sheet is `identification`; without one, two sheets.
  std::filesystem::path Make(const std::string& name, const std::string& identification) {
    const auto path = dir_ / name, layout = dir_ / (name + ".json");
    std::ofstream(layout) << R"({"cells": {"A1": "[$Page1_FBillNo]", "A2": "[$Page1_FMissing]", "A3": "US$[$Page1_FBillNo]",
        "B4": "=0+[$$Page2_FQty]*[$$Page2_FGhost]"}, "text": ["B4"], "sheets": )" << (identification.empty() ? 2 : 3) << R"(, "id": ")" << identification << "\"}";
    auto made = vemo::test::RunCommand("/usr/bin/python3 " +
                                       ShellQuote(vemo::test::SourceDir() / "tests/engine/data/make_template.py") + " " +
                                       ShellQuote(layout) + " " + ShellQuote(path));
    EXPECT_EQ(made.status, 0) << made.output;
    return path;
  }
  const std::string request_ =
      " --request " + ShellQuote(vemo::test::SourceDir() / "examples/requests/sales_invoice_vat.json");
  vemo::test::TempDir dir_;
};

// Each finding on its line (what answers it, or EMPTY and why, the cell text
// of a keyword without a kind), the identification and the count; exit 1.
// Then an identification that does not match, and none without a request.
TEST_F(CheckProblemTemplate, PrintsEachFindingTheIdentificationAndTheCount) {
  auto path = Make("problems.xlsx", "FClassTypeID=1020002");
  const std::string before = ReadFileBytes(path);
  auto run = Check(ShellQuote(path) + request_);
  EXPECT_EQ(run.status, 1) << run.output;
  const std::string& out = run.output;
  const std::tuple<const char*, const char*, const char*, const char*> found[] = {  // cell, kind, name, shown
      {"A1", "head", "FBillNo", "field _0001_FBillNo on Page1: XSFP-202612-0005"},
      {"A2", "head", "FMissing", "EMPTY: neither a system variable nor a name of the field"},
      {"B4", "formula/entry", "FGhost", "EMPTY"},
  };
  for (const auto& [cell, kind, name, shown] : found)
    EXPECT_NE(LineOf(out, cell, kind, name).find(shown), std::string::npos) << cell << "\n" << out;
  EXPECT_NE(out.find("A3     no kind"), std::string::npos) << out;
  EXPECT_NE(out.find("the cell stays as written [US$[$Page1_FBillNo]]"), std::string::npos) << out;
  EXPECT_NE(out.find("FClassTypeID=1020002; matches"), std::string::npos) << out;
  EXPECT_NE(out.find("5 keywords; 3 problem(s)"), std::string::npos) << out;
  // Read only: the template is byte for byte what openpyxl wrote.
  EXPECT_EQ(ReadFileBytes(path), before);

  const std::string other = Check(ShellQuote(Make("other.xlsx", "FClassTypeID=1030001")) + request_).output;
  EXPECT_NE(other.find("FClassTypeID=1030001; DOES NOT MATCH the request, which needs FClassTypeID=1020002"), std::string::npos) << other;
  EXPECT_NE(other.find("4 problem(s): the lines marked EMPTY and the identification"), std::string::npos) << other;
  const std::string noId = Check(ShellQuote(Make("no_id.xlsx", ""))).output;
  EXPECT_NE(noId.find("identification (B3 of the third sheet): the workbook has no third sheet\n"), std::string::npos) << noId;
  EXPECT_NE(noId.find("(no request: not looked up)"), std::string::npos) << noId;
}

}  // namespace
