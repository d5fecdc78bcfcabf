#include "host/database/sql_dialect.h"

#include <gtest/gtest.h>

#include "foundation/host_error.h"
#include "support/error_text.h"

namespace vemo::host {
namespace {

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
