#include <gtest/gtest.h>

#include "context/props_string.h"
#include "foundation/host_error.h"

namespace vemo::context {
namespace {

constexpr const char* kProps = "UserName=Tom; ConnectString={Provider=X;Initial Catalog=Acc1}; AcctID=5";

TEST(ParsePropsString, ReadsPlainAndBracedValues) {
  auto props = PropsCollection::Parse(kProps);
  EXPECT_EQ(props.Get("UserName"), "Tom");
  EXPECT_EQ(props.Get("ConnectString"), "Provider=X;Initial Catalog=Acc1");
  EXPECT_EQ(props.Get("AcctID"), "5");
  EXPECT_EQ(props.Keys(), (std::vector<std::string>{"UserName", "ConnectString", "AcctID"}));
}

TEST(ParsePropsString, KeysIgnoreCaseAndMissingKeyRaises) {
  auto props = PropsCollection::Parse(kProps);
  EXPECT_EQ(props.Get("username"), "Tom");
  EXPECT_EQ(props.Get("CONNECTSTRING"), "Provider=X;Initial Catalog=Acc1");
  EXPECT_THROW(props.Get("Password"), HostError);
}

TEST(ParsePropsString, MissingClosingBraceTakesTheRest) {
  auto props = PropsCollection::Parse("A=1;ConnectString={Provider=X;Initial Catalog=Acc1");
  EXPECT_EQ(props.Get("A"), "1");
  EXPECT_EQ(props.Get("ConnectString"), "Provider=X;Initial Catalog=Acc1");
  EXPECT_EQ(props.Keys().size(), 2u);
}

TEST(ParsePropsString, BracedValueDropsTextUpToTheNextSeparator) {
  // Whatever follows "}" before the next ";" is discarded, not a new key.
  auto props = PropsCollection::Parse("C={a;b} junk ; D = 4 ");
  EXPECT_EQ(props.Get("C"), "a;b");
  EXPECT_EQ(props.Get("D"), "4");
  EXPECT_FALSE(props.Contains("junk"));
}

TEST(ParsePropsString, EmptyValuesAndTrailingSeparator) {
  auto props = PropsCollection::Parse("A=;B= ;C=3;");
  EXPECT_EQ(props.Get("A"), "");
  EXPECT_EQ(props.Get("B"), "");
  EXPECT_EQ(props.Get("C"), "3");
  EXPECT_EQ(props.Keys().size(), 3u);
}

TEST(ParsePropsString, RepeatedKeysKeepTheFirstWhateverTheCase) {
  auto props = PropsCollection::Parse("UserName=Tom;USERNAME=Ann;username=Bob");
  EXPECT_EQ(props.Get("UserName"), "Tom");
  EXPECT_EQ(props.Keys().size(), 1u);
}

TEST(ParsePropsString, StopsAtTheFirstEmptyKey) {
  auto props = PropsCollection::Parse("A=1;=2;B=3");
  EXPECT_EQ(props.Get("A"), "1");
  EXPECT_FALSE(props.Contains("B"));
  EXPECT_TRUE(PropsCollection::Parse("").Keys().empty());
  EXPECT_TRUE(PropsCollection::Parse("   ").Keys().empty());
}

TEST(ParsePropsString, PairWithoutEqualsSignIsAKeyWithEmptyValue) {
  auto props = PropsCollection::Parse("A=1;Lonely");
  EXPECT_TRUE(props.Contains("Lonely"));
  EXPECT_EQ(props.Get("Lonely"), "");
}

TEST(ParsePropsString, ModuleCollectionReplacedOnEachParse) {
  ParsePropsString("UserName=Tom;AcctID=5");
  EXPECT_EQ(GetUserName(), "Tom");
  ParsePropsString("UserName=Ann");
  EXPECT_EQ(GetUserName(), "Ann");
  EXPECT_THROW(GetProp("AcctID"), HostError);
}

TEST(GetPropValue, ConnectStringIsTheBracedText) {
  EXPECT_EQ(GetPropValue(kProps, "ConnectString", ";"), "Provider=X;Initial Catalog=Acc1");
  EXPECT_EQ(GetPropValue(kProps, "connectstring", ";"), "Provider=X;Initial Catalog=Acc1");
}

TEST(GetPropValue, LastPairGetsTheSeparatorSupplied) {
  EXPECT_EQ(GetPropValue(kProps, "AcctID", ";"), "5");
  EXPECT_EQ(GetPropValue(kProps, "UserName", ";"), "Tom");
}

TEST(GetPropValue, DatabaseNameThroughTwoLookups) {
  EXPECT_EQ(DatabaseNameOf(kProps), "Acc1");
  EXPECT_EQ(DatabaseNameOf("UserName=Tom"), "");
  EXPECT_EQ(DatabaseNameOf("ConnectString={Provider=X;Data Source=.}"), "");
}

TEST(GetPropValue, AbsentKeyAndEmptyValue) {
  EXPECT_EQ(GetPropValue(kProps, "Password", ";"), "");
  EXPECT_EQ(GetPropValue("A=;B=2", "A", ";"), "");
  EXPECT_EQ(GetPropValue("", "A", ";"), "");
}

TEST(GetPropValue, MissingClosingBraceGivesEmpty) {
  EXPECT_EQ(GetPropValue("ConnectString={Provider=X;Initial Catalog=Acc1", "ConnectString", ";"), "");
  EXPECT_EQ(GetPropValue("ConnectString=Provider", "ConnectString", ";"), "");
}

TEST(GetPropValue, KeyThatIsTheTailOfAnotherKeyIsNotConfused) {
  const std::string text = "AcctID=5;ID=3;SubID=9";
  EXPECT_EQ(GetPropValue(text, "ID", ";"), "3");
  EXPECT_EQ(GetPropValue(text, "AcctID", ";"), "5");
  EXPECT_EQ(GetPropValue("AcctID=5", "ID", ";"), "");
  EXPECT_EQ(GetPropValue(text, "Catalog", ";"), "");
}

TEST(GetPropValue, KeysInsideBracesAreNotTopLevelKeys) {
  const std::string text = "ConnectString={Provider=X;UserName=sa};UserName=Tom";
  EXPECT_EQ(GetPropValue(text, "UserName", ";"), "Tom");
  EXPECT_EQ(PropsCollection::Parse(text).Get("UserName"), "Tom");
}

TEST(GetPropValue, RepeatedKeyGivesTheFirstLikeTheParser) {
  const std::string text = "userName=Tom;UserName=Ann";
  EXPECT_EQ(GetPropValue(text, "USERNAME", ";"), PropsCollection::Parse(text).Get("UserName"));
  EXPECT_EQ(GetPropValue(text, "UserName", ";"), "Tom");
}

TEST(GetPropValue, OtherSeparators) {
  EXPECT_EQ(GetPropValue("a=1|b=2", "b", "|"), "2");
  EXPECT_EQ(GetPropValue("a=1|b=2|", "a", "|"), "1");
}

}  // namespace
}  // namespace vemo::context
