// What only a database shared by several desks has to get right: writers at
// the same moment, a connection lost half-way, the query role. (The schema
// version check is the same code for both databases: schema_and_init_test.)
// These run in the server half of the suite (VEMO_TEST_DATABASE=server).
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>

#include "context/machine_config.h"
#include "foundation/creation_service.h"
#include "host/components/print_setup.h"
#include "host/components/prog_ids.h"
#include "host/database/read_only_query.h"
#include "host_fixture.h"
#include "support/error_text.h"

namespace vemo::host {
namespace {

constexpr std::int32_t kBillType = 1020002;

Bytes Contents(const std::string& name) {
  Bytes bytes(200000);
  for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>((i + name.size() * 31 + name.back()) % 253);
  return bytes;
}

class ServerDatabaseTest : public test::SampleAccountTest {
 protected:
  void SetUp() override {
    if (!OnServer()) GTEST_SKIP() << "runs against the server only (VEMO_TEST_DATABASE=server)";
  }
  RecordsetRef Query(const std::string& sql) { return RunReadOnlyQuery(Database(), sql); }
};

TEST_F(ServerDatabaseTest, DesksRegisteringAndSelectingAtOnceLeaveOneSelectedWholeTemplate) {
  constexpr int kDesks = 3, kRounds = 6;
  std::vector<pid_t> desks;
  for (int desk = 0; desk < kDesks; ++desk) {
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      int status = 0;
      try {
        auto update = CreateObjectAs<IPrintSetupUpdate>(progid::kPrintSetupUpdate);
        for (int round = 0; round < kRounds; ++round) {
          std::string name = "desk" + std::to_string(desk) + "_" + std::to_string(round) + ".xls";
          auto id = update->InsertNoteRow(Props(), kBillType, name, Contents(name))->Item(1).ToText();
          // Selecting the new row clears the one another desk selected.
          update->UpdateUserNoteData(Props(), kBillType, *test::TemplateGrid({{std::to_string(kBillType) + "|" + id, name, 1, ""}}));
        }
      } catch (const std::exception& e) {
        std::fprintf(stderr, "desk %d: %s\n", desk, e.what());
        status = 1;
      }
      _exit(status);
    }
    desks.push_back(child);
  }
  for (pid_t desk : desks) {
    int status = 0;
    waitpid(desk, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "a desk failed (its message is above)";
  }
  auto selected = Query("select count(*) from T_PrintExport where FBillType = 1020002 and FSel = 1");
  EXPECT_EQ(selected->Field(0).ToInt32(), 1);
  auto rows = Query("select FBillID, FName, FFileData from T_PrintExport where FBillType = 1020002 order by FBillID");
  EXPECT_EQ(rows->RecordCount(), kDesks * kRounds);
  for (int id = 1; !rows->Eof(); rows->MoveNext(), ++id) {
    EXPECT_EQ(rows->Field("FBillID").ToInt32(), id) << "ids have no gaps";
    EXPECT_TRUE(rows->Field("FFileData").ToBytes() == Contents(rows->Field("FName").ToText())) << rows->Field("FName").ToText();
  }
}

TEST_F(ServerDatabaseTest, ALostConnectionSaysSoSavesNothingAndTheNextCallReconnects) {
  auto update = CreateObjectAs<IPrintSetupUpdate>(progid::kPrintSetupUpdate);
  update->InsertNoteRow(Props(), kBillType, "kept.xls", Contents("kept.xls"));
  // The server ends every session of this database but the one asking.
  DatabaseAddress server = Database();
  server.database = "postgres";
  PgConnection(server, ServerRole::Writer)
      .Prepare("SELECT pg_terminate_backend(pid) FROM pg_stat_activity WHERE datname = ? AND pid <> pg_backend_pid()")
      .Bind(1, Database().database)
      .Run();
  const std::string said =
      vemo::test::ErrorText<HostError>([&] { update->InsertNoteRow(Props(), kBillType, "lost.xls", Contents("lost.xls")); });
  EXPECT_NE(said.find("was lost"), std::string::npos) << said;
  EXPECT_NE(said.find("nothing of the unfinished step was saved"), std::string::npos) << said;
  update->InsertNoteRow(Props(), kBillType, "again.xls", Contents("again.xls"));
  EXPECT_EQ(Query("select string_agg(FName, ',' order by FBillID) from T_PrintExport where FBillType = 1020002")->Field(0).ToText(),
            "kept.xls,again.xls");
}

TEST_F(ServerDatabaseTest, QueriesRunAsTheQueryRoleTheMachineNames) {
  // A role that may read the items but not the users.
  DatabaseAddress server = Database();
  server.database = "postgres";
  PgConnection admin(server, ServerRole::Writer);
  admin.Exec("DO $$BEGIN IF NOT EXISTS (SELECT 1 FROM pg_roles WHERE rolname = 'vemo_reader') THEN "
             "CREATE ROLE vemo_reader LOGIN; END IF; END$$");
  OpenCompanyDatabase(Database())->Exec("GRANT SELECT ON T_ICItem, schema_version TO vemo_reader");
  vemo::test::TempDir machine;
  std::ofstream(machine.path() / "database.json") << R"({"query": {"user": "vemo_reader"}})";
  context::ScopedMachineConfig scope(machine.path());

  EXPECT_EQ(Query("select count(*) from T_ICItem")->Field(0).ToInt32(), 6);
  vemo::test::ExpectErrorSaying<HostError>([&] { Query("select count(*) from t_User"); }, "permission denied");
  // The components themselves still write as the desk.
  auto update = CreateObjectAs<IPrintSetupUpdate>(progid::kPrintSetupUpdate);
  EXPECT_NO_THROW(update->InsertNoteRow(Props(), kBillType, "desk.xls", Contents("desk.xls")));
}

TEST_F(ServerDatabaseTest, ADeskOpensItsConnectionsOnceAndUsesThemForEveryCall) {
  DatabaseAddress server = Database();
  server.database = "postgres";
  PgConnection admin(server, ServerRole::Writer);
  const auto sessions = [&] {  // the server processes of the desk's connections
    auto pids = admin.Prepare("SELECT string_agg(pid::text, ',' ORDER BY pid), count(*) FROM pg_stat_activity WHERE datname = ?");
    return pids.Bind(1, Database().database).Step() ? std::make_pair(pids.Text(0), std::int64_t{pids.Int(1)}) : std::make_pair(std::string(), std::int64_t{0});
  };
  auto update = CreateObjectAs<IPrintSetupUpdate>(progid::kPrintSetupUpdate);
  const auto call = [&](int i) {
    update->InsertNoteRow(Props(), kBillType, "t" + std::to_string(i) + ".xls", Bytes{1});
    Query("select count(*) from T_ICItem");
  };
  call(0);
  const auto opened = sessions();
  for (int i = 1; i < 8; ++i) call(i);
  EXPECT_EQ(sessions(), opened) << "the same connections, none opened again";
  EXPECT_TRUE(opened.second == 1 || opened.second == 2) << "one connection to write and one to query: " << opened.first;
}

TEST_F(ServerDatabaseTest, AForcedInitCopiesTheSampleTablesAsideInASchemaFirst) {
  OpenCompanyDatabase(Database())->Exec("UPDATE t_SystemProfile SET FValue = '我的公司' WHERE FKey = 'CompanyName'");
  const auto companyName = [&](const std::string& schema) {
    return Query("select FValue from " + schema + "t_SystemProfile where FKey = 'CompanyName'")->Field(0).ToText();
  };
  const InitOutcome outcome = InitializeSampleAccount(Database(), true);
  ASSERT_EQ(outcome.backup.rfind("vemo_backup_", 0), 0u) << outcome.backup;
  EXPECT_EQ(companyName(outcome.backup + "."), "我的公司");
  EXPECT_EQ(companyName(""), "维默示范茶业贸易有限公司");
  EXPECT_NE(InitializeSampleAccount(Database(), true).backup, outcome.backup) << "a second one in the same second";
}

}  // namespace
}  // namespace vemo::host
