// End to end: vemoprint init and vemoprint templates on a data folder of
// their own.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>

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
  }
  RunResult Run(const std::string& arguments) {
    return vemo::test::RunCommand("VEMO_DATA_DIR='" + dir_.path().string() + "' VEMO_DATABASE= VEMO_USER= " +
                                  Vemoprint().string() + " " + arguments);
  }
  std::filesystem::path File(const std::string& name, const std::string& bytes) {
    auto path = dir_.path() / name;
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
  }
  static std::string Read(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  }
  vemo::test::TempDir dir_;
};

TEST_F(TemplatesCommand, InitIsIdempotentAndForceKeepsAnOldCopy) {
  auto first = Run("init --database Shop");
  EXPECT_EQ(first.status, 0) << first.output;
  EXPECT_TRUE(std::filesystem::exists(dir_.path() / "Shop.db"));
  auto second = Run("init --database Shop");
  EXPECT_EQ(second.status, 0);
  EXPECT_NE(second.output.find("nothing changed"), std::string::npos) << second.output;
  auto forced = Run("init --database Shop --force");
  EXPECT_EQ(forced.status, 0);
  int backups = 0;
  for (const auto& entry : std::filesystem::directory_iterator(dir_.path()))
    backups += entry.path().filename().string().rfind("Shop.db.bak-", 0) == 0 ? 1 : 0;
  EXPECT_EQ(backups, 1);
}

TEST_F(TemplatesCommand, AddListSelectExportRemove) {
  ASSERT_EQ(Run("init").status, 0);
  std::string bytes("PK\x03\x04 binary \x00\xff template", 22);
  auto plain = File("发票.xlsx", bytes);
  auto vat = File("增值税.xls", "vat");
  auto add = Run("templates add '" + plain.string() + "' --bill-type 1020002");
  EXPECT_EQ(add.status, 0) << add.output;
  EXPECT_NE(add.output.find("template 1 (selected)"), std::string::npos) << add.output;
  EXPECT_EQ(Run("templates add '" + vat.string() + "' --bill-type 1020002 --sub-type 增值税发票").status, 0);
  auto duplicate = Run("templates add '" + plain.string() + "' --bill-type 1020002");
  EXPECT_EQ(duplicate.status, 1);
  EXPECT_NE(duplicate.output.find("不能重复注册"), std::string::npos) << duplicate.output;

  auto list = Run("templates list --bill-type 1020002");
  EXPECT_EQ(list.output, "1\tselected\t(no sub-type)\t发票.xlsx\n2\tselected\t增值税发票\t增值税.xls\n");

  auto target = dir_.path() / "out.xlsx";
  EXPECT_EQ(Run("templates export --bill-type 1020002 --to '" + target.string() + "'").status, 0);
  EXPECT_EQ(Read(target), bytes);
  EXPECT_EQ(Run("templates export --bill-type 1020002 --sub-type 增值税发票 --to '" + target.string() + "'").status, 0);
  EXPECT_EQ(Read(target), "vat");
  auto none = Run("templates export --bill-type 1020002 --sub-type 收据 --to '" + target.string() + "'");
  EXPECT_EQ(none.status, 1);
  EXPECT_NE(none.output.find("未设置打印模板信息"), std::string::npos);

  EXPECT_EQ(Run("templates add '" + File("second.xls", "2").string() + "' --bill-type 1020002").status, 0);
  EXPECT_EQ(Run("templates select --bill-type 1020002 --id 3").status, 0);
  EXPECT_EQ(Run("templates list --bill-type 1020002").output,
            "1\t-\t(no sub-type)\t发票.xlsx\n2\tselected\t增值税发票\t增值税.xls\n3\tselected\t(no sub-type)\tsecond.xls\n");
  EXPECT_EQ(Run("templates remove --bill-type 1020002 --id 2").status, 0);
  EXPECT_EQ(Run("templates remove --bill-type 1020002 --id 2").status, 1);
  EXPECT_EQ(Run("templates list --bill-type 1020002").output,
            "1\t-\t(no sub-type)\t发票.xlsx\n3\tselected\t(no sub-type)\tsecond.xls\n");
}

TEST_F(TemplatesCommand, FamiliesAreSeparateAndUsageIsChecked) {
  ASSERT_EQ(Run("init").status, 0);
  auto file = File("waybill.xls", "w");
  EXPECT_EQ(Run("templates add '" + file.string() + "' --courier 2 --data-from 1").status, 0);
  EXPECT_EQ(Run("templates list --courier 2 --data-from 1").output, "1\tselected\t(no sub-type)\twaybill.xls\n");
  EXPECT_EQ(Run("templates list --courier 2").output, "no templates registered\n");
  EXPECT_EQ(Run("templates add '" + file.string() + "' --report 10506 --sub-type 客户").status, 0);
  EXPECT_EQ(Run("templates list --report 10506").output, "1\tselected\t客户\twaybill.xls\n");
  EXPECT_EQ(Run("templates list").status, 2);
  EXPECT_EQ(Run("templates list --bill-type 1 --report 2").status, 2);
  EXPECT_EQ(Run("templates add '" + (dir_.path() / "missing.xls").string() + "' --bill-type 1020002").status, 2);
}

TEST_F(TemplatesCommand, TheSessionNamesTheAccount) {
  ASSERT_EQ(Run("init --database Acc1").status, 0);
  std::ofstream(dir_.path() / "session.json")
      << R"({"IsOuterLogin": 0, "login": {"PropsString": "UserName=Tom;ConnectString={Provider=SQLite;Initial Catalog=Acc1}"}})";
  auto add = Run("--session '" + (dir_.path() / "session.json").string() + "' templates add '" + File("a.xls", "a").string() +
                 "' --bill-type 1020001");
  EXPECT_EQ(add.status, 0) << add.output;
  EXPECT_EQ(Run("templates list --bill-type 1020001 --database Acc1").output, "1\tselected\t(no sub-type)\ta.xls\n");
  EXPECT_NE(Run("templates list --bill-type 1020001").output.find("does not exist"), std::string::npos)
      << "without the session the sample account is meant, which was never created";
}

}  // namespace
}  // namespace vemo::app
