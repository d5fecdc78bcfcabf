// End to end: vemoprint bill|report|waybill|batch with the real engines, the
// sample account's template store and our spreadsheet application.
#include <fstream>

#include <nlohmann/json.hpp>

#include "app_fixture.h"

namespace vemo::app::test {
namespace {

class ActionCommands : public VemoprintTest {
 protected:
  void SetUp() override {
    VemoprintTest::SetUp();
    if (!IsSkipped()) Init();
  }
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
};

// Each family's export: the template registered for the request, the
// question answered No, every keyword of the first sheet filled and the
// other sheets gone.
TEST_F(ActionCommands, EachFamilyExportsItsFilledTemplate) {
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
    const std::string cells = Cells(out);
    EXPECT_NE(cells.find(c.value), std::string::npos) << c.command << "\n" << cells;
    EXPECT_NE(cells.find("sheets=1\n"), std::string::npos) << c.command << "\n" << cells;
    EXPECT_EQ(cells.find("[$"), std::string::npos) << c.command << "\n" << cells;
  }
}

}  // namespace
}  // namespace vemo::app::test
