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

// Written back as JSON, so kinds show: 1 is not 1.0, -0.0 is not 0.0.
bool Same(const Variant& a, const Variant& b) { return ToJson(a).dump() == ToJson(b).dump(); }

TEST(JsonReaderTables, ObjectsWithTheSameKeysShareOneTable) {
  // The shape of a bill: lines of fields, each field {FFLD, FDSP, FFND}.
  const Variant root = ParseJsonText(R"({"Page2": [
    {"FQty": {"FFLD": 1, "FDSP": "", "FFND": ""}, "FName": {"FFLD": "a", "FDSP": "A", "FFND": ""}},
    {"FQty": {"FFLD": 2, "FDSP": "", "FFND": ""}, "FName": {"FFLD": "b", "FDSP": "B", "FFND": ""}},
    {"FName": {"FFLD": "c", "FDSP": "", "FFND": ""}, "FQty": {"FFND": "", "FDSP": "", "FFLD": 3}}]})");
  auto lines = Dict(root)->Value("Page2").AsObject<HostVector>();
  const Variant &first = lines->Item(1), &second = lines->Item(2), &third = lines->Item(3);
  EXPECT_EQ(TableOf(first), TableOf(second));
  EXPECT_NE(TableOf(first), TableOf(third));  // the same keys in another order
  const KeyTable* field = TableOf(Dict(first)->Item("FQty"));
  EXPECT_EQ(TableOf(Dict(second)->Item("FName")), field);
  EXPECT_NE(TableOf(Dict(third)->Item("FQty")), field);
  EXPECT_EQ(ToJson(third).dump(), R"({"FName":{"FFLD":"c","FDSP":"","FFND":""},"FQty":{"FFND":"","FDSP":"","FFLD":3}})");

  // Changing one of the sharers leaves the others as they were read.
  auto changed = Dict(Dict(first)->Item("FQty"));
  changed->Add("FNew", 1);
  changed->Remove("FFLD");
  EXPECT_EQ(ToJson(second).dump(),
            R"({"FQty":{"FFLD":2,"FDSP":"","FFND":""},"FName":{"FFLD":"b","FDSP":"B","FFND":""}})");
}

// More key sequences than the reader remembers, interleaved: every object
// still gets exactly its own keys and values.
TEST(JsonReaderTables, ManyDifferentKeySetsStayApart) {
  Json lines = Json::array();
  for (int round = 0; round < 3; ++round)
    for (int set = 0; set < 20; ++set) {
      Json& line = lines.emplace_back(Json::object());
      for (int k = 0; k <= set % 5; ++k) line["k" + std::to_string(set) + "_" + std::to_string(k)] = round * 100 + k;
    }
  EXPECT_TRUE(Same(ParseJsonText(lines.dump()), FromJson(lines)));
}

// Where a repeated key's value goes: the agreement with the reference parser
// (json_scanner_test.cpp).
TEST(JsonReaderTables, RepeatedKeysAndEmptyObjects) {
  auto items = ParseJsonText(R"([{"a": 1, "b": 2, "a": 3}, {"a": 4, "b": 5}, {}, {}])").AsObject<HostVector>();
  EXPECT_EQ(TableOf(items->Item(2)), TableOf(items->Item(1)));  // a repeated key adds no key
  Dict(items->Item(3))->Add("x", 1);
  EXPECT_EQ(Dict(items->Item(4))->Count(), 0);
}

// Long arrays of lines of one shape are held by columns (line_columns.h):
// every line, field and value must read back exactly as the JSON library
// reads it, kind included, however the shape breaks off and whichever way
// the lines are asked for first.
TEST(JsonReaderTables, LinesHeldByColumnsReadBackAsWritten) {
  struct Case {
    const char* name;
    int lines;
    // The text of line i (0-based).
    std::string (*line)(int);
  };
  const Case cases[] = {
      {"one shape", 300,
       [](int i) {
         return "{\"FQty\": {\"FFLD\": " + std::string(i % 7 == 3 ? "1" : i % 5 == 1 ? "-0.0" : "0.0") +
                ", \"FDSP\": \"\", \"FFND\": null}, \"FName\": {\"FFLD\": \"name-" + std::to_string(i) +
                "\", \"FDSP\": " + (i == 299 ? "\"last\"" : "\"\"") + ", \"FFND\": {\"$date\": \"2026-12-07\"}}}";
       }},
      {"a line with another field", 300,
       [](int i) {
         return "{\"FQty\": {\"FFLD\": " + std::to_string(i) + ", \"FDSP\": \"\"}" +
                (i == 200 ? ", \"FNote\": {\"FFLD\": 1, \"FDSP\": \"\"}" : "") + "}";
       }},
      {"a field that is no object", 300,
       [](int i) { return "{\"FQty\": " + (i == 100 ? std::string("7") : "{\"FFLD\": [1, 2], \"FDSP\": true}") + "}"; }},
      {"few lines", 10, [](int i) { return "{\"FQty\": {\"FFLD\": " + std::to_string(i) + "}}"; }},
      {"lines of no fields", 300, [](int) { return std::string("{}"); }},
  };
  for (const Case& c : cases) {
    std::string text = "[";
    for (int i = 0; i < c.lines; ++i) text += (i ? "," : "") + c.line(i);
    text += "]";
    const Variant reference = FromJson(Json::parse(text));
    auto expected = reference.AsObject<HostVector>();
    for (bool fieldsFirst : {true, false}) {
      auto lines = ParseJsonText(text).AsObject<HostVector>();
      for (int i = 1; fieldsFirst && i <= c.lines; ++i) {
        for (const char* key : {"FQty", "FName", "FNote", "FNone"})
          ASSERT_TRUE(Same(lines->ItemField(i, key), Dict(expected->Item(i))->Value(key))) << c.name << i << key;
      }
      EXPECT_TRUE(Same(Variant(lines), reference)) << c.name;
      // A change made to one line leaves the others as they were read.
      lines->SetItem(2, Variant("changed"));
      EXPECT_TRUE(Same(lines->Item(c.lines), expected->Item(c.lines))) << c.name;
    }
  }
}

}  // namespace
}  // namespace vemo
