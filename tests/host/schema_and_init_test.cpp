#include <gtest/gtest.h>
#include <pwd.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "foundation/creation_service.h"
#include "foundation/host_error.h"
#include "host/components/logistic_manage.h"
#include "host/components/print_setup.h"
#include "host/components/prog_ids.h"
#include "host/database/account_location.h"
#include "host/database/company_database.h"
#include "host/database/database_address.h"
#include "host/database/read_only_query.h"
#include "host/database/sample_account.h"
#include "host/database/schema.h"
#include "host/database/sqlite_connection.h"
#include "host_fixture.h"
#include "support/error_text.h"
#include "support/test_paths.h"

namespace vemo::host {
namespace {

int Count(const std::filesystem::path& db, const std::string& table) {
  return RunReadOnlyQuery(db, "select count(*) from " + table)->Field(0).ToInt32();
}

TEST(Schema, AnEmptyFileIsRefusedUntouched) {
  vemo::test::TempDir dir;
  std::ofstream(dir / "empty.db").close();
  EXPECT_THROW(OpenCompanyDatabase(dir / "empty.db"), HostError);
  EXPECT_EQ(std::filesystem::file_size(dir / "empty.db"), 0u);
}

// Version 1 allowed several selected templates of one sub-type; the upgrade
// keeps the first registered and the database refuses a second from then on.
TEST(Schema, UpgradeKeepsOneSelectedTemplatePerSubType) {
  vemo::test::TempDir dir;
  const auto path = dir / "v1.db";
  const std::string tables[][2] = {{"T_PrintExport", "FBillType, FBillID"}, {"T_RptExcelPrintExport", "FRptId, FNoteId"},
                                   {"T_PrintExportLM", "FBillType, FBillID"}};
  const auto insert = [&](Connection& db, const std::string* table, int id) {
    db.Exec("INSERT INTO " + table[0] + " (" + table[1] + ", FName, FSel) VALUES (7, " + std::to_string(id) + ", 'n', 1)");
  };
  {
    SqliteConnection db(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
    db.Exec("CREATE TABLE schema_version (version INTEGER); INSERT INTO schema_version VALUES (1)");
    db.Exec(SchemaMigrations().at(0));
    for (const auto& table : tables) for (int id : {5, 2, 4}) insert(db, table, id);
  }
  auto db = OpenCompanyDatabase(path);
  for (const auto& table : tables) {
    EXPECT_EQ(Count(path, table[0] + " where FSel = 1"), 1) << table[0];
    EXPECT_EQ(Count(path, table[0] + " where FSel = 1 and " + table[1].substr(table[1].find(' ') + 1) + " = 2"), 1) << table[0];
    EXPECT_THROW(insert(*db, table, 6), HostError) << table[0];
  }
}

TEST(SampleAccount, APlainInitKeepsUserDataAForcedOneBacksUpAndKeepsTemplatesLogAndAddedCouriers) {
  vemo::test::TempDir dir;
  test::DataFolderScope scope(dir.path());
  RegisterDatabaseComponents();
  auto path = DatabasePath("Shop");
  const auto companyName = [](const std::filesystem::path& db) {
    return RunReadOnlyQuery(db, "select FValue from t_SystemProfile where FKey = 'CompanyName'")->Field(0).ToText();
  };
  auto first = InitializeSampleAccount(path, false);
  EXPECT_TRUE(first.created && first.seeded);
  EXPECT_EQ(Count(path, "t_ClassType where FID = 1020002 and FBillTypeID = 20 and FName = '销售发票'"), 1);
  EXPECT_EQ(Count(path, "t_ClassTypeEntry where FClassTypeID = 1050003 and FEntryType = 1"), 2);
  {
    auto db = OpenCompanyDatabase(path);
    db->Exec("UPDATE t_SystemProfile SET FValue = '我的公司' WHERE FKey = 'CompanyName'");
    db->Exec("DELETE FROM T_ICItem WHERE FItemID = 6");
  }
  auto second = InitializeSampleAccount(path, false);
  EXPECT_FALSE(second.created || second.seeded);
  EXPECT_EQ(companyName(path), "我的公司");
  EXPECT_EQ(Count(path, "T_ICItem"), 5) << "a plain init never re-adds what the user removed";

  std::string props = MakePropsString("Shop", kSampleAdmin);
  CreateObjectAs<IPrintSetupUpdate>(progid::kPrintSetupUpdate)->InsertNoteRow(props, 1020002, "mine.xls", Bytes{1, 2, 3});
  {
    auto db = OpenCompanyDatabase(path);
    db->Exec("INSERT INTO t_Logistic (FID, FName) VALUES (50, '德邦快递')");
    db->Exec("INSERT INTO t_BehaviorLog (FTime, FUserName, FCode, FText) VALUES ('2024-01-01 00:00:00', 'a', 'S1S003E001', 'x')");
  }
  auto outcome = InitializeSampleAccount(path, true);
  ASSERT_TRUE(outcome.seeded && std::filesystem::exists(outcome.backup)) << outcome.backup;
  EXPECT_EQ(companyName(outcome.backup), "我的公司");
  EXPECT_EQ(companyName(path), "维默示范茶业贸易有限公司");
  EXPECT_EQ(Count(path, "T_PrintExport where FName = 'mine.xls' and length(FFileData) = 3"), 1);
  EXPECT_EQ(Count(path, "t_BehaviorLog"), 1);
  EXPECT_EQ(Count(path, "t_Logistic where FName = '德邦快递'"), 1);
  EXPECT_EQ(Count(path, "t_Logistic where FIsDefault = 1"), 1);
  EXPECT_EQ(Count(path, "T_ICItem"), 6);
}

// The company database connection the process keeps between component calls:
// handed out again while the path names the same file, never for a file that
// was removed, replaced or restored meanwhile, and still refusing a file a
// newer program wrote.

namespace fs = std::filesystem;

std::string CompanyName(Connection& db) {
  auto row = db.Prepare("SELECT FValue FROM t_SystemProfile WHERE FKey = 'CompanyName'");
  return row.Step() ? row.Text(0) : "";
}

void MakeDatabase(const fs::path& path, const std::string& companyName) {
  auto db = OpenCompanyDatabase(path, OpenMode::Create);
  db->Exec("INSERT INTO t_SystemProfile (FCategory, FKey, FValue) VALUES ('Base', 'CompanyName', '" + companyName + "')");
}

TEST(KeptConnection, TheSameFileGetsTheSameConnectionAnotherItsOwn) {
  vemo::test::TempDir dir;
  MakeDatabase(dir / "a.db", "甲");
  MakeDatabase(dir / "b.db", "乙");
  auto first = OpenCompanyDatabase(dir / "a.db");
  EXPECT_EQ(first.get(), OpenCompanyDatabase(dir / "a.db").get());
  EXPECT_EQ(CompanyName(*OpenCompanyDatabase(dir / "b.db")), "乙");
  // A write through one is what the next caller reads.
  first->Exec("UPDATE t_SystemProfile SET FValue = '丙' WHERE FKey = 'CompanyName'");
  EXPECT_EQ(CompanyName(*OpenCompanyDatabase(dir / "a.db")), "丙");
}

TEST(KeptConnection, AFileReplacedRemovedOrOfANewerProgramIsNotTheKeptOne) {
  vemo::test::TempDir dir;
  const fs::path path = dir / "a.db";
  MakeDatabase(path, "甲");
  auto kept = OpenCompanyDatabase(path);
  // Restored from another file, as a forced init's backup swap does.
  MakeDatabase(dir / "other.db", "乙");
  fs::rename(dir / "other.db", path);
  EXPECT_EQ(CompanyName(*OpenCompanyDatabase(path)), "乙");
  SqliteConnection(path, SQLITE_OPEN_READWRITE).Exec("UPDATE schema_version SET version = " + std::to_string(LatestSchemaVersion() + 1));
  vemo::test::ExpectErrorSaying<HostError>([&] { OpenCompanyDatabase(path); }, "newer");
  EXPECT_THROW(RunReadOnlyQuery(path, "select 1"), HostError);
  fs::remove(path);
  EXPECT_THROW(OpenCompanyDatabase(path), HostError);
  EXPECT_FALSE(fs::exists(path));
}

TEST(AccountName, IsTheInitialCatalogOrTheSampleAccountAndItsFileCannotEscapeTheDataFolder) {
  EXPECT_EQ(AccountName(""), kSampleAccount);  // the Initial Catalog: with the data sources below
  EXPECT_EQ(UserName(MakePropsString("X", "张三")) + " " + AccountName(MakePropsString("X", "张三")), "张三 X");
  vemo::test::TempDir dir;
  test::DataFolderScope scope(dir.path());
  EXPECT_EQ(DatabasePath("Acc1"), dir.path() / "Acc1.db");
  EXPECT_EQ(DatabasePath(""), dir.path() / "VemoSample.db");
  for (const char* escaping : {"../etc/passwd", "..", "a/b"}) EXPECT_THROW(DatabasePath(escaping), HostError) << escaping;
}

TEST(AccountDatabase, TheDataSourcePicksTheEmbeddedFileOrAServer) {
  vemo::test::TempDir dir;
  test::DataFolderScope scope(dir.path());
  struct Case {
    const char* connect;
    const char* described;  // nullptr: the embedded file; "": refused
  } cases[] = {
      {"Provider=SQLite;Initial Catalog=Shop", nullptr},
      {"Data Source=.;Initial Catalog=Shop", nullptr},
      {"Data Source= (LOCAL) ;Initial Catalog=Shop", nullptr},
      {"Data Source=db1;Initial Catalog=Shop", "Shop on db1"},
      {"Data Source=db1,5433;Initial Catalog=Shop", "Shop on db1:5433"},
      {"Data Source=db1.example.com:5432;Initial Catalog=", "VemoSample on db1.example.com:5432"},
      {"Data Source=/run/pg:1;Initial Catalog=Shop", "Shop on /run/pg:1"},
      {"Data Source=db1:;Initial Catalog=Shop", ""},
      {"Data Source=:5432;Initial Catalog=Shop", ""},
      {"Data Source=db1:54x;Initial Catalog=Shop", ""},
      {"Data Source=::1;Initial Catalog=Shop", "Shop on [::1]"},
      {"Data Source=[::1]:5433;Initial Catalog=Shop", "Shop on [::1]:5433"},
      {"Data Source=fe80::1,5433;Initial Catalog=Shop", "Shop on [fe80::1]:5433"},
      {"Data Source=[::1;Initial Catalog=Shop", ""},
      {"Data Source=[::1]x;Initial Catalog=Shop", ""},
  };
  for (const Case& c : cases) {
    std::string props = "UserName=a;ConnectString={" + std::string(c.connect) + "}";
    if (c.described && !*c.described) {
      EXPECT_THROW(AccountDatabase(props), HostError) << c.connect;
      continue;
    }
    DatabaseAddress address = AccountDatabase(props);
    if (!c.described) {
      EXPECT_EQ(address.kind, DatabaseKind::Embedded) << c.connect;
      EXPECT_EQ(address.file, dir.path() / "Shop.db") << c.connect;
    } else {
      EXPECT_EQ(address.kind, DatabaseKind::Server) << c.connect;
      EXPECT_EQ(address.Describe(), c.described) << c.connect;
    }
  }
  EXPECT_EQ(AccountDatabase(MakePropsString("Shop", "a", "db2:6000")).Describe(), "Shop on db2:6000");
}

// A service started without HOME still finds the user's data folder, never
// one below wherever it was started.
TEST(DataFolder, WithoutHomeIsBelowTheAccountsHomeFolder) {
  std::vector<std::pair<std::string, std::string>> saved;
  for (const char* name : {"VEMO_DATA_DIR", "XDG_DATA_HOME", "HOME"}) {
    if (const char* value = std::getenv(name)) saved.emplace_back(name, value);
    ::unsetenv(name);
  }
  EXPECT_EQ(DataFolder(), std::filesystem::path(::getpwuid(::getuid())->pw_dir) / ".local/share/vemoprint/data");
  for (const auto& [name, value] : saved) ::setenv(name.c_str(), value.c_str(), 1);
}

}  // namespace
}  // namespace vemo::host
