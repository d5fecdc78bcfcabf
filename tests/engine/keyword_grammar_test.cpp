#include "engine/keyword_grammar.h"

#include <gtest/gtest.h>

namespace vemo::engine {
namespace {

TEST(KeywordGrammar, KindsAreExclusiveAndAStrayDollarMakesNoKind) {
  EXPECT_EQ(ClassifyKeyword("[$Page1_FBillNo]"), KeywordKind::Head);
  EXPECT_EQ(ClassifyKeyword("[$$Page2_FQty]"), KeywordKind::Entry);
  EXPECT_EQ(ClassifyKeyword("[$$$CurYear]"), KeywordKind::PlainHead);
  EXPECT_EQ(ClassifyKeyword("[$$$$Page2_FAmount]"), KeywordKind::Sum);
  // Label text around a keyword keeps its kind; a "$" of its own does not.
  EXPECT_EQ(ClassifyKeyword("日期：[$Page1_FDate]"), KeywordKind::Head);
  EXPECT_EQ(ClassifyKeyword("US$[$Page1_FAmount]"), KeywordKind::None);
  // Mixing a head and an entry keyword: of no kind.
  EXPECT_EQ(ClassifyKeyword("[$Page1_FBillNo][$$Page2_FQty]"), KeywordKind::None);
  EXPECT_EQ(ClassifyKeyword("no keyword"), KeywordKind::None);
}

TEST(KeywordGrammar, PrefixAndNameAreCutAtTheFirstUnderscore) {
  EXPECT_EQ(KeywordPrefix("[$$Page2_FQty]"), "Page2");
  EXPECT_EQ(KeywordName("[$$Page2_FQty]"), "FQty");
  EXPECT_EQ(KeywordName("[$$$$Page2_FAmount]"), "FAmount");
  EXPECT_EQ(KeywordName("[$Page1_F_Odd_Name]"), "F_Odd_Name");
  // A plain head keyword is its whole name, underscores included, no prefix.
  EXPECT_EQ(KeywordName("[$$$Company_Name]"), "Company_Name");
  EXPECT_EQ(KeywordPrefix("[$$$Company_Name]"), "");
  // No "_" after the first character: the name is the text unchanged.
  EXPECT_EQ(KeywordName("[$FBillNo]"), "[$FBillNo]");
  EXPECT_EQ(KeywordName("[$_FBillNo]"), "[$_FBillNo]");
  EXPECT_EQ(KeywordPrefix("[$FBillNo]"), "");
  // Two head keywords in one cell are one keyword with an odd name.
  EXPECT_EQ(KeywordName("[$Page1_A] [$Page1_B]"), "A Page1_B");
  // Label text before a head keyword becomes part of the prefix.
  EXPECT_EQ(KeywordName("日期：[$Page1_FDate]"), "FDate");
}

TEST(KeywordGrammar, PrepareCellTextProtectsALeadingQuote) {
  EXPECT_EQ(PrepareCellText("'quoted"), " 'quoted");
  EXPECT_EQ(PrepareCellText("plain"), "plain");
  EXPECT_EQ(PrepareCellText(""), "");
}

}  // namespace
}  // namespace vemo::engine
