// The command line's wiring: what it answers when it cannot do what it was
// asked, one row a command: its exit status (1 the action failed, 2 a usage
// error) and the text that says why; and each action family's export, end to
// end, with the real engines, the sample account's template store and our
// spreadsheet application. The rules behind the texts and the actions' rules
// are tested where they live; here only that each reaches the user.
#include <gtest/gtest.h>

#include <unistd.h>

#include <fstream>

#include <nlohmann/json.hpp>

#include "app_fixture.h"

namespace vemo::app::test {
namespace {

namespace fs = std::filesystem;
using CommandLine = VemoprintTest;

TEST_F(CommandLine, EachRefusalExitsWithItsStatusAndSaysWhy) {
  Init();
  const auto request = [](const char* name) { return Example(std::string("requests/") + name); };
  const auto file = [this](const char* name, const std::string& text) {
    std::ofstream(dir_ / name) << text;
    return ShellQuote(dir_ / name);
  };
  const std::string vat = Example("templates/sales_invoice_vat.xlsx");
  const std::string database = ShellQuote(dir_ / "VemoSample.db");
  const std::string temp = ShellQuote(dir_ / "tmp" / ("vemoprint-" + std::to_string(::getuid())));
  ASSERT_EQ(Run("templates add " + Example("templates/customer_statement_report.xlsx") + " --report 10506").status, 0);
  ASSERT_EQ(vemo::test::RunCommand("cp " + database + " " + database + ".kept").status, 0);

  struct Case {
    std::string arguments;
    int status;
    std::string shown;
    std::string spoil = "";        // a shell command run first: what goes wrong around the command
    std::string environment = "";  // set for the command
  };
  const Case cases[] = {
      {"", 2, "Subcommands:"},
      {"--version", 0, "vemoprint 0.1\nbuild type "},
      {"couriers list --all", 0, "\n6\tSTO\t申通快递\t(hidden)\n"},  // the last one too
      {"setup bill --bill-type 1020002", 2, "needs a display"},
      {"setup couriers", 2, "needs a display"},
      // Requests of another kind or shape: what is missing, and which command takes them.
      {"bill print " + file("array.json", "[1]"), 2, "\" must hold one JSON object"},
      {"bill print " + file("wrong.json", R"({"DataSrv": 5})"), 2, "\"DataSrv\" in the request file"},
      {"batch print " + request("purchase_order.json"), 2, "PrintData"},
      {"bill print " + request("continuous_print.json"), 2, "vemoprint batch"},
      {"waybill export " + request("商品标签模板.json"), 2, "vemoprint label"},
      // An action's refusal; the prescribed message names no cause, the cause goes beside it.
      {"bill print " + request("purchase_order.json"), 1, "未设置打印模板或设置错误，请先确认设置Excel打印模板！"},
      // Several bills: each is tried, and the summary counts those printed.
      {"bill print " + request("purchase_order.json") + " " + request("sales_invoice_plain.json"), 1,
       "sales_invoice_plain.json): the action answered False\nbill print: 0 of 2 printed"},
      {"label export " + request("商品标签模板.json") + " --out " + ShellQuote(dir_ / "x.xlsx") + " --no", 1,
       "is not installed; run \"vemoprint init\""},
      {"bill print " + request("sales_invoice_plain.json"), 1, "does not exist", "rm " + database},
      {"bill print " + request("sales_invoice_plain.json"), 1, "cannot be read", "echo damaged > " + database},
      {"bill print " + request("sales_invoice_plain.json"), 1, "is not a folder of yours", "echo squatter > " + temp},
      // Templates: usage, and a registration without a spreadsheet application.
      {"templates list", 2, "give exactly one of --bill-type N, --report N or --courier N"},
      {"templates list --bill-type 1 --report 2", 2, "give exactly one of --bill-type N, --report N or --courier N"},
      {"templates list --courier 6", 2, "顺丰速运|1"},  // a company that is not shown cannot be chosen
      {"templates add " + vat + " --bill-type 1020002 --sub-type 发票", 2, "增值税发票 普通发票 收据 其他"},
      {"templates add " + vat + " --courier 2 --sub-type 客户", 2, "these templates have no sub-types; leave out --sub-type"},
      {"templates add " + ShellQuote(dir_ / "missing.xls") + " --bill-type 1020002", 2, "cannot read the template file"},
      {"templates add " + vat + " --bill-type 1020002", 1, "系统没有检测到EXCEL，请确认是否已经安装!", "", "VEMO_NO_SPREADSHEET=1"},
      // check and convert: a file that is not there or no workbook, a wrong option or request.
      {"check " + ShellQuote(dir_ / "none.xlsx"), 2, "none.xlsx"},
      {"check " + file("junk.xlsx", "no workbook"), 2, "junk.xlsx"},
      {"check " + vat + " --engine label", 2, "--engine must be bill, report or waybill"},
      {"check " + vat + " --request " + file("bad.json", "{\"DataSrv\": "), 2, "bad.json"},
      {"check", 2, "template is required"},
      {"convert " + ShellQuote(dir_ / "none.xlsx") + " " + ShellQuote(dir_ / "o.xlsx"), 2, "none.xlsx\": no such file"},
      {"convert " + ShellQuote(dir_ / "junk.xlsx") + " " + ShellQuote(dir_ / "o.xlsx"), 2, "junk.xlsx"},
  };
  for (const Case& c : cases) {
    ASSERT_EQ(vemo::test::RunCommand("rm -rf " + temp + "; cp " + database + ".kept " + database).status, 0);
    ASSERT_EQ(vemo::test::RunCommand(c.spoil.empty() ? "true" : c.spoil).status, 0) << c.spoil;
    auto result = Run(c.arguments, c.environment);
    EXPECT_EQ(result.status, c.status) << c.arguments << "\n" << result.output;
    EXPECT_NE(result.output.find(c.shown), std::string::npos) << c.arguments << "\n" << result.output;
  }
  EXPECT_FALSE(fs::exists(dir_ / "o.xlsx")) << "a refused conversion writes nothing";
}

// Each family's export: the template registered for the request, the
// question answered No, every keyword of the first sheet filled and the
// other sheets gone.
TEST_F(CommandLine, EachFamilyExportsItsFilledTemplate) {
  Init();
  const auto Register = [this](const std::string& example, const std::string& owner) {
    auto result = Run("templates add " + Example("templates/" + example) + " " + owner);
    ASSERT_EQ(result.status, 0) << result.output;
  };
  Register("sales_invoice_plain.xlsx", "--bill-type 1020002 --sub-type 普通发票");
  Register("sales_invoice_vat.xlsx", "--bill-type 1020002 --sub-type 增值税发票");
  Register("customer_statement_report.xlsx", "--report 10506");
  Register("courier_waybill.xlsx", "--courier 3 --data-from 0");
  auto batch = nlohmann::ordered_json::parse(std::ifstream(vemo::test::SourceDir() / "examples/requests/customer_statement_report.json"));
  batch["PrintData"] = {{{"FTranType", 1}}, {{"FTranType", 1}}};
  std::ofstream(dir_ / "batch.json") << batch.dump();
  struct Case {
    std::string command;
    const char* said;   // the question and its answer
    const char* value;  // a cell of the filled workbook
  };
  const Case cases[] = {
      {"bill export " + Example("requests/sales_invoice_vat.json"), "是否打开导出的文件？ -> No (--no)", "=增值税发票\n"},
      {"report export " + Example("requests/customer_statement_report.json"), "是否打开导出文件？ -> No (--no)", "=鼎盛百货有限公司\n"},
      {"waybill export " + Example("requests/courier_waybill.json"), "是否打开导出文件？ -> No (--no)", "=FH730261584902\n"},
      {"batch export " + ShellQuote(dir_ / "batch.json"), "是否打开导出文件？ -> No (--no)", "=鼎盛百货有限公司\n"},
  };
  for (const Case& c : cases) {
    const auto out = dir_ / "out.xlsx";
    auto result = Run(c.command + " --out " + ShellQuote(out) + " --no");
    ASSERT_EQ(result.status, 0) << c.command << "\n" << result.output;
    EXPECT_NE(result.output.find(c.said), std::string::npos) << c.command << "\n" << result.output;
    // The first sheet's cell values, one "A1=value" a line, read by openpyxl.
    auto read = vemo::test::RunCommand(
        "/usr/bin/python3 -c 'import openpyxl,sys\n"
        "wb=openpyxl.load_workbook(sys.argv[1]); ws=wb.worksheets[0]\n"
        "print(\"sheets=%d\" % len(wb.worksheets))\n"
        "[print(\"%s=%s\" % (c.coordinate, c.value)) for r in ws.iter_rows() for c in r if c.value is not None]' " +
        ShellQuote(out));
    ASSERT_EQ(read.status, 0) << read.output;
    const std::string& cells = read.output;
    EXPECT_NE(cells.find(c.value), std::string::npos) << c.command << "\n" << cells;
    EXPECT_NE(cells.find("sheets=1\n"), std::string::npos) << c.command << "\n" << cells;
    EXPECT_EQ(cells.find("[$"), std::string::npos) << c.command << "\n" << cells;
  }
}

}  // namespace
}  // namespace vemo::app::test
