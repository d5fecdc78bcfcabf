// The fast JSON reader (the scanner under ParseJsonText) is checked against
// an independent, widely used JSON parser: for every text both must agree on
// whether it is JSON and, when it is, on the values read.
#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "foundation/json_convert.h"
#include "support/host_error_of.h"

namespace vemo {
namespace {

// Whether the reference parser takes the text, and what ours made of it;
// written back as JSON, so kinds show: 1 is not 1.0.
void ExpectAgreement(const std::string& text) {
  const Json reference = Json::parse(text, nullptr, false);  // discarded when not JSON
  Variant ours;
  const std::string error = test::RaisedBy([&] { ours = ParseJsonText(text); }).message;
  EXPECT_TRUE(error.empty() || error.find("JSON syntax error at byte ") != std::string::npos) << error;
  ASSERT_EQ(error.empty(), !reference.is_discarded()) << "text: " << text;
  if (error.empty()) {
    EXPECT_EQ(ToJson(ours).dump(), ToJson(FromJson(reference)).dump()) << "text: " << text;
  }
}

TEST(JsonScanner, ReadsWhatTheReferenceParserReadsAndRefusesTheRest) {
  for (const std::string text : {
           R"({"DataSrv": {"FID": 1020004, "FName": "销售单"}, "Data": {"Page2": [{"a": {"FFLD": 25.797}}]}})",
           R"([1, -1, 0, -0, 1.5, -2.25e-3, 1E+2, 9223372036854775807, 9223372036854775808, -9223372036854775808,
               -9223372036854775809, 18446744073709551615, 18446744073709551616, 1e-400, 0.1])",
           R"(["", "a\"b\\c\/d\b\f\n\r\t", "\u00e9\u4e2d\ud83d\ude00", "é中😀", "\u0000x"])",
           R"(  {"nested": [[[], {}], {"x": [null, true, false]}]}  )", "17", "\"just text\"", "[]", "{}",
           R"({"dup": 1, "dup": 2})",
           // Not JSON.
           "", " ", "01", "-", "1.", "1e", "1e+", ".5", "+1", "[1,]", "[1 2]", "{\"a\" 1}", "{\"a\":1,}", "{a:1}", "tru",
           "nul", "[", "{\"a\":", "\"open", "1 2", "[]]", "\"\\x\"", "\"\\u12\"", "\"\\ud800\"", "\"\\udc00\"",
           "\"\\ud800\\u0041\"", "1e400", "-1e400", "/* no */ 1", "[1] // no",
           // Bytes that are not UTF-8, and raw control characters, inside strings.
           "\"\xff\"", "\"\xc0\xaf\"", "\"\xed\xa0\x80\"", "\"\xf4\x90\x80\x80\"", "\"\xe4\xb8\"", "\"a\tb\"",
           "\"a\nb\"", "\"\x01\""}) {
    SCOPED_TRACE(text);
    ExpectAgreement(text);
  }
}

// Texts changed at random are compared with the reference by the request
// reader's fuzz target (tests/fuzz/json_request_fuzz.cpp).

// Nesting is bounded (the values built from a request are freed and walked
// recursively), with a reason; a string that is not UTF-8 is refused naming
// its member.
TEST(JsonScanner, RefusalsSayWhatAndWhere) {
  const std::pair<std::string, std::string> cases[] = {  // the text, and what its refusal says
      {std::string(512, '[') + std::string(512, ']'), ""},
      {std::string(513, '[') + std::string(513, ']'), "nested more than 512 levels"},
      {std::string(200000, '['), "nested more than 512 levels"},
      {"{\"Data\": {\"FName\": \"ok\", \"FModel\": \"a\xFF\"}}", "not UTF-8 in the value of \"FModel\""},
      {"[\"a\xFF\"]", "not UTF-8; save"},
      {"\"\\u0041", "the text ends inside a string"},  // the escape is whole, the string is not
  };
  for (const auto& [text, message] : cases) {
    const std::string error = test::RaisedBy([&] { ParseJsonText(text); }).message;
    EXPECT_EQ(error.empty(), message.empty()) << text.substr(0, 20) << ": " << error;
    EXPECT_NE(error.find(message), std::string::npos) << message << ": " << error;
  }
}

}  // namespace
}  // namespace vemo
