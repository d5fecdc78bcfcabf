// The reader shares one key table among objects of the same keys.
#include <gtest/gtest.h>

#include "foundation/json_convert.h"

namespace vemo {
namespace {

DictionaryRef Dict(const Variant& v) {
  auto d = v.AsObject<HostDictionary>();
  if (!d) throw std::runtime_error("not a dictionary");
  return d;
}

const KeyTable* TableOf(const Variant& v) { return Dict(v)->KeyTableOf().get(); }

TEST(JsonReaderTables, ObjectsWithTheSameKeysShareOneTable) {
  // The shape of a bill: lines of fields, each field {FFLD, FDSP, FFND}.
  const Variant root = ParseJsonText(R"({"Page2": [
    {"FQty": {"FFLD": 1, "FDSP": "", "FFND": ""}, "FName": {"FFLD": "a", "FDSP": "A", "FFND": ""}},
    {"FQty": {"FFLD": 2, "FDSP": "", "FFND": ""}, "FName": {"FFLD": "b", "FDSP": "B", "FFND": ""}},
    {"FName": {"FFLD": "c", "FDSP": "", "FFND": ""}, "FQty": {"FFND": "", "FDSP": "", "FFLD": 3}}]})");
  auto lines = Dict(root)->Value("Page2").AsObject<HostVector>();
  ASSERT_EQ(lines->Size(), 3);
  const Variant& first = lines->Item(1);
  const Variant& second = lines->Item(2);
  const Variant& third = lines->Item(3);
  EXPECT_EQ(TableOf(first), TableOf(second));
  EXPECT_NE(TableOf(first), TableOf(third));  // the same keys in another order
  const KeyTable* field = TableOf(Dict(first)->Item("FQty"));
  EXPECT_EQ(TableOf(Dict(first)->Item("FName")), field);
  EXPECT_EQ(TableOf(Dict(second)->Item("FQty")), field);
  EXPECT_EQ(TableOf(Dict(third)->Item("FName")), field);
  EXPECT_NE(TableOf(Dict(third)->Item("FQty")), field);
  EXPECT_EQ(Dict(third)->Key(1), "FName");
  EXPECT_EQ(Dict(Dict(third)->Item("FQty"))->Key(1), "FFND");
  EXPECT_EQ(Dict(Dict(second)->Item("FName"))->Value("FDSP").ToText(), "B");

  // Changing one of the sharers leaves the others as they were read.
  auto changed = Dict(Dict(first)->Item("FQty"));
  changed->Add("FNew", 1);
  changed->Remove("FFLD");
  auto untouched = Dict(Dict(second)->Item("FQty"));
  EXPECT_EQ(untouched->Count(), 3);
  EXPECT_EQ(untouched->Key(1), "FFLD");
  EXPECT_EQ(untouched->Value("FFLD").ToInt32(), 2);
  EXPECT_FALSE(untouched->Lookup("FNew"));
}

// More key sequences than the reader remembers, interleaved: every object
// still gets exactly its own keys and values.
TEST(JsonReaderTables, ManyDifferentKeySetsStayApart) {
  std::string text = "[";
  for (int round = 0; round < 3; ++round)
    for (int set = 0; set < 20; ++set) {
      if (text.size() > 1) text += ",";
      text += "{";
      for (int k = 0; k <= set % 5; ++k)
        text += (k ? ",\"" : "\"") + std::string("k") + std::to_string(set) + "_" + std::to_string(k) + "\":" +
                std::to_string(round * 100 + k);
      text += "}";
    }
  text += "]";
  auto items = ParseJsonText(text).AsObject<HostVector>();
  ASSERT_EQ(items->Size(), 60);
  for (int i = 0; i < 60; ++i) {
    const int round = i / 20, set = i % 20;
    auto d = Dict(items->Item(i + 1));
    ASSERT_EQ(d->Count(), set % 5 + 1) << i;
    for (int k = 0; k <= set % 5; ++k) {
      ASSERT_EQ(d->Key(k + 1), "k" + std::to_string(set) + "_" + std::to_string(k)) << i;
      ASSERT_EQ(d->ItemAt(k + 1).ToInt32(), round * 100 + k) << i;
    }
  }
}

TEST(JsonReaderTables, RepeatedKeysAndEmptyObjects) {
  const Variant root = ParseJsonText(R"([{"a": 1, "b": 2, "a": 3}, {"a": 4, "b": 5}, {"a": 6, "b": 7, "a": 8}, {}, {}])");
  auto items = root.AsObject<HostVector>();
  auto first = Dict(items->Item(1));
  EXPECT_EQ(first->Count(), 2);
  EXPECT_EQ(first->Value("a").ToInt32(), 3);  // the last value, at the first place
  EXPECT_EQ(TableOf(items->Item(2)), first->KeyTableOf().get());
  EXPECT_EQ(Dict(items->Item(3))->Value("a").ToInt32(), 8);
  EXPECT_EQ(Dict(items->Item(3))->Count(), 2);
  EXPECT_EQ(Dict(items->Item(4))->Count(), 0);
  Dict(items->Item(4))->Add("x", 1);
  EXPECT_EQ(Dict(items->Item(5))->Count(), 0);
}

}  // namespace
}  // namespace vemo
