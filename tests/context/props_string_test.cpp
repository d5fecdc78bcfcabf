#include <gtest/gtest.h>

#include <optional>

#include "context/props_string.h"
#include "foundation/host_error.h"

namespace vemo::context {
namespace {

constexpr const char* kProps = "UserName=Tom; ConnectString={Provider=X;Initial Catalog=Acc1}; AcctID=5";

TEST(ParsePropsString, ValuesKeysAndTheirOrder) {
  struct Case {
    std::string text, key;
    std::optional<std::string> value;  // nullopt: the key is absent
    size_t keys;
  };
  const Case cases[] = {
      {kProps, "UserName", "Tom", 3},
      {kProps, "CONNECTSTRING", "Provider=X;Initial Catalog=Acc1", 3},  // keys ignore case
      {kProps, "Password", std::nullopt, 3},
      {"A=1;ConnectString={Provider=X;Initial Catalog=Acc1", "ConnectString", "Provider=X;Initial Catalog=Acc1", 2},
      {"C={a;b} junk ; D = 4 ", "C", "a;b", 2},  // text between "}" and ";" is dropped
      {"C={a;b} junk ; D = 4 ", "D", "4", 2},
      {"C={a;b} junk ; D = 4 ", "junk", std::nullopt, 2},
      {"A=;B= ;C=3;", "B", "", 3},
      {"UserName=Tom;USERNAME=Ann;username=Bob", "username", "Tom", 1},  // the first wins
      {"A=1;=2;B=3", "B", std::nullopt, 1},  // an empty key ends the list
      {"   ", "A", std::nullopt, 0},
      {"A=1;Lonely", "Lonely", "", 2},
      {"ConnectString={Provider=X;UserName=sa};UserName=Tom", "UserName", "Tom", 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text + " / " + c.key);
    auto props = PropsCollection::Parse(c.text);
    EXPECT_EQ(props.Keys().size(), c.keys);
    if (c.value) {
      EXPECT_EQ(props.Get(c.key), *c.value);
    } else {
      EXPECT_FALSE(props.Contains(c.key));
      EXPECT_THROW(props.Get(c.key), HostError);
    }
  }
  EXPECT_EQ(PropsCollection::Parse(kProps).Keys(), (std::vector<std::string>{"UserName", "ConnectString", "AcctID"}));
}

TEST(ParsePropsString, ModuleCollectionReplacedOnEachParse) {
  ParsePropsString("UserName=Tom;AcctID=5");
  EXPECT_EQ(GetUserName(), "Tom");
  ParsePropsString("UserName=Ann");
  EXPECT_EQ(GetUserName(), "Ann");
  EXPECT_THROW(GetProp("AcctID"), HostError);
}

TEST(GetPropValue, FindsTopLevelKeysOnlyAndTheDatabaseNameThroughTwoLookups) {
  struct Case {
    std::string text, key, separator, value;
  };
  const Case cases[] = {
      {kProps, "connectstring", ";", "Provider=X;Initial Catalog=Acc1"},
      {kProps, "AcctID", ";", "5"},  // the last pair gets the separator supplied
      {kProps, "UserName", ";", "Tom"},
      {kProps, "Password", ";", ""},
      {"A=;B=2", "A", ";", ""},
      {"", "A", ";", ""},
      {"ConnectString={Provider=X;Initial Catalog=Acc1", "ConnectString", ";", ""},  // no closing brace
      {"ConnectString=Provider", "ConnectString", ";", ""},
      {"AcctID=5;ID=3;SubID=9", "ID", ";", "3"},  // not the tail of another key
      {"AcctID=5", "ID", ";", ""},
      {"AcctID=5;ID=3;SubID=9", "Catalog", ";", ""},
      {"ConnectString={Provider=X;UserName=sa};UserName=Tom", "UserName", ";", "Tom"},
      {"userName=Tom;UserName=Ann", "USERNAME", ";", "Tom"},  // the first, like the parser
      {"a=1|b=2", "b", "|", "2"},
      {"a=1|b=2|", "a", "|", "1"},
  };
  for (const Case& c : cases) EXPECT_EQ(GetPropValue(c.text, c.key, c.separator), c.value) << c.text << " / " << c.key;
  // The database name, through two lookups.
  EXPECT_EQ(DatabaseNameOf(kProps), "Acc1");
  EXPECT_EQ(DatabaseNameOf("UserName=Tom"), "");
  EXPECT_EQ(DatabaseNameOf("ConnectString={Provider=X;Data Source=.}"), "");
}

}  // namespace
}  // namespace vemo::context
