#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <tuple>

#include "support/host_error_of.h"
#include "support/test_paths.h"

#include "foundation/creation_service.h"
#include "foundation/host_collections.h"
#include "foundation/json_convert.h"
#include "foundation/recordset.h"

namespace vemo {
namespace {

// A dictionary's order, copies and removals: dictionary_sharing_test.cpp.
TEST(HostCollections, KeysCompareExactlyVectorsCountFromOneAndAbsentItemsRaise) {
  HostDictionary d;
  d.Add("FBillNo", "XS-1");
  d.Set("fbillno", "other");
  EXPECT_EQ(d.Count(), 2);
  EXPECT_FALSE(d.Lookup("FBILLNO"));
  EXPECT_TRUE(d.Value("missing").IsEmpty());
  HostVector v;
  v.Add("a");
  v.Add(2);
  EXPECT_EQ(v.LowerBound(), 1);
  EXPECT_EQ(v.UpperBound(), 2);
  EXPECT_EQ(v.Item(1).ToText(), "a");
  EXPECT_THROW(d.Item("missing"), HostError);
  EXPECT_THROW(d.Key(0), HostError);
  EXPECT_THROW(v.Item(0), HostError);
  EXPECT_THROW(v.Item(3), HostError);
}

// Through the JSON library's document and through the direct reader.
TEST(Json, RoundTripsHostValues) {
  const Json request = Json::parse(R"({
    "DataSrv": {"classtype": {"FID": 1020002, "FName": "销售发票"}, "ClassTypeEntry": [{"FEntryType": 0}]},
    "Data": {"FID": 1001, "Page2": [{"_0012_FQty": {"FFLD": 5.5, "FDSP": "", "FFND": null}}]}, "Flag": true,
    "Photo": {"$bytes": "AAEC/w=="}, "When": {"$date": "2026-12-01"},
    "Rows": {"$recordset": {"fields": ["FCustName", "FAmount"], "rows": [["Acme", 12.5]]}}
  })");
  const Variant v = FromJson(request);
  auto root = v.AsObject<HostDictionary>();
  ASSERT_TRUE(root);
  // The kinds the JSON text cannot show (numbers: variant_test.cpp): the
  // tagged objects become dates, bytes and rows.
  EXPECT_EQ(root->Value("When").Type(), VariantType::Date);
  EXPECT_EQ(root->Value("Photo").ToBytes(), (Bytes{0, 1, 2, 255}));
  EXPECT_TRUE(root->Value("Rows").AsObject<Recordset>());
  EXPECT_EQ(ToJson(v), request);  // every kind comes back as it was written
  EXPECT_EQ(ToJson(ParseJsonText(request.dump())), request);  // the direct reader makes the same values
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
  const std::tuple<const char*, int, const char*> cases[] = {  // filter, rows shown, the first one's name
      {"FQty >= 2", 2, "Banana"}, {"FName = 'it''s' AND FQty = 3", 1, "it's"}, {"FName LIKE 'b*'", 1, "Banana"},
      {"", 3, "apple"}};
  for (const auto& [filter, count, first] : cases) {
    rs.SetFilter(filter);
    EXPECT_EQ(rs.RecordCount(), count) << filter;
    EXPECT_EQ(rs.Field("FName").ToText(), first) << filter;
  }
  EXPECT_THROW(rs.SetFilter("Nope = 1"), HostError);
  EXPECT_THROW(rs.SetFilter("FQty = 1 OR FQty = 2"), HostError);
}

struct Widget : HostObject {
  std::string TypeName() const override { return "Widget"; }
};

// A factory withheld for a scope (ScopedFactory with none) comes back after it.
TEST(CreationService, CreatesByIdentifierIgnoringCaseWhileRegistered) {
  ScopedFactory registered("Test.Widget", [] { return std::make_shared<Widget>(); });
  {
    ScopedFactory withheld("Test.Widget", nullptr);
    const test::Raised raised = test::RaisedBy([] { CreateObject("Test.Widget"); });
    EXPECT_EQ(raised.number, HostError::kCannotCreateObject);
    EXPECT_THAT(raised.message, ::testing::HasSubstr("Test.Widget"));
  }
  EXPECT_TRUE(std::dynamic_pointer_cast<Widget>(CreateObject("test.WIDGET")));
  EXPECT_TRUE(CreateObjectAs<Widget>("Test.Widget"));
  EXPECT_THROW(CreateObjectAs<HostDictionary>("Test.Widget"), HostError);
}

// A file is read whole: the number of 100001 digits is seen to its end.
TEST(Json, AFileIsReadWholeAndOnlyARegularFileIsRead) {
  vemo::test::TempDir dir;
  const std::string path = (dir / "request.json").string();
  std::ofstream(path, std::ios::binary) << "\xEF\xBB\xBF{\"FID\": 7}";  // as Windows hosts write UTF-8
  EXPECT_EQ(ReadJsonFile(path).AsObject<HostDictionary>()->Value("FID").ToInt32(), 7);
  std::ofstream((dir / "empty.json").string());
  std::ofstream((dir / "long.json").string()) << "[1" << std::string(100000, '0') << "]";
  const struct {
    std::string path, message;
  } refused[] = {
      {(dir / "empty.json").string(), "expected a value, found the end of the text"},
      {(dir / "long.json").string(), "0... (100001 characters) is too large"},
      {dir.path().string(), "not a regular file"},
      {(dir / "missing.json").string(), "the file is missing or unreadable"},
  };
  for (const auto& file : refused)
    EXPECT_THAT(test::RaisedBy([&] { ReadJsonFile(file.path); }).message, ::testing::HasSubstr(file.message));
}

}  // namespace
}  // namespace vemo
