#include "host/database/sql_dialect.h"

#include <gtest/gtest.h>

#include "foundation/host_error.h"

namespace vemo::host {
namespace {

TEST(TranslateHostSql, TheQrCodeQueryOfTheEngine) {
  EXPECT_EQ(TranslateHostSql(" select top 1 ISNULL(FMatrixCode, '') AS FMatrixCode from T_ICItem where FItemID = 7"),
            "select IFNULL(FMatrixCode, '') AS FMatrixCode from T_ICItem where FItemID = 7 LIMIT 1");
}

TEST(TranslateHostSql, BracketsBecomeQuotedNamesButTextsStayUntouched) {
  EXPECT_EQ(TranslateHostSql("select [FName], 'top 1 [x] ISNULL(' from [T_ICItem]"),
            "select \"FName\", 'top 1 [x] ISNULL(' from \"T_ICItem\"");
  EXPECT_EQ(TranslateHostSql("select N'中文''s' as [a\"b]"), "select '中文''s' as \"a\"\"b\"");
}

TEST(TranslateHostSql, TopInsideASubqueryLimitsOnlyThatLevel) {
  EXPECT_EQ(TranslateHostSql("select * from (select top 2 FName from T_ICItem order by FItemID) x"),
            "select * from (select FName from T_ICItem order by FItemID LIMIT 2) x");
  EXPECT_EQ(TranslateHostSql("select distinct top (3) FName from t"), "select distinct FName from t LIMIT 3");
  EXPECT_THROW(TranslateHostSql("select top 10 percent * from t"), HostError);
  EXPECT_THROW(TranslateHostSql("select top x * from t"), HostError);
}

TEST(TranslateHostSql, PlusNextToATextJoinsTexts) {
  EXPECT_EQ(TranslateHostSql("select FNumber + '-' + FName from T_ICItem"), "select FNumber || '-' || FName from T_ICItem");
  EXPECT_EQ(TranslateHostSql("select FSalePrice + 1 from T_ICItem"), "select FSalePrice + 1 from T_ICItem");
}

TEST(TranslateHostSql, FunctionsHintsAndJoins) {
  EXPECT_EQ(TranslateHostSql("select LEN(FName), GETDATE() from t WITH (NOLOCK) Inner join u ON t.a=u.b"),
            "select LENGTH(FName), datetime('now', 'localtime') from t Inner join u ON t.a=u.b");
  // A column that happens to be called "len" is not a call.
  EXPECT_EQ(TranslateHostSql("select len from t"), "select len from t");
}

TEST(TranslateHostSql, OneStatementOnly) {
  EXPECT_EQ(TranslateHostSql("select 1;  -- done\n"), "select 1");
  EXPECT_THROW(TranslateHostSql("select * from T_ICItem where FItemID = 1; DROP TABLE T_ICItem"), HostError);
  EXPECT_THROW(TranslateHostSql("select 1;select 2"), HostError);
  EXPECT_NO_THROW(TranslateHostSql("select ';drop table x' from t"));
  EXPECT_THROW(TranslateHostSql("   "), HostError);
}

TEST(TranslateHostSql, TheServerGetsItsOwnWordsAndOnlyQueries) {
  struct Case {
    const char* host;
    const char* server;  // nullptr: refused
  } cases[] = {
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
  };
  for (const Case& c : cases) {
    if (c.server)
      EXPECT_EQ(TranslateHostSql(c.host, SqlTarget::Postgres), c.server) << c.host;
    else
      EXPECT_THROW(TranslateHostSql(c.host, SqlTarget::Postgres), HostError) << c.host;
  }
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
