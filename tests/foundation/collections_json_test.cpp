#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>

#include "support/test_paths.h"

#include "foundation/creation_service.h"
#include "foundation/host_collections.h"
#include "foundation/json_convert.h"
#include "foundation/recordset.h"

namespace vemo {
namespace {

TEST(HostDictionary, KeepsOrderAndComparesKeysExactly) {
  HostDictionary d;
  d.Add("FBillNo", "XS-1");
  d.Add("FQty", 5);
  d.Set("FBillNo", "XS-2");
  d.Set("fbillno", "other");
  EXPECT_EQ(d.Count(), 3);
  EXPECT_EQ(d.Key(1), "FBillNo");
  EXPECT_EQ(d.ItemAt(1).ToText(), "XS-2");
  EXPECT_EQ(d.Key(3), "fbillno");
  EXPECT_TRUE(d.Lookup("FQty"));
  EXPECT_FALSE(d.Lookup("FQTY"));
  EXPECT_TRUE(d.Value("missing").IsEmpty());
  EXPECT_THROW(d.Item("missing"), HostError);
  EXPECT_THROW(d.Add("FQty", 1), HostError);
  EXPECT_TRUE(d.Remove("FBillNo"));
  EXPECT_EQ(d.Key(1), "FQty");
  EXPECT_EQ(d.Value("fbillno").ToText(), "other");  // index still right after removal
  EXPECT_THROW(d.Key(0), HostError);
}

TEST(HostVector, IsOneBased) {
  HostVector v;
  v.Add("a");
  v.Add(2);
  EXPECT_EQ(v.LowerBound(), 1);
  EXPECT_EQ(v.UpperBound(), 2);
  EXPECT_EQ(v.Item(1).ToText(), "a");
  EXPECT_THROW(v.Item(0), HostError);
  EXPECT_THROW(v.Item(3), HostError);
}

TEST(Json, RoundTripsHostValues) {
  const Json request = Json::parse(R"({
    "DataSrv": {"classtype": {"FID": 1020002, "FBillTypeID": 20, "FName": "销售发票"},
                "ClassTypeEntry": [{"FEntryType": 0}, {"FEntryType": 1}]},
    "Data": {"FID": 1001, "Page2": [{"_0012_FQty": {"FFLD": 5.5, "FDSP": "", "FFND": null}}]},
    "Big": 5000000000, "Flag": true,
    "Photo": {"$bytes": "AAEC/w=="}, "When": {"$date": "2026-12-01"},
    "Rows": {"$recordset": {"fields": ["FCustName", "FAmount"], "rows": [["Acme", 12.5]]}}
  })");
  const Variant v = FromJson(request);
  auto root = v.AsObject<HostDictionary>();
  ASSERT_TRUE(root);
  EXPECT_EQ(root->Key(1), "DataSrv");
  auto classtype = root->Value("DataSrv").AsObject<HostDictionary>()->Value("classtype").AsObject<HostDictionary>();
  EXPECT_EQ(classtype->Value("FID").Type(), VariantType::Integer);
  EXPECT_EQ(classtype->Value("FName").ToText(), "销售发票");
  auto entries = root->Value("DataSrv").AsObject<HostDictionary>()->Value("ClassTypeEntry").AsObject<HostVector>();
  EXPECT_EQ(entries->Item(2).AsObject<HostDictionary>()->Value("FEntryType").ToInt32(), 1);
  EXPECT_EQ(root->Value("Big").Type(), VariantType::Double);
  EXPECT_EQ(root->Value("Photo").ToBytes(), (Bytes{0, 1, 2, 255}));
  EXPECT_EQ(root->Value("When").Type(), VariantType::Date);
  auto rows = root->Value("Rows").AsObject<Recordset>();
  ASSERT_TRUE(rows);
  EXPECT_EQ(rows->Field("famount").ToNumber(), 12.5);
  auto qty = root->Value("Data").AsObject<HostDictionary>()->Value("Page2").AsObject<HostVector>()->Item(1);
  EXPECT_TRUE(qty.AsObject<HostDictionary>()->Value("_0012_FQty").AsObject<HostDictionary>()->Value("FFND").IsNull());

  EXPECT_EQ(ToJson(v), request);  // every kind comes back as it was written
}

// Documents read by the JSON library (session files) nest no deeper than
// requests: the host values built from them are freed recursively.
TEST(Json, DeepDocumentsAreRefused) {
  const Json deep = Json::parse(std::string(100000, '[') + std::string(100000, ']'));
  EXPECT_THROW(FromJson(deep), HostError);
  EXPECT_NO_THROW(FromJson(Json::parse(std::string(512, '[') + std::string(512, ']'))));
}

TEST(Json, Base64HandlesAllPaddings) {
  for (const Bytes& b : {Bytes{}, Bytes{1}, Bytes{1, 2}, Bytes{1, 2, 3}, Bytes{0xFF, 0, 0x10, 7}})
    EXPECT_EQ(Base64Decode(Base64Encode(b)), b);
  EXPECT_EQ(Base64Encode(Bytes{'M', 'a'}), "TWE=");
  EXPECT_THROW(Base64Decode("TW!="), HostError);
  EXPECT_THROW(RecordsetFromJson(Json::parse(R"({"fields": ["a"], "rows": [[1, 2]]})")), HostError);
}

TEST(Recordset, CursorFollowsTheDatabaseRules) {
  Recordset empty({"A"}, {});
  EXPECT_TRUE(empty.Bof());
  EXPECT_TRUE(empty.Eof());
  EXPECT_THROW(empty.Field("A"), HostError);

  Recordset rs({"FName", "FQty"}, {{"a", 1}, {"b", 2}, {"c", 3}});
  EXPECT_FALSE(rs.Bof());
  EXPECT_EQ(rs.RecordCount(), 3);
  EXPECT_EQ(rs.Field(0).ToText(), "a");
  rs.Move(2);
  EXPECT_EQ(rs.Field("fqty").ToInt32(), 3);
  rs.MoveNext();
  EXPECT_TRUE(rs.Eof());
  EXPECT_THROW(rs.MoveNext(), HostError);
  rs.Move(-10);
  EXPECT_TRUE(rs.Bof());
  rs.MoveFirst();
  EXPECT_EQ(rs.Field("FName").ToText(), "a");
  EXPECT_THROW(rs.Field("Nope"), HostError);
}

TEST(Recordset, FiltersRowsAndClearsWithEmptyText) {
  Recordset rs({"FName", "FQty"}, {{"apple", 1}, {"Banana", 2}, {"it's", 3}});
  rs.SetFilter("FQty >= 2");
  EXPECT_EQ(rs.RecordCount(), 2);
  EXPECT_EQ(rs.Field("FName").ToText(), "Banana");
  rs.SetFilter("FName = 'it''s' AND FQty = 3");
  EXPECT_EQ(rs.RecordCount(), 1);
  rs.SetFilter("FName LIKE 'b*'");
  EXPECT_EQ(rs.RecordCount(), 1);
  rs.SetFilter("");
  EXPECT_EQ(rs.RecordCount(), 3);
  EXPECT_EQ(rs.Field("FName").ToText(), "apple");
  EXPECT_THROW(rs.SetFilter("Nope = 1"), HostError);
  EXPECT_THROW(rs.SetFilter("FQty = 1 OR FQty = 2"), HostError);
}

struct Widget : HostObject {
  std::string TypeName() const override { return "Widget"; }
};

TEST(CreationService, CreatesByIdentifierIgnoringCase) {
  {
    ScopedFactory reg("Test.Widget", [] { return std::make_shared<Widget>(); });
    EXPECT_TRUE(std::dynamic_pointer_cast<Widget>(CreateObject("test.WIDGET")));
    EXPECT_TRUE(CreateObjectAs<Widget>("Test.Widget"));
    EXPECT_THROW(CreateObjectAs<HostDictionary>("Test.Widget"), HostError);
  }
  try {
    CreateObject("Test.Widget");
    FAIL() << "an unregistered identifier was created";
  } catch (const HostError& e) {
    EXPECT_EQ(e.Number(), HostError::kCannotCreateObject);
    EXPECT_NE(e.Description().find("Test.Widget"), std::string::npos);
  }
}

TEST(CreationService, ScopedFactoryRestoresWhatWasThere) {
  ScopedFactory outer("Test.Thing", [] { return std::make_shared<Widget>(); });
  {
    ScopedFactory withheld("Test.Thing", nullptr);
    EXPECT_FALSE(Creation().IsRegistered("Test.Thing"));
  }
  EXPECT_TRUE(Creation().IsRegistered("Test.Thing"));
}

}  // namespace
}  // namespace vemo

namespace vemo {
namespace {

// Large dictionaries switch to a hash index; every operation must agree with
// the small linear form across the switch, removals and copies.
TEST(HostDictionary, LargeDictionariesKeepEveryKeyReachable) {
  HostDictionary d;
  for (int i = 0; i < 100; ++i) d.Add("key" + std::to_string(i), i);
  for (int i = 0; i < 100; ++i) ASSERT_EQ(d.Value("key" + std::to_string(i)).ToInt32(), i) << i;
  EXPECT_FALSE(d.Lookup("key100"));
  EXPECT_TRUE(d.Remove("key0"));
  EXPECT_EQ(d.Key(1), "key1");
  EXPECT_EQ(d.Value("key99").ToInt32(), 99);
  HostDictionary copy(d);
  d.Clear();
  EXPECT_EQ(copy.Count(), 99);
  EXPECT_EQ(copy.Value("key50").ToInt32(), 50);
  EXPECT_THROW(copy.Add("key50", 1), HostError);
  HostDictionary assigned;
  assigned = copy;
  copy.Set("key7", "changed");
  EXPECT_EQ(assigned.Value("key7").ToInt32(), 7);
  EXPECT_EQ(copy.Value("key7").ToText(), "changed");
}

}  // namespace
}  // namespace vemo

namespace vemo {
namespace {

// The direct reader must give exactly what the document route gives.
TEST(Json, DirectReaderAgreesWithTheDocumentRoute) {
  const std::string text = R"({"a": [1, 2.5, "x", null, true, {"$bytes": "AAE="}],
    "b": {"FFLD": 5000000000, "FDSP": "显示", "FFND": ""}, "d": {"$date": "2026-12-01"},
    "r": {"$recordset": {"fields": ["F"], "rows": [["v"], []]}}, "b": "second wins"})";
  const Variant direct = ParseJsonText(text);
  const Variant viaDocument = FromJson(Json::parse(text));
  EXPECT_EQ(ToJson(direct), ToJson(viaDocument));
  auto root = direct.AsObject<HostDictionary>();
  EXPECT_EQ(root->Key(2), "b");  // a repeated key keeps its first place
  EXPECT_EQ(root->Value("b").ToText(), "second wins");
  EXPECT_EQ(root->Value("r").AsObject<Recordset>()->RecordCount(), 2);
  try {
    ParseJsonText(R"({"a": [1, 2})");
    FAIL() << "a syntax error was accepted";
  } catch (const HostError& e) {
    EXPECT_NE(e.Description().find("byte"), std::string::npos);
  }
  EXPECT_THROW(ReadJsonFile("/nonexistent/request.json"), HostError);
}

TEST(Json, AFileIsReadWholeAndOnlyARegularFileIsRead) {
  vemo::test::TempDir dir;
  const std::string path = (dir / "request.json").string();
  {
    std::ofstream out(path, std::ios::binary);
    out << R"({"lines": [)";
    for (int i = 0; i < 20000; ++i) out << (i ? "," : "") << R"({"FFLD": )" << i << "}";
    out << "]}";
  }
  auto lines = ReadJsonFile(path).AsObject<HostDictionary>()->Value("lines").AsObject<HostVector>();
  ASSERT_EQ(lines->Size(), 20000);
  EXPECT_EQ(lines->Item(20000).AsObject<HostDictionary>()->Value("FFLD").ToInt32(), 19999);
  std::ofstream((dir / "empty.json").string());
  EXPECT_THROW(ReadJsonFile((dir / "empty.json").string()), HostError);
  std::ofstream(path, std::ios::binary) << "\xEF\xBB\xBF{\"FID\": 7}";  // as Windows hosts write UTF-8
  EXPECT_EQ(ReadJsonFile(path).AsObject<HostDictionary>()->Value("FID").ToInt32(), 7);
  std::ofstream(path, std::ios::binary) << "[1" << std::string(100000, '0') << "]";
  EXPECT_THAT([&] { ReadJsonFile(path); }, ::testing::ThrowsMessage<HostError>(::testing::HasSubstr("0... (100001 characters) is too large")));
  try {
    ReadJsonFile(dir.path().string());
    FAIL() << "a folder was read as a request";
  } catch (const HostError& e) {
    EXPECT_NE(e.Description().find("not a regular file"), std::string::npos) << e.Description();
  }
}

}  // namespace
}  // namespace vemo
