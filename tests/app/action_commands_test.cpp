// End to end: vemoprint bill|report|waybill|batch with the real engines, the
// sample account's template store and our spreadsheet application.
#include <gtest/gtest.h>

#include <unistd.h>

#include <fstream>

#include <nlohmann/json.hpp>

#include "support/run_command.h"
#include "support/test_paths.h"

namespace vemo::app {
namespace {

using vemo::test::ShellQuote;

class ActionCommands : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!std::filesystem::exists(vemo::test::VemoprintPath()))
      GTEST_SKIP() << "vemoprint is not built at " << vemo::test::VemoprintPath();
    std::filesystem::create_directories(dir_ / "tmp");
    std::filesystem::create_directories(dir_ / "machine");
    ASSERT_EQ(Run("init --no-templates").status, 0);
  }
  vemo::test::CommandResult Run(const std::string& arguments) {
    return vemo::test::RunVemoprintIn(dir_.path(), arguments);
  }
  std::string Example(const std::string& relative) { return ShellQuote(vemo::test::SourceDir() / "examples" / relative); }
  // The first sheet's cell values of a workbook, one "A1=value" a line, read by openpyxl.
  std::string Cells(const std::filesystem::path& workbook) {
    auto result = vemo::test::RunCommand(
        "/usr/bin/python3 -c 'import openpyxl,sys\n"
        "wb=openpyxl.load_workbook(sys.argv[1]); ws=wb.worksheets[0]\n"
        "print(\"sheets=%d\" % len(wb.worksheets))\n"
        "[print(\"%s=%s\" % (c.coordinate, c.value)) for r in ws.iter_rows() for c in r if c.value is not None]' " +
        ShellQuote(workbook));
    EXPECT_EQ(result.status, 0) << result.output;
    return result.output;
  }
  // Registers an example template: "--bill-type 1020002 --sub-type 普通发票" and the like.
  void Register(const std::string& example, const std::string& owner) {
    auto result = Run("templates add " + Example("templates/" + example) + " " + owner);
    ASSERT_EQ(result.status, 0) << result.output;
  }
  // Runs an export of an example request into `out`, answering No.
  vemo::test::CommandResult Export(const std::string& family, const std::string& request, const std::filesystem::path& out) {
    return Run(family + " export " + Example("requests/" + request) + " --out " + ShellQuote(out) + " --no");
  }
  vemo::test::TempDir dir_;
};

TEST_F(ActionCommands, BillExportUsesTheSubTypeTemplateAndAnswersTheQuestions) {
  Register("sales_invoice_plain.xlsx", "--bill-type 1020002 --sub-type 普通发票");
  Register("sales_invoice_vat.xlsx", "--bill-type 1020002 --sub-type 增值税发票");
  const auto out = dir_ / "invoice.xlsx";
  auto result = Export("bill", "sales_invoice_vat.json", out);
  ASSERT_EQ(result.status, 0) << result.output;
  EXPECT_NE(result.output.find("引出文件成功，耗时："), std::string::npos) << result.output;
  EXPECT_NE(result.output.find("是否打开导出的文件？ -> No (--no)"), std::string::npos) << result.output;
  const std::string cells = Cells(out);
  EXPECT_NE(cells.find("sheets=1"), std::string::npos) << cells;
  EXPECT_NE(cells.find("=增值税发票\n"), std::string::npos) << cells;   // the invoice type field
  EXPECT_NE(cells.find("=XSFP-202612-0005\n"), std::string::npos) << cells;
  EXPECT_EQ(cells.find("[$"), std::string::npos) << cells;             // every keyword filled
}

TEST_F(ActionCommands, BillWithoutTemplateOrMailAnswersFalse) {
  auto print = Run("bill print " + Example("requests/purchase_order.json"));
  EXPECT_EQ(print.status, 1) << print.output;
  EXPECT_NE(print.output.find("未设置打印模板或设置错误，请先确认设置Excel打印模板！"), std::string::npos) << print.output;
  auto mail = Run("bill mail " + Example("requests/purchase_order.json"));
  EXPECT_EQ(mail.status, 1);
  EXPECT_NE(mail.output.find("启动Outlook失败，请先安装。"), std::string::npos) << mail.output;
}

// The prescribed message names no cause; the cause goes beside it.
TEST_F(ActionCommands, TheTemplateMessageComesWithItsCause) {
  Register("sales_invoice_plain.xlsx", "--bill-type 1020002 --sub-type 普通发票");
  const std::string database = ShellQuote(dir_ / "VemoSample.db"), temp = ShellQuote(dir_ / "tmp" / ("vemoprint-" + std::to_string(::getuid())));
  ASSERT_EQ(vemo::test::RunCommand("cp " + database + " " + database + ".kept").status, 0);
  const std::pair<std::string, const char*> cases[] = {  // what spoils the database or the temporary folder, the cause
      {"rm " + database, "does not exist"},
      {"echo damaged > " + database, "cannot be read"},
      {": > " + database, "is empty or not a company database"},
      {"/usr/bin/python3 -c 'import sqlite3,sys; c=sqlite3.connect(sys.argv[1]); c.execute(\"update schema_version set version=99\"); c.commit()' " + database,
       "newer than this program knows"},
      {"rm -rf " + temp + " && echo squatter > " + temp, "is not a folder of yours"}};
  for (const auto& [spoil, cause] : cases) {
    ASSERT_EQ(vemo::test::RunCommand("rm -rf " + temp + "; cp " + database + ".kept " + database + " && " + spoil).status, 0) << spoil;
    auto print = Run("bill print " + Example("requests/sales_invoice_plain.json"));
    EXPECT_EQ(print.status, 1) << print.output;
    EXPECT_NE(print.output.find(cause), std::string::npos) << print.output;
  }
}

TEST_F(ActionCommands, ReportAndWaybillExports) {
  Register("customer_statement_report.xlsx", "--report 10506 --sub-type 客户");
  Register("courier_waybill.xlsx", "--courier 3 --data-from 0");
  const auto report = dir_ / "statement.xlsx";
  auto r = Export("report", "customer_statement_report.json", report);
  ASSERT_EQ(r.status, 0) << r.output;
  EXPECT_NE(r.output.find("是否打开导出文件？ -> No (--no)"), std::string::npos) << r.output;
  EXPECT_NE(Cells(report).find("=鼎盛百货有限公司\n"), std::string::npos);

  const auto waybill = dir_ / "waybill.xlsx";
  auto w = Export("waybill", "courier_waybill.json", waybill);
  ASSERT_EQ(w.status, 0) << w.output;
  const std::string cells = Cells(waybill);
  EXPECT_NE(cells.find("=FH730261584902\n"), std::string::npos) << cells;
  EXPECT_EQ(cells.find("[$"), std::string::npos) << cells;
}

TEST_F(ActionCommands, BatchPrintsBillsOfOneTypeOnly) {
  Register("customer_statement_report.xlsx", "--report 10506");
  auto request = nlohmann::ordered_json::parse(std::ifstream(vemo::test::SourceDir() / "examples/requests/customer_statement_report.json"));
  request["PrintData"] = {{{"FTranType", 1}}, {{"FTranType", 1}}};
  std::ofstream(dir_ / "batch.json") << request.dump();
  request["PrintData"] = {{{"FTranType", 1}}, {{"FTranType", 2}}};
  std::ofstream(dir_ / "mixed.json") << request.dump();

  const auto out = dir_ / "batch.xlsx";
  auto batch = Run("batch export " + ShellQuote(dir_ / "batch.json") + " --out " + ShellQuote(out) + " --no");
  ASSERT_EQ(batch.status, 0) << batch.output;
  EXPECT_NE(Cells(out).find("=鼎盛百货有限公司\n"), std::string::npos);
  auto mixed = Run("batch print " + ShellQuote(dir_ / "mixed.json"));
  EXPECT_EQ(mixed.status, 1);
  EXPECT_NE(mixed.output.find("不支持不同类型单据的连续打印！"), std::string::npos) << mixed.output;
}

TEST_F(ActionCommands, AMissingOrMisshapenMemberIsNamed) {
  // A request of another kind: what the command needs, and which command takes it.
  for (const auto& [command, shown] : {std::pair{"batch print " + Example("requests/purchase_order.json"), "PrintData"},
                                       {"bill print " + Example("requests/continuous_print.json"), "vemoprint batch"},
                                       {"waybill export " + Example("requests/商品标签模板.json"), "vemoprint label"}}) {
    auto result = Run(command);
    EXPECT_EQ(result.status, 2) << command;
    EXPECT_NE(result.output.find(shown), std::string::npos) << result.output;
  }
  std::ofstream(dir_ / "wrong.json") << R"({"DataSrv": 5})";
  auto result = Run("bill print " + ShellQuote(dir_ / "wrong.json"));
  EXPECT_EQ(result.status, 2);
  EXPECT_NE(result.output.find("\"DataSrv\" in the request file"), std::string::npos) << result.output;
}

}  // namespace
}  // namespace vemo::app
