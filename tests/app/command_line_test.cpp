// What the command line answers when it cannot do what it was asked, one row
// a command: its exit status (1 the action failed, 2 a usage error) and the
// text that says why. The rules behind the texts are tested where they live;
// here only that each reaches the user with its cause.
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
  auto batch = nlohmann::ordered_json::parse(std::ifstream(vemo::test::SourceDir() / "examples/requests/customer_statement_report.json"));
  batch["PrintData"] = {{{"FTranType", 1}}, {{"FTranType", 2}}};
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
      {"setup report --report 10506 --name 对账单", 2, "needs a display"},
      {"setup waybill --data-from 1", 2, "needs a display"},
      {"setup couriers", 2, "needs a display"},
      // Requests of another kind or shape: what is missing, and which command takes them.
      {"bill print " + file("array.json", "[1]"), 2, "\" must hold one JSON object"},
      {"bill print " + file("wrong.json", R"({"DataSrv": 5})"), 2, "\"DataSrv\" in the request file"},
      {"batch print " + request("purchase_order.json"), 2, "PrintData"},
      {"bill print " + request("continuous_print.json"), 2, "vemoprint batch"},
      {"waybill export " + request("商品标签模板.json"), 2, "vemoprint label"},
      // The actions' refusals; the prescribed message names no cause, the cause goes beside it.
      {"bill print " + request("purchase_order.json"), 1, "未设置打印模板或设置错误，请先确认设置Excel打印模板！"},
      {"bill mail " + request("purchase_order.json"), 1, "启动Outlook失败，请先安装。"},
      {"batch print " + file("mixed.json", batch.dump()), 1, "不支持不同类型单据的连续打印！"},
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

}  // namespace
}  // namespace vemo::app::test
