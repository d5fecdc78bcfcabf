// Dictionaries sharing one key table: changes to one must never show in
// another, and the shared hash index must stay right for every sharer.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "foundation/host_collections.h"

namespace vemo {
namespace {

std::vector<std::string> KeysOf(const HostDictionary& d) {
  return std::vector<std::string>(d.Keys().begin(), d.Keys().end());
}

TEST(HostDictionarySharing, CopiesShareTheTableUntilAKeyIsAddedOrRemoved) {
  HostDictionary original;
  for (const char* key : {"FFLD", "FDSP", "FFND"}) original.Add(key, 5);
  HostDictionary copy(original);
  EXPECT_EQ(copy.KeyTableOf().get(), original.KeyTableOf().get());
  copy.Set("FFLD", "changed");  // an existing key: only the value changes
  EXPECT_EQ(copy.KeyTableOf().get(), original.KeyTableOf().get());
  copy.Add("FExtra", 1);
  EXPECT_NE(copy.KeyTableOf().get(), original.KeyTableOf().get());
}

// The JSON reader makes dictionaries over one table (json_reader_tables_test.cpp).
TEST(HostDictionarySharing, DictionariesMadeOverOneTableChangeApart) {
  const KeyTableRef table = KeyTableRef::Make({"A", "B", "C"});
  HostDictionary first(table, {1, 2, 3});
  HostDictionary second(table, {"x", "y", "z"});
  first.Set("D", 4);  // new key: first takes its own table
  second.Remove("A");
  EXPECT_EQ(KeysOf(first), (std::vector<std::string>{"A", "B", "C", "D"}));
  EXPECT_EQ(KeysOf(second), (std::vector<std::string>{"B", "C"}));
  EXPECT_EQ(table->Size(), 3u);
  EXPECT_THROW((HostDictionary(table, {1, 2})), HostError);  // one value short
}

// Four dictionaries and a plain model of each (its keys and values in order)
// take the same random steps: copies of one another, additions, changes,
// removals and clearing, past the size where lookups use a hash index and
// across every growth of the room for values. Copies share key tables and
// indexes until one changes, so after each step every dictionary must still
// hold exactly its model.
TEST(HostDictionarySharing, CopiesChangedAtRandomStayApart) {
  std::vector<HostDictionary> dicts(4);
  std::vector<std::vector<std::pair<std::string, std::string>>> models(4);
  std::mt19937 random(7);
  for (int step = 0; step < 1500; ++step) {
    const std::size_t at = random() % 4, from = random() % 4, choice = random() % 10;
    HostDictionary& d = dicts[at];
    auto& m = models[at];
    const std::string key = "k" + std::to_string(random() % 100), value = std::string(24, 'v') + std::to_string(step);
    const auto found = std::find_if(m.begin(), m.end(), [&](const auto& entry) { return entry.first == key; });
    if (choice == 0) {
      d = dicts[from];
      m = models[from];
    } else if (choice == 1) {
      d = HostDictionary(dicts[from]);
      m = models[from];
    } else if (choice == 2) {
      ASSERT_EQ(d.Remove(key), found != m.end());
      if (found != m.end()) m.erase(found);
    } else if (choice == 3 && step % 30 == 0) {
      d.Clear();
      m.clear();
    } else if (found != m.end()) {  // a known key keeps its place
      d.Set(key, value);
      found->second = value;
      EXPECT_THROW(d.Add(key, value), HostError);
    } else {  // a new key goes last
      choice % 2 ? d.Add(key, value) : d.Set(key, value);
      m.emplace_back(key, value);
    }
    for (std::size_t i = 0; i < dicts.size(); ++i) {
      ASSERT_EQ(dicts[i].Count(), static_cast<int>(models[i].size())) << "step " << step;
      for (std::size_t k = 0; k < models[i].size(); ++k) {
        ASSERT_EQ(dicts[i].Key(static_cast<int>(k) + 1), models[i][k].first) << "step " << step;
        ASSERT_EQ(dicts[i].Value(models[i][k].first).ToText(), models[i][k].second) << "step " << step;
      }
      const bool known = std::any_of(models[i].begin(), models[i].end(), [&](const auto& e) { return e.first == key; });
      ASSERT_EQ(dicts[i].Lookup(key), known) << "step " << step << " " << key;
    }
  }
}

}  // namespace
}  // namespace vemo
