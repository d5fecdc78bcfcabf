// End to end: vemoprint init and vemoprint templates on a data folder of
// their own.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "support/files.h"
#include "support/run_command.h"
#include "support/test_paths.h"

namespace vemo::app {
namespace {

using RunResult = vemo::test::CommandResult;
std::filesystem::path Vemoprint() { return vemo::test::VemoprintPath(); }

class TemplatesCommand : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!std::filesystem::exists(Vemoprint())) GTEST_SKIP() << "vemoprint is not built at " << Vemoprint();
    std::filesystem::create_directories(dir_.path() / "machine");
  }
  // Without any display variable, whatever the session running the tests
  // has (with one, the Qt user interface would open the setup dialogs).
  RunResult Run(const std::string& arguments, const std::string& environment = "") {
    return vemo::test::RunCommand("env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM " + environment +
                                  " VEMO_DATA_DIR='" + dir_.path().string() + "' VEMO_MACHINE_CONFIG='" +
                                  (dir_.path() / "machine").string() + "' VEMO_DATABASE= VEMO_USER= " +
                                  Vemoprint().string() + " " + arguments);
  }
  std::filesystem::path File(const std::string& name, const std::string& bytes) {
    vemo::test::WriteFileBytes(dir_.path() / name, bytes);
    return dir_.path() / name;
  }
  static std::string Read(const std::filesystem::path& path) { return vemo::test::ReadFileBytes(path); }
  vemo::test::TempDir dir_;
};

TEST_F(TemplatesCommand, InitIsIdempotentAndForceKeepsAnOldCopy) {
  auto first = Run("init --no-templates --database Shop");
  EXPECT_EQ(first.status, 0) << first.output;
  EXPECT_TRUE(std::filesystem::exists(dir_.path() / "Shop.db"));
  auto second = Run("init --no-templates --database Shop");
  EXPECT_EQ(second.status, 0);
  EXPECT_NE(second.output.find("nothing changed"), std::string::npos) << second.output;
  auto forced = Run("init --no-templates --database Shop --force");
  EXPECT_EQ(forced.status, 0);
  int backups = 0;
  for (const auto& entry : std::filesystem::directory_iterator(dir_.path()))
    backups += entry.path().filename().string().rfind("Shop.db.bak-", 0) == 0 ? 1 : 0;
  EXPECT_EQ(backups, 1);
}

TEST_F(TemplatesCommand, InitRegistersTheSampleTemplatesOnceWithTheirSubTypes) {
  auto first = Run("init");
  ASSERT_EQ(first.status, 0) << first.output;
  std::size_t registered = 0;
  for (std::size_t at = first.output.find("registered the sample template"); at != std::string::npos;
       at = first.output.find("registered the sample template", at + 1))
    ++registered;
  EXPECT_EQ(registered, 8u) << first.output;
  EXPECT_EQ(first.output.find("could not"), std::string::npos) << first.output;
  // Both sales invoice sub-types have their own selected template.
  auto list = Run("templates list --bill-type 1020002");
  EXPECT_NE(list.output.find("selected\t增值税发票\tsales_invoice_vat.xlsx"), std::string::npos) << list.output;
  EXPECT_NE(list.output.find("selected\t普通发票\tsales_invoice_plain.xlsx"), std::string::npos) << list.output;
  // The item label sample is installed where the program's installation keeps it.
  EXPECT_NE(first.output.find("installed the sample item label template"), std::string::npos) << first.output;
  EXPECT_TRUE(std::filesystem::exists(dir_.path() / "machine/drive_c/Graphics/ItemPhotos/商品标签模板.xlsx"));
  auto second = Run("init");
  EXPECT_EQ(second.status, 0);
  EXPECT_EQ(second.output.find("registered the sample template"), std::string::npos) << second.output;
  EXPECT_EQ(second.output.find("installed the sample item label"), std::string::npos) << second.output;
}

TEST_F(TemplatesCommand, DemoExportsTheSampleInvoiceAndPrintsOrPreviewsIt) {
  const auto out = dir_.path() / "out";
  auto demo = Run("demo --out " + vemo::test::ShellQuote(out));
  ASSERT_EQ(demo.status, 0) << demo.output;
  EXPECT_TRUE(std::filesystem::exists(out / "销售发票.xlsx")) << demo.output;
  bool previewed = false;
  for (const auto& entry : std::filesystem::directory_iterator(out)) previewed |= entry.path().extension() == ".pdf";
  const bool printed = demo.output.find("printed the sample sales invoice on") != std::string::npos;
  EXPECT_TRUE(printed || previewed) << demo.output;
  // Every sample, the item label's too: a label export works right after it.
  EXPECT_NE(demo.output.find("registered 8 sample templates and the item label template"), std::string::npos) << demo.output;
  const auto label = Run("label export " + vemo::test::ShellQuote(vemo::test::SourceDir() / "examples/requests/商品标签模板.json") +
                         " --out " + vemo::test::ShellQuote(out / "label.xlsx") + " --no");
  EXPECT_EQ(label.status, 0) << label.output;
}

// What the command line answers a newcomer: exit status and a text it shows.
TEST_F(TemplatesCommand, TheCommandLineGuides) {
  ASSERT_EQ(Run("init --no-templates").status, 0);
  struct Case {
    std::string arguments;
    int status;
    const char* shown;
  };
  const Case cases[] = {
      {"", 2, "Subcommands:"},
      {"--version", 0, "vemoprint 0.1\nbuild type "},
      {"couriers list", 0, "1\tSF\t顺丰速运\t(default)\n2\tZTO\t中通快递\n"},
      {"setup bill --bill-type 1020002", 2, "needs a display"},
      {"setup report --report 10506 --name 对账单", 2, "needs a display"},
      {"setup waybill --data-from 1", 2, "needs a display"},
      {"setup couriers", 2, "needs a display"},
  };
  for (const Case& c : cases) {
    auto result = Run(c.arguments);
    EXPECT_EQ(result.status, c.status) << c.arguments;
    EXPECT_NE(result.output.find(c.shown), std::string::npos) << c.arguments << ": " << result.output;
  }
}

// The sample templates name their bill type (report, waybill type) in cell
// B3 of the third sheet, so they pass the template engine's check.
std::filesystem::path Example(const std::string& name) { return vemo::test::SourceDir() / "examples" / "templates" / name; }

TEST_F(TemplatesCommand, AddListSelectExportRemove) {
  ASSERT_EQ(Run("init --no-templates").status, 0);
  auto plain = File("发票.xlsx", Read(Example("sales_invoice_plain.xlsx")));
  auto vat = File("增值税.xlsx", Read(Example("sales_invoice_vat.xlsx")));
  auto add = Run("templates add '" + plain.string() + "' --bill-type 1020002");
  EXPECT_EQ(add.status, 0) << add.output;
  EXPECT_NE(add.output.find("template 1 (selected)"), std::string::npos) << add.output;
  // A new template is selected only when no template without a sub-type is;
  // choosing its sub-type afterwards does not select it.
  auto second = Run("templates add '" + vat.string() + "' --bill-type 1020002 --sub-type 增值税发票");
  EXPECT_EQ(second.status, 0) << second.output;
  EXPECT_NE(second.output.find("template 2 (not selected"), std::string::npos) << second.output;
  auto duplicate = Run("templates add '" + File("发票.XLSX", Read(plain)).string() + "' --bill-type 1020002");
  EXPECT_EQ(duplicate.status, 1);
  EXPECT_NE(duplicate.output.find("已经注册了名称为【发票.XLSX】的打印模板文件，不能重复注册"), std::string::npos) << duplicate.output;
  auto badSubType = Run("templates add '" + vat.string() + "' --bill-type 1020002 --sub-type 发票");
  EXPECT_EQ(badSubType.status, 2);
  EXPECT_NE(badSubType.output.find("增值税发票 普通发票 收据 其他"), std::string::npos) << badSubType.output;

  // Every sub-type without a selected template of its own prints with the one without a sub-type.
  EXPECT_EQ(Run("templates list --bill-type 1020002").output,
            "1\tselected\t(no sub-type)\t发票.xlsx\n2\t-\t增值税发票\t增值税.xlsx\n"
            "printing (no sub-type): template 1 (发票.xlsx)\nprinting 增值税发票: template 1 (发票.xlsx)\n"
            "printing 普通发票: template 1 (发票.xlsx)\nprinting 收据: template 1 (发票.xlsx)\n"
            "printing 其他: template 1 (发票.xlsx)\n");
  auto target = dir_.path() / "out.xlsx";
  EXPECT_EQ(Run("templates select --bill-type 1020002 --id 2").status, 0);
  EXPECT_NE(Run("templates list --bill-type 1020002").output.find("printing 增值税发票: template 2 (增值税.xlsx)\n"),
            std::string::npos);

  EXPECT_EQ(Run("templates export --bill-type 1020002 --to '" + target.string() + "'").status, 0);
  EXPECT_EQ(Read(target), Read(plain));
  EXPECT_EQ(Run("templates export --bill-type 1020002 --sub-type 增值税发票 --to '" + target.string() + "'").status, 0);
  EXPECT_EQ(Read(target), Read(vat));
  auto none = Run("templates export --bill-type 1020002 --sub-type 收据 --to '" + target.string() + "'");
  EXPECT_EQ(none.status, 1);
  EXPECT_NE(none.output.find("no template of 收据"), std::string::npos) << none.output;

  EXPECT_EQ(Run("templates add '" + File("second.xlsx", Read(plain)).string() + "' --bill-type 1020002").status, 0);
  EXPECT_EQ(Run("templates select --bill-type 1020002 --id 3").status, 0);
  EXPECT_EQ(Run("templates list --bill-type 1020002").output.find(
                "1\t-\t(no sub-type)\t发票.xlsx\n2\tselected\t增值税发票\t增值税.xlsx\n3\tselected\t(no sub-type)\tsecond.xlsx\n"),
            0u);
  EXPECT_EQ(Run("templates remove --bill-type 1020002 --id 2").status, 0);
  EXPECT_EQ(Run("templates remove --bill-type 1020002 --id 2").status, 1);
  EXPECT_EQ(Run("templates list --bill-type 1020002").output.find(
                "1\t-\t(no sub-type)\t发票.xlsx\n3\tselected\t(no sub-type)\tsecond.xlsx\nprinting (no sub-type): template 3"),
            0u);
}

TEST_F(TemplatesCommand, FamiliesAreSeparateAndUsageIsChecked) {
  ASSERT_EQ(Run("init --no-templates").status, 0);
  auto waybill = Example("courier_waybill.xlsx");
  auto add = Run("templates add '" + waybill.string() + "' --courier 2 --data-from 0");
  EXPECT_EQ(add.status, 0) << add.output;
  EXPECT_EQ(Run("templates list --courier 2").output, "1\tselected\t(no sub-type)\tcourier_waybill.xlsx\n");
  EXPECT_EQ(Run("templates list --courier 2 --data-from 1").output, "no templates registered\n");
  EXPECT_EQ(Run("templates list --courier 1").output, "no templates registered\n");
  EXPECT_EQ(Run("templates add '" + waybill.string() + "' --courier 2 --sub-type 客户").status, 2) << "waybills have no sub-types";
  auto hidden = Run("templates list --courier 6");
  EXPECT_EQ(hidden.status, 2) << "a company that is not shown cannot be chosen";
  EXPECT_NE(hidden.output.find("顺丰速运|1"), std::string::npos) << hidden.output;
  auto report = Example("customer_statement_report.xlsx");
  EXPECT_EQ(Run("templates add '" + report.string() + "' --report 10506 --sub-type 客户").status, 0);
  EXPECT_EQ(Run("templates list --report 10506").output,
            "1\tselected\t客户\tcustomer_statement_report.xlsx\n"
            "printing (no sub-type): no template (select one without a sub-type)\n"
            "printing 客户: template 1 (customer_statement_report.xlsx)\n"
            "printing 供应商: no template (select one of 供应商, or one without a sub-type)\n");
  EXPECT_EQ(Run("templates list").status, 2);
  EXPECT_EQ(Run("templates list --bill-type 1 --report 2").status, 2);
  EXPECT_EQ(Run("templates add '" + (dir_.path() / "missing.xls").string() + "' --bill-type 1020002").status, 2);
}

TEST_F(TemplatesCommand, WithoutASpreadsheetApplicationNothingIsRegistered) {
  ASSERT_EQ(Run("init --no-templates").status, 0);
  auto add = Run("templates add '" + Example("purchase_order.xlsx").string() + "' --bill-type 1030001", "VEMO_NO_SPREADSHEET=1");
  EXPECT_EQ(add.status, 1);
  EXPECT_NE(add.output.find("系统没有检测到EXCEL，请确认是否已经安装!"), std::string::npos) << add.output;
  EXPECT_EQ(Run("templates list --bill-type 1030001").output, "no templates registered\n");
}

TEST_F(TemplatesCommand, TheSessionNamesTheAccount) {
  ASSERT_EQ(Run("init --no-templates --database Acc1").status, 0);
  std::ofstream(dir_.path() / "session.json")
      << R"({"IsOuterLogin": 0, "login": {"PropsString": "UserName=Tom;ConnectString={Provider=SQLite;Initial Catalog=Acc1}"}})";
  auto add = Run("--session '" + (dir_.path() / "session.json").string() + "' templates add '" +
                 Example("purchase_order.xlsx").string() + "' --bill-type 1030001");
  EXPECT_EQ(add.status, 0) << add.output;
  EXPECT_EQ(Run("templates list --bill-type 1030001 --database Acc1").output, "1\tselected\t(no sub-type)\tpurchase_order.xlsx\n");
  EXPECT_NE(Run("templates list --bill-type 1030001").output.find("does not exist"), std::string::npos)
      << "without the session the sample account is meant, which was never created";
}


// Six registrations at once for one bill type, each selected when it finds
// no other selected template of its sub-type: one stays selected.
TEST_F(TemplatesCommand, ConcurrentRegistrationsLeaveOneSelected) {
  ASSERT_EQ(Run("init --no-templates").status, 0);
  std::string script;
  for (int i = 0; i < 6; ++i)
    script += "VEMO_DATA_DIR='" + dir_.path().string() + "' VEMO_MACHINE_CONFIG='" + (dir_.path() / "machine").string() +
              "' " + Vemoprint().string() + " templates add '" +
              File("t" + std::to_string(i) + ".xlsx", Read(Example("sales_invoice_plain.xlsx"))).string() + "' --bill-type 1020002 >/dev/null & ";
  ASSERT_EQ(vemo::test::RunCommand("sh -c " + vemo::test::ShellQuote(script + "wait")).status, 0);
  const std::string list = Run("templates list --bill-type 1020002").output;
  EXPECT_EQ(std::count(list.begin(), list.end(), '\t'), 6 * 3) << list;  // six rows of four columns
  ASSERT_NE(list.find("\tselected\t"), std::string::npos) << list;
  EXPECT_EQ(list.find("\tselected\t"), list.rfind("\tselected\t")) << list;
}

}  // namespace
}  // namespace vemo::app
