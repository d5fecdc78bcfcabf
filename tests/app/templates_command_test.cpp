// End to end: vemoprint init, demo and templates on a data folder of their
// own. Which template is selected and printed is the template store's rule;
// here the commands that reach it and what they list.
#include <fstream>

#include "app_fixture.h"
#include "support/files.h"

namespace vemo::app::test {
namespace {

namespace fs = std::filesystem;
using TemplatesCommand = VemoprintTest;

// An example template (they name their bill type, report or waybill type in
// B3 of the third sheet, so they pass the template engine's check).
fs::path Template(const std::string& name) { return vemo::test::SourceDir() / "examples/templates" / name; }

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
  EXPECT_TRUE(fs::exists(dir_ / "machine/drive_c/Graphics/ItemPhotos/商品标签模板.xlsx"));
  auto second = Run("init");
  EXPECT_EQ(second.status, 0);
  EXPECT_EQ(second.output.find("registered the sample template"), std::string::npos) << second.output;
  EXPECT_EQ(second.output.find("installed the sample item label"), std::string::npos) << second.output;
}

TEST_F(TemplatesCommand, DemoExportsTheSampleInvoiceAndPrintsOrPreviewsIt) {
  const auto out = dir_ / "out";
  auto demo = Run("demo --out " + ShellQuote(out));
  ASSERT_EQ(demo.status, 0) << demo.output;
  EXPECT_TRUE(fs::exists(out / "销售发票.xlsx")) << demo.output;
  bool previewed = false;
  for (const auto& entry : fs::directory_iterator(out)) previewed |= entry.path().extension() == ".pdf";
  const bool printed = demo.output.find("printed the sample sales invoice on") != std::string::npos;
  EXPECT_TRUE(printed || previewed) << demo.output;
  // Every sample, the item label's too: a label export works right after it.
  EXPECT_NE(demo.output.find("registered 8 sample templates and the item label template"), std::string::npos) << demo.output;
  const auto label = Run("label export " + Example("requests/商品标签模板.json") + " --out " + ShellQuote(out / "label.xlsx") + " --no");
  EXPECT_EQ(label.status, 0) << label.output;
}

TEST_F(TemplatesCommand, AddListSelectExportRemove) {
  Init();
  const fs::path plain = dir_ / "发票.xlsx", vat = dir_ / "增值税.xlsx", target = dir_ / "out.xlsx";
  fs::copy_file(Template("sales_invoice_plain.xlsx"), plain);
  fs::copy_file(Template("sales_invoice_vat.xlsx"), vat);
  auto add = Run("templates add " + ShellQuote(plain) + " --bill-type 1020002");
  EXPECT_NE(add.output.find("template 1 (selected)"), std::string::npos) << add.output;
  // A new template is selected only when no template without a sub-type is.
  auto second = Run("templates add " + ShellQuote(vat) + " --bill-type 1020002 --sub-type 增值税发票");
  EXPECT_NE(second.output.find("template 2 (not selected"), std::string::npos) << second.output;

  // Every sub-type without a selected template of its own prints with the one without a sub-type.
  EXPECT_EQ(Run("templates list --bill-type 1020002").output,
            "1\tselected\t(no sub-type)\t发票.xlsx\n2\t-\t增值税发票\t增值税.xlsx\n"
            "printing (no sub-type): template 1 (发票.xlsx)\nprinting 增值税发票: template 1 (发票.xlsx)\n"
            "printing 普通发票: template 1 (发票.xlsx)\nprinting 收据: template 1 (发票.xlsx)\n"
            "printing 其他: template 1 (发票.xlsx)\n");
  EXPECT_EQ(Run("templates select --bill-type 1020002 --id 2").status, 0);
  EXPECT_NE(Run("templates list --bill-type 1020002").output.find("printing 增值税发票: template 2 (增值税.xlsx)\n"),
            std::string::npos);

  EXPECT_EQ(Run("templates export --bill-type 1020002 --to " + ShellQuote(target)).status, 0);
  EXPECT_EQ(vemo::test::ReadFileBytes(target), vemo::test::ReadFileBytes(plain));
  EXPECT_EQ(Run("templates export --bill-type 1020002 --sub-type 增值税发票 --to " + ShellQuote(target)).status, 0);
  EXPECT_EQ(vemo::test::ReadFileBytes(target), vemo::test::ReadFileBytes(vat));

  EXPECT_EQ(Run("templates remove --bill-type 1020002 --id 2").status, 0);
  EXPECT_EQ(Run("templates remove --bill-type 1020002 --id 2").status, 1);
  EXPECT_EQ(Run("templates list --bill-type 1020002").output.find("1\tselected\t(no sub-type)\t发票.xlsx\nprinting (no sub-type): template 1"), 0u);
}

TEST_F(TemplatesCommand, FamiliesAreSeparate) {
  Init();
  EXPECT_EQ(Run("templates add " + ShellQuote(Template("courier_waybill.xlsx")) + " --courier 2 --data-from 0").status, 0);
  EXPECT_EQ(Run("templates list --courier 2").output, "1\tselected\t(no sub-type)\tcourier_waybill.xlsx\n");
  EXPECT_EQ(Run("templates list --courier 2 --data-from 1").output, "no templates registered\n");
  EXPECT_EQ(Run("templates list --courier 1").output, "no templates registered\n");
  EXPECT_EQ(Run("templates add " + ShellQuote(Template("customer_statement_report.xlsx")) + " --report 10506 --sub-type 客户").status, 0);
  EXPECT_EQ(Run("templates list --report 10506").output,
            "1\tselected\t客户\tcustomer_statement_report.xlsx\n"
            "printing (no sub-type): no template (select one without a sub-type)\n"
            "printing 客户: template 1 (customer_statement_report.xlsx)\n"
            "printing 供应商: no template (select one of 供应商, or one without a sub-type)\n");
}

TEST_F(TemplatesCommand, TheSessionNamesTheAccount) {
  Init("--no-templates --database Acc1");
  std::ofstream(dir_ / "session.json")
      << R"({"IsOuterLogin": 0, "login": {"PropsString": "UserName=Tom;ConnectString={Provider=SQLite;Initial Catalog=Acc1}"}})";
  auto add = Run("--session " + ShellQuote(dir_ / "session.json") + " templates add " +
                 ShellQuote(Template("purchase_order.xlsx")) + " --bill-type 1030001");
  EXPECT_EQ(add.status, 0) << add.output;
  EXPECT_EQ(Run("templates list --bill-type 1030001 --database Acc1").output, "1\tselected\t(no sub-type)\tpurchase_order.xlsx\n");
  EXPECT_NE(Run("templates list --bill-type 1030001").output.find("does not exist"), std::string::npos)
      << "without the session the sample account is meant, which was never created";
}

// Six registrations at once for one bill type, each selected when it finds
// no other selected template of its sub-type: one stays selected.
TEST_F(TemplatesCommand, ConcurrentRegistrationsLeaveOneSelected) {
  Init();
  std::string script;
  for (int i = 0; i < 6; ++i) {
    const fs::path copy = dir_ / ("t" + std::to_string(i) + ".xlsx");
    fs::copy_file(Template("sales_invoice_plain.xlsx"), copy);
    script += "VEMO_DATA_DIR=" + ShellQuote(dir_.path()) + " VEMO_MACHINE_CONFIG=" + ShellQuote(dir_ / "machine") + " " +
              ShellQuote(vemo::test::VemoprintPath()) + " templates add " + ShellQuote(copy) + " --bill-type 1020002 >/dev/null & ";
  }
  ASSERT_EQ(vemo::test::RunCommand("sh -c " + ShellQuote(script + "wait")).status, 0);
  const std::string list = Run("templates list --bill-type 1020002").output;
  EXPECT_EQ(std::count(list.begin(), list.end(), '\t'), 6 * 3) << list;  // six rows of four columns
  ASSERT_NE(list.find("\tselected\t"), std::string::npos) << list;
  EXPECT_EQ(list.find("\tselected\t"), list.rfind("\tselected\t")) << list;
}

}  // namespace
}  // namespace vemo::app::test
