#include "host/database/read_only_query.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "host/database/company_database.h"
#include "host_fixture.h"
#include "support/error_text.h"

namespace vemo::host {
namespace {

class ReadOnlyQueryTest : public test::SampleAccountTest {
 protected:
  // What a write would change: the file's bytes; on a server the tables,
  // the users and the items.
  Bytes Fingerprint() const {
    if (OnServer()) {
      auto rows = RunReadOnlyQuery(Database(),
                                   "select (select string_agg(table_name, ',' order by table_name) from "
                                   "information_schema.tables where table_schema = current_schema()) || "
                                   "(select string_agg(FUserName || FIsAdmin, ',' order by FUserName) from t_User) || "
                                   "(select string_agg(FName, ',' order by FItemID) from T_ICItem)");
      std::string text = rows->Field(0).ToText();
      return Bytes(text.begin(), text.end());
    }
    std::ifstream in(Database().file, std::ios::binary);
    return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  }
  int ItemCount() const { return RunReadOnlyQuery(Database(), "select count(*) from T_ICItem")->Field(0).ToInt32(); }
  void ExpectRefusedAndUnchanged(const std::string& sql) {
    Bytes before = Fingerprint();
    EXPECT_THROW(RunReadOnlyQuery(Database(), sql), HostError) << sql;
    EXPECT_EQ(Fingerprint(), before) << "the database changed after: " << sql;
    EXPECT_EQ(ItemCount(), 6);
  }
};

TEST_F(ReadOnlyQueryTest, AnswersRowsWithTypedValues) {
  auto rows = RunReadOnlyQuery(Database(), "select FItemID, FName, FSalePrice, FMatrixCode from T_ICItem where FItemID in (3, 5) order by FItemID");
  ASSERT_EQ(rows->RecordCount(), 2);
  EXPECT_EQ(rows->FieldName(1), "FName");
  EXPECT_EQ(rows->Field("FItemID"), Variant(3));
  EXPECT_EQ(rows->Field("FName").ToText(), "景德镇青花瓷茶杯");
  EXPECT_EQ(rows->Field("FSalePrice"), Variant(45.5));
  rows->MoveNext();
  EXPECT_TRUE(rows->Field("FMatrixCode").IsNull());
  auto none = RunReadOnlyQuery(Database(), "select * from T_PrintExport where FSel=1 and FBillType=1020002");
  EXPECT_TRUE(none->Eof() && none->Bof());
  EXPECT_TRUE(none->HasField("FName")) << "an empty result keeps its fields";
  // A UNION built into a keyword is still one read: it may read, never write.
  EXPECT_EQ(RunReadOnlyQuery(Database(), "select FName from T_ICItem where FItemID = 1 UNION SELECT FUserName FROM t_User")
                ->RecordCount(),
            4);
  EXPECT_TRUE(RunReadOnlyStatement(Database(), "select FName from T_ICItem where FNumber = ?",
                                   std::vector<Variant>{Variant("01.001' OR '1'='1")})
                  ->Eof())
      << "bound values are never SQL";
}

TEST_F(ReadOnlyQueryTest, RefusesWritesOfEveryKindAndStackedStatements) {
  for (const char* sql : {"select * from T_ICItem where FItemID = 1; DROP TABLE T_ICItem",
                          "select * from T_ICItem where FItemID = 1; DELETE FROM T_ICItem; --",
                          "DELETE FROM T_ICItem",
                          "UPDATE T_ICItem SET FName = 'x'",
                          "INSERT INTO t_User VALUES ('mallory', 1)",
                          "DROP TABLE T_ICItem",
                          "CREATE TABLE evil (a)",
                          "WITH x AS (SELECT 1) DELETE FROM T_ICItem",
                          "WITH x AS (SELECT 1) INSERT INTO t_User SELECT 'mallory', 1 FROM x",
                          "REPLACE INTO t_User VALUES ('Administrator', 0)"})
    ExpectRefusedAndUnchanged(sql);
}

TEST_F(ReadOnlyQueryTest, RefusesWhatEachDatabaseCouldBeToldBesidesWriting) {
  std::string other = (temp_.path() / "stolen.db").string();
  std::string copy = (temp_.path() / "copy.db").string();
  const std::vector<std::string> embedded{
      "ATTACH DATABASE '" + other + "' AS stolen",
      "select 1 where FItemID = ''; ATTACH DATABASE '" + other + "' AS x; --'",
      "PRAGMA query_only = OFF",
      "PRAGMA writable_schema = ON",
      "select load_extension('/tmp/evil.so')",
      "VACUUM",
      "BEGIN",
      "VACUUM INTO '" + copy + "'",
  };
  const std::vector<std::string> server{
      "COPY T_ICItem TO '" + copy + "'",
      "SET default_transaction_read_only = off",
      "DO 'BEGIN DELETE FROM T_ICItem; END'",
      "COMMIT",
      "select * into evil from T_ICItem",
      "select * from T_ICItem for update",
      "select pg_sleep(0.01) from T_ICItem; COMMIT; DELETE FROM T_ICItem",
      "select lo_import('" + copy + "')",
  };
  for (const auto& sql : OnServer() ? server : embedded) ExpectRefusedAndUnchanged(sql);
  EXPECT_FALSE(std::filesystem::exists(other));
  EXPECT_FALSE(std::filesystem::exists(copy));
}

TEST_F(ReadOnlyQueryTest, RecursiveQueriesAreRefusedAndLongOnesStopped) {
  // The server allows a recursive query; its time limit ends an endless one.
  if (!OnServer()) ExpectRefusedAndUnchanged("WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM c) SELECT x FROM c");
  const char* endless =
      "select count(*) from T_ICItem a, T_ICItem b, T_ICItem c, T_ICItem d, T_ICItem e, "
      "T_ICItem f, T_ICItem g, T_ICItem h, T_ICItem i, T_ICItem j, T_ICItem k";
  vemo::test::ExpectErrorSaying<HostError>([&] { RunReadOnlyQuery(Database(), endless, std::chrono::milliseconds(50)); },
                                           "ran longer than 50 ms");
}

TEST_F(ReadOnlyQueryTest, LargeValuesAndResultsAreStoppedWithTheReason) {
  const char* huge = OnServer() ? "select repeat('x', 40000000)" : "select hex(randomblob(4e8))";
  vemo::test::ExpectErrorSaying<HostError>([&] { RunReadOnlyQuery(Database(), huge); }, "makes a value longer than 32 MiB");
  // 36 rows of 2000 characters: about 73,000 bytes, stopped at a limit of
  // 54,000 (twice that would let them by) and answered at 75,600.
  const char* rows = OnServer() ? "select repeat('x', 2000) from T_ICItem a, T_ICItem b"
                                : "select hex(randomblob(1000)) from T_ICItem a, T_ICItem b";
  vemo::test::ExpectErrorSaying<HostError>([&] { RunReadOnlyQuery(Database(), rows, kQueryTimeLimit, 36 * 1500); },
                                           "answered more than 52 KiB");
  EXPECT_EQ(RunReadOnlyQuery(Database(), rows, kQueryTimeLimit, 36 * 2100)->RecordCount(), 36);
}

TEST_F(ReadOnlyQueryTest, AMissingDatabaseSaysHowToCreateIt) {
  vemo::test::ExpectErrorSaying<HostError>([&] { RunReadOnlyQuery(temp_.path() / "none.db", "select 1"); }, "vemoprint init");
  EXPECT_FALSE(std::filesystem::exists(temp_.path() / "none.db"));
}

}  // namespace
}  // namespace vemo::host
