#include "host/database/read_only_query.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "host/database/company_database.h"
#include "host_fixture.h"

namespace vemo::host {
namespace {

class ReadOnlyQueryTest : public test::SampleAccountTest {
 protected:
  Bytes FileBytes() const {
    std::ifstream in(DatabaseFile(), std::ios::binary);
    return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  }
  int ItemCount() const { return RunReadOnlyQuery(DatabaseFile(), "select count(*) from T_ICItem")->Field(0).ToInt32(); }
  void ExpectRefusedAndUnchanged(const std::string& sql) {
    Bytes before = FileBytes();
    EXPECT_THROW(RunReadOnlyQuery(DatabaseFile(), sql), HostError) << sql;
    EXPECT_EQ(FileBytes(), before) << "the database changed after: " << sql;
    EXPECT_EQ(ItemCount(), 6);
  }
};

TEST_F(ReadOnlyQueryTest, AnswersRowsWithTypedValues) {
  auto rows = RunReadOnlyQuery(DatabaseFile(), "select FItemID, FName, FSalePrice, FMatrixCode from T_ICItem where FItemID in (3, 5) order by FItemID");
  ASSERT_EQ(rows->RecordCount(), 2);
  EXPECT_EQ(rows->FieldName(1), "FName");
  EXPECT_EQ(rows->Field("FItemID"), Variant(3));
  EXPECT_EQ(rows->Field("FName").ToText(), "景德镇青花瓷茶杯");
  EXPECT_EQ(rows->Field("FSalePrice"), Variant(45.5));
  rows->MoveNext();
  EXPECT_TRUE(rows->Field("FMatrixCode").IsNull());
}

TEST_F(ReadOnlyQueryTest, EmptyResultKeepsItsFields) {
  auto rows = RunReadOnlyQuery(DatabaseFile(), "select * from T_PrintExport where FSel=1 and FBillType=1020002");
  EXPECT_TRUE(rows->Eof());
  EXPECT_TRUE(rows->Bof());
  EXPECT_TRUE(rows->HasField("FName"));
}

TEST_F(ReadOnlyQueryTest, RefusesStackedStatements) {
  ExpectRefusedAndUnchanged("select * from T_ICItem where FItemID = 1; DROP TABLE T_ICItem");
  ExpectRefusedAndUnchanged("select * from T_ICItem where FItemID = 1; DELETE FROM T_ICItem; --");
}

TEST_F(ReadOnlyQueryTest, RefusesWritesOfEveryKind) {
  ExpectRefusedAndUnchanged("DELETE FROM T_ICItem");
  ExpectRefusedAndUnchanged("UPDATE T_ICItem SET FName = 'x'");
  ExpectRefusedAndUnchanged("INSERT INTO t_User VALUES ('mallory', 1)");
  ExpectRefusedAndUnchanged("DROP TABLE T_ICItem");
  ExpectRefusedAndUnchanged("CREATE TABLE evil (a)");
  ExpectRefusedAndUnchanged("WITH x AS (SELECT 1) DELETE FROM T_ICItem");
  ExpectRefusedAndUnchanged("WITH x AS (SELECT 1) INSERT INTO t_User SELECT 'mallory', 1 FROM x");
  ExpectRefusedAndUnchanged("REPLACE INTO t_User VALUES ('Administrator', 0)");
}

TEST_F(ReadOnlyQueryTest, RefusesAttachPragmaAndExtensions) {
  std::string other = (temp_.path() / "stolen.db").string();
  ExpectRefusedAndUnchanged("ATTACH DATABASE '" + other + "' AS stolen");
  ExpectRefusedAndUnchanged("select 1 where FItemID = ''; ATTACH DATABASE '" + other + "' AS x; --'");
  EXPECT_FALSE(std::filesystem::exists(other));
  ExpectRefusedAndUnchanged("PRAGMA query_only = OFF");
  ExpectRefusedAndUnchanged("PRAGMA writable_schema = ON");
  ExpectRefusedAndUnchanged("select load_extension('/tmp/evil.so')");
  ExpectRefusedAndUnchanged("VACUUM");
  ExpectRefusedAndUnchanged("BEGIN");
  ExpectRefusedAndUnchanged(std::string("VACUUM INTO '") + (temp_.path() / "copy.db").string() + "'");
  EXPECT_FALSE(std::filesystem::exists(temp_.path() / "copy.db"));
}

TEST_F(ReadOnlyQueryTest, AUnionCanOnlyReadWhatAnySelectCould) {
  // A UNION built into a keyword is still one read: it may read, never write.
  auto rows = RunReadOnlyQuery(DatabaseFile(),
                               "select FName from T_ICItem where FItemID = 1 UNION SELECT FUserName FROM t_User");
  EXPECT_EQ(rows->RecordCount(), 4);
  EXPECT_EQ(ItemCount(), 6);
}

TEST_F(ReadOnlyQueryTest, RecursiveQueriesAreRefusedAndLongOnesStopped) {
  ExpectRefusedAndUnchanged("WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM c) SELECT x FROM c");
  EXPECT_THROW(RunReadOnlyQuery(DatabaseFile(),
                                "select count(*) from T_ICItem a, T_ICItem b, T_ICItem c, T_ICItem d, T_ICItem e, "
                                "T_ICItem f, T_ICItem g, T_ICItem h, T_ICItem i, T_ICItem j, T_ICItem k",
                                std::chrono::milliseconds(50)),
               HostError);
}

TEST_F(ReadOnlyQueryTest, LargeValuesAndResultsAreStoppedWithTheReason) {
  struct Case {
    const char* sql;
    std::size_t resultLimit;
    const char* reason;
  } cases[] = {
      {"select hex(randomblob(4e8))", kQueryResultLimit, "makes a value longer than 32 MiB"},
      {"select hex(randomblob(1000)) from T_ICItem a, T_ICItem b", 36 * 1000, "answered more than 35 KiB"},
  };
  for (const Case& c : cases) {
    try {
      RunReadOnlyQuery(DatabaseFile(), c.sql, kQueryTimeLimit, c.resultLimit);
      ADD_FAILURE() << "not stopped: " << c.sql;
    } catch (const HostError& e) {
      EXPECT_NE(std::string(e.what()).find(c.reason), std::string::npos) << e.what();
    }
  }
  EXPECT_EQ(RunReadOnlyQuery(DatabaseFile(), "select hex(randomblob(1000)) from T_ICItem a, T_ICItem b", kQueryTimeLimit,
                             36 * 2100)->RecordCount(), 36);
}

TEST_F(ReadOnlyQueryTest, BoundValuesAreNeverSql) {
  auto rows = RunReadOnlyStatement(DatabaseFile(), "select FName from T_ICItem where FNumber = ?",
                               std::vector<Variant>{Variant("01.001' OR '1'='1")});
  EXPECT_TRUE(rows->Eof());
}

TEST_F(ReadOnlyQueryTest, AMissingDatabaseSaysHowToCreateIt) {
  try {
    RunReadOnlyQuery(temp_.path() / "none.db", "select 1");
    FAIL() << "no error";
  } catch (const HostError& e) {
    EXPECT_NE(std::string(e.what()).find("vemoprint init"), std::string::npos) << e.what();
  }
  EXPECT_FALSE(std::filesystem::exists(temp_.path() / "none.db"));
}

}  // namespace
}  // namespace vemo::host
