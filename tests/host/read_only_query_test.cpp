#include "host/database/read_only_query.h"

#include <gtest/gtest.h>

#include "foundation/host_error.h"
#include "host/database/company_database.h"
#include "host/database/sql_dialect.h"
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
    return test::FileBytes(Database().file);
  }
  void ExpectRefusedAndUnchanged(const std::string& sql) {
    Bytes before = Fingerprint();
    EXPECT_THROW(RunReadOnlyQuery(Database(), sql), HostError) << sql;
    EXPECT_EQ(Fingerprint(), before) << "the database changed after: " << sql;
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

struct Translation {
  const char* host;
  const char* translated;  // nullptr: refused
};

void ExpectTranslations(SqlTarget target, std::initializer_list<Translation> cases) {
  for (const Translation& c : cases) {
    if (c.translated)
      EXPECT_EQ(TranslateHostSql(c.host, target), c.translated) << c.host;
    else
      EXPECT_THROW(TranslateHostSql(c.host, target), HostError) << c.host;
  }
}

TEST(TranslateHostSql, TheEmbeddedDatabaseGetsItsOwnWordsAndOneStatement) {
  ExpectTranslations(SqlTarget::Sqlite, {
      // The QR code query of the engine.
      {" select top 1 ISNULL(FMatrixCode, '') AS FMatrixCode from T_ICItem where FItemID = 7",
       "select IFNULL(FMatrixCode, '') AS FMatrixCode from T_ICItem where FItemID = 7 LIMIT 1"},
      // Brackets become quoted names; texts stay untouched.
      {"select [FName], 'top 1 [x] ISNULL(' from [T_ICItem]", "select \"FName\", 'top 1 [x] ISNULL(' from \"T_ICItem\""},
      {"select N'中文''s' as [a\"b]", "select '中文''s' as \"a\"\"b\""},
      // TOP inside a subquery limits only that level.
      {"select * from (select top 2 FName from T_ICItem order by FItemID) x",
       "select * from (select FName from T_ICItem order by FItemID LIMIT 2) x"},
      {"select distinct top (3) FName from t", "select distinct FName from t LIMIT 3"},
      {"select top x * from t", nullptr},
      // Plus next to a text joins texts.
      {"select FNumber + '-' + FName from T_ICItem", "select FNumber || '-' || FName from T_ICItem"},
      {"select FSalePrice + 1 from T_ICItem", "select FSalePrice + 1 from T_ICItem"},
      {"select LEN(FName), GETDATE() from t WITH (NOLOCK) Inner join u ON t.a=u.b",
       "select LENGTH(FName), datetime('now', 'localtime') from t Inner join u ON t.a=u.b"},
      {"select len from t", "select len from t"},  // a column called "len" is not a call
      {"select 1;  -- done\n", "select 1"},
      {"select * from T_ICItem where FItemID = 1; DROP TABLE T_ICItem", nullptr},
      {"select 1;select 2", nullptr},
      {"select ';drop table x' from t", "select ';drop table x' from t"},
      {"   ", nullptr},
  });
}

TEST(TranslateHostSql, ARefusalNamesWhatIsNotSupported) {
  vemo::test::ExpectErrorSaying<HostError>([&] { TranslateHostSql("select top 10 percent * from t"); }, "TOP n PERCENT is not supported");
}

TEST(TranslateHostSql, TheServerGetsItsOwnWordsAndOnlyQueries) {
  ExpectTranslations(SqlTarget::Postgres, {
      {"select top 1 ISNULL([FMatrixCode], N'') from [T_ICItem] WITH (NOLOCK)",
       "select COALESCE(\"fmatrixcode\", '') from \"t_icitem\" LIMIT 1"},
      {"select GETDATE(), LEN(FName) + 1, FNumber + '-' from t",
       "select to_char(LOCALTIMESTAMP, 'YYYY-MM-DD HH24:MI:SS'), LENGTH(FName) + 1, FNumber || '-' from t"},
      {"select [单价] as [Qty] from t", "select \"单价\" as \"qty\" from t"},
      {"with x as (select 1) select * from x", "with x as (select 1) select * from x"},
      {"(select 1)", "(select 1)"},
      {"COPY t TO '/tmp/x'", nullptr},
      {"SET ROLE postgres", nullptr},
      {"DO 'BEGIN END'", nullptr},
      {"COMMIT", nullptr},
  });
}

TEST(TokenizeSql, RefusesUnterminatedLiterals) {
  EXPECT_THROW(TokenizeSql("select 'abc"), HostError);
  EXPECT_THROW(TokenizeSql("select [abc"), HostError);
  EXPECT_THROW(TokenizeSql("select /* abc"), HostError);
  auto tokens = TokenizeSql("a.b>=1.5e+3");
  ASSERT_EQ(tokens.size(), 5u);
  EXPECT_EQ(tokens[3].text, ">=");
  EXPECT_EQ(tokens[4].text, "1.5e+3");
}

}  // namespace
}  // namespace vemo::host
