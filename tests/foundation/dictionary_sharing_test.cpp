// Dictionaries sharing one key table: changes to one must never show in
// another, and the shared hash index must stay right for every sharer.
#include <gtest/gtest.h>

#include "foundation/host_collections.h"

namespace vemo {
namespace {

HostDictionary Field(Variant value) {
  HostDictionary d;
  d.Add("FFLD", std::move(value));
  d.Add("FDSP", "");
  d.Add("FFND", "");
  return d;
}

std::vector<std::string> KeysOf(const HostDictionary& d) {
  return std::vector<std::string>(d.Keys().begin(), d.Keys().end());
}

TEST(HostDictionarySharing, CopiesShareTheTableUntilAKeyIsAddedOrRemoved) {
  const HostDictionary original = Field(5);
  HostDictionary copy(original);
  EXPECT_EQ(copy.KeyTableOf().get(), original.KeyTableOf().get());

  copy.Set("FFLD", "changed");  // an existing key: only the value changes
  EXPECT_EQ(copy.KeyTableOf().get(), original.KeyTableOf().get());
  EXPECT_EQ(original.Value("FFLD").ToInt32(), 5);
  EXPECT_EQ(copy.Value("FFLD").ToText(), "changed");

  copy.Add("FExtra", 1);
  EXPECT_NE(copy.KeyTableOf().get(), original.KeyTableOf().get());
  EXPECT_EQ(original.Count(), 3);
  EXPECT_FALSE(original.Lookup("FExtra"));
  EXPECT_EQ(KeysOf(copy), (std::vector<std::string>{"FFLD", "FDSP", "FFND", "FExtra"}));

  HostDictionary other(original);
  EXPECT_TRUE(other.Remove("FDSP"));
  EXPECT_EQ(KeysOf(other), (std::vector<std::string>{"FFLD", "FFND"}));
  EXPECT_EQ(KeysOf(original), (std::vector<std::string>{"FFLD", "FDSP", "FFND"}));
  EXPECT_EQ(original.ItemAt(2).ToText(), "");
  EXPECT_EQ(original.Key(3), "FFND");
}

TEST(HostDictionarySharing, DictionariesMadeOverOneTableChangeApart) {
  const KeyTableRef table = KeyTableRef::Make({"A", "B", "C"});
  HostDictionary first(table, {1, 2, 3});
  HostDictionary second(table, {"x", "y", "z"});
  first.Set("D", 4);  // new key: first takes its own table
  second.Remove("A");
  EXPECT_EQ(table->Size(), 3u);
  EXPECT_EQ(KeysOf(first), (std::vector<std::string>{"A", "B", "C", "D"}));
  EXPECT_EQ(KeysOf(second), (std::vector<std::string>{"B", "C"}));
  EXPECT_EQ(second.Value("C").ToText(), "z");
  EXPECT_EQ(first.Value("A").ToInt32(), 1);
  first.Clear();
  EXPECT_EQ(first.Count(), 0);
  first.Add("A", 9);  // a cleared dictionary starts a table of its own
  EXPECT_EQ(table->Size(), 3u);
  EXPECT_THROW((HostDictionary(table, {1, 2})), HostError);  // one value short
}

// A large table's index is shared: it must not see one sharer's additions
// and removals, and the changed dictionary must find every key it has left.
TEST(HostDictionarySharing, LargeSharedIndexStaysRightForEverySharer) {
  HostDictionary big;
  for (int i = 0; i < 40; ++i) big.Add("k" + std::to_string(i), i);
  ASSERT_TRUE(big.Lookup("k39"));  // the index is built here
  HostDictionary changed(big);
  for (int i = 0; i < 40; i += 3) ASSERT_TRUE(changed.Remove("k" + std::to_string(i)));
  for (int i = 40; i < 70; ++i) changed.Add("k" + std::to_string(i), i);
  changed.Set("k1", "one");

  for (int i = 0; i < 40; ++i) ASSERT_EQ(big.Value("k" + std::to_string(i)).ToInt32(), i) << i;
  EXPECT_FALSE(big.Lookup("k40"));
  EXPECT_EQ(big.Key(1), "k0");
  EXPECT_EQ(big.Value("k1").ToInt32(), 1);

  for (int i = 0; i < 70; ++i) {
    const std::string key = "k" + std::to_string(i);
    const bool removed = i < 40 && i % 3 == 0;
    ASSERT_EQ(changed.Lookup(key), !removed) << key;
    if (!removed && i != 1) {
      ASSERT_EQ(changed.Value(key).ToInt32(), i) << key;
    }
  }
  EXPECT_EQ(changed.Value("k1").ToText(), "one");
  EXPECT_EQ(changed.Count(), 40 - 14 + 30);
  EXPECT_EQ(changed.Key(1), "k1");  // k0 removed: order kept, positions close up
  EXPECT_EQ(changed.Key(changed.Count()), "k69");
  EXPECT_THROW(changed.Add("k2", 0), HostError);
}

// Growing one dictionary past the index size and far beyond: the index is
// kept up to date or rebuilt as the keys move.
TEST(HostDictionarySharing, IndexFollowsGrowthAndRemovalInPlace) {
  HostDictionary d;
  for (int i = 0; i < 500; ++i) {
    d.Add("key" + std::to_string(i), i);
    ASSERT_TRUE(d.Lookup("key" + std::to_string(i))) << i;
    ASSERT_TRUE(d.Lookup("key" + std::to_string(i / 2))) << i;
  }
  for (int i = 0; i < 500; i += 2) ASSERT_TRUE(d.Remove("key" + std::to_string(i)));
  for (int i = 0; i < 500; ++i) ASSERT_EQ(d.Lookup("key" + std::to_string(i)), i % 2 == 1) << i;
  EXPECT_EQ(d.Key(1), "key1");
  EXPECT_EQ(d.ItemAt(250).ToInt32(), 499);
}

}  // namespace
}  // namespace vemo

namespace vemo {
namespace {

// A dictionary's values live in room that follows from their count: adding
// and removing across every change of room (8, 16, 32, 64) must keep each
// value with its key, in copies too.
TEST(HostDictionaryRoom, ValuesStayWithTheirKeysAcrossEveryChangeOfRoom) {
  HostDictionary d;
  auto check = [](const HostDictionary& dict, int from, int to) {
    ASSERT_EQ(dict.Count(), to - from);
    for (int i = from; i < to; ++i) {
      ASSERT_EQ(dict.Value("k" + std::to_string(i)).ToText(), "value of " + std::to_string(i)) << i;
      ASSERT_EQ(dict.Key(i - from + 1), "k" + std::to_string(i));
    }
  };
  for (int i = 0; i < 70; ++i) {
    d.Add("k" + std::to_string(i), Variant("value of " + std::to_string(i)));
    check(d, 0, i + 1);
  }
  HostDictionary copy = d;
  for (int i = 0; i < 69; ++i) {
    ASSERT_TRUE(d.Remove("k" + std::to_string(i)));
    check(d, i + 1, 70);
  }
  check(copy, 0, 70);
  d.Clear();
  EXPECT_EQ(d.Count(), 0);
  d.Set("again", Variant(1));
  EXPECT_EQ(d.Value("again").ToInt32(), 1);
}

}  // namespace
}  // namespace vemo
