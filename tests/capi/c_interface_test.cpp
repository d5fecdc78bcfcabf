// The C boundary: host values survive the trip and the host's own freeing,
// and failures come back as a status and a message, never as an exception.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "vemoprint/vemoprint.h"

namespace {

// A value's kind and content as text, to compare what came back with what went in.
std::string Show(const vemo_value& v) {
  switch (v.type) {
    case VEMO_BOOLEAN: return "boolean " + std::to_string(v.as.boolean != 0);
    case VEMO_INTEGER: return "integer " + std::to_string(v.as.integer);
    case VEMO_DOUBLE: return "double " + std::to_string(v.as.number);
    case VEMO_DATE: return "date " + std::to_string(v.as.number);
    case VEMO_TEXT: return std::string("text ") + v.as.text;
    case VEMO_BYTES: return "bytes " + std::string(static_cast<const char*>(v.as.bytes->data), v.as.bytes->size);
    default: return "type " + std::to_string(v.type);
  }
}

TEST(CInterface, HostValuesComeBackAsTheyWentIn) {
  ASSERT_EQ(vemo_api_version(), VEMOPRINT_API_VERSION);
  ASSERT_EQ(vemo_initialize(nullptr), VEMO_OK) << vemo_last_error();
  vemo_object* dictionary = nullptr;
  ASSERT_EQ(vemo_dictionary_new(&dictionary), VEMO_OK);
  char text[] = "销售发票 No.5";
  std::string zip("PK\x03\x04\0\0\xff", 7);  // holds a 0 byte: no text would survive
  const vemo_bytes bytes{zip.data(), zip.size()};
  const vemo_value values[] = {vemo_empty(),       vemo_bool(1),    vemo_int(-7), vemo_double(0.25),
                               vemo_date(46000.5), vemo_text(text), vemo_byte_array(&bytes)};
  std::vector<std::string> expected;
  for (const vemo_value& value : values) {  // dictionary.Add(its type, value)
    const std::string key = std::to_string(value.type);
    const vemo_value args[2] = {vemo_text(key.c_str()), value};
    ASSERT_EQ(vemo_call(dictionary, "Add", args, 2, nullptr), VEMO_OK) << vemo_last_error();
    expected.push_back(Show(value));
  }
  std::memset(text, 'x', sizeof text - 1);  // the host reuses its buffers: the component kept copies
  zip.assign(zip.size(), 'x');
  for (std::size_t i = 0; i < expected.size(); ++i) {  // dictionary.Item(its type)
    const std::string type = std::to_string(values[i].type);
    vemo_value key = vemo_text(type.c_str()), back{};
    ASSERT_EQ(vemo_call(dictionary, "Item", &key, 1, &back), VEMO_OK) << vemo_last_error();
    EXPECT_EQ(Show(back), expected[i]);
    vemo_value_clear(&back);
  }

  // An object the host released lives on where the component holds it.
  vemo_object* vector = nullptr;
  ASSERT_EQ(vemo_vector_new(&vector), VEMO_OK);
  vemo_value held = vemo_obj(dictionary);
  ASSERT_EQ(vemo_call(vector, "Add", &held, 1, nullptr), VEMO_OK);
  vemo_release(dictionary);
  vemo_value one = vemo_int(1), item{}, count{};
  ASSERT_EQ(vemo_call(vector, "Item", &one, 1, &item), VEMO_OK);
  ASSERT_EQ(item.type, VEMO_OBJECT);
  ASSERT_EQ(vemo_get(item.as.object, "Count", &count), VEMO_OK);
  EXPECT_EQ(count.as.integer, static_cast<std::int64_t>(std::size(values)));
  vemo_value_clear(&item);
  vemo_release(vector);
}

// The cells of a record set are given row after row.
TEST(CInterface, RecordSetCellsAreReadRowByRow) {
  ASSERT_EQ(vemo_initialize(nullptr), VEMO_OK) << vemo_last_error();
  const char* fields[] = {"FName", "FQty"};
  const vemo_value cells[] = {vemo_text("a"), vemo_int(1), vemo_text("b"), vemo_int(2)};
  vemo_object* rows = nullptr;
  ASSERT_EQ(vemo_recordset_new(fields, 2, cells, 2, &rows), VEMO_OK) << vemo_last_error();
  vemo_value quantity = vemo_text("FQty"), cell{};
  ASSERT_EQ(vemo_call(rows, "Fields", &quantity, 1, &cell), VEMO_OK) << vemo_last_error();
  EXPECT_EQ(Show(cell), "integer 1");
  vemo_release(rows);
}

// Bytes through a file, as a template or picture a member opens by path.
TEST(CInterface, ByteArraysGoThroughTemporaryFiles) {
  ASSERT_EQ(vemo_initialize(nullptr), VEMO_OK) << vemo_last_error();
  const std::string zip("PK\x03\x04\0\0\xff", 7);
  const vemo_bytes bytes{zip.data(), zip.size()};
  vemo_value path{}, read{};
  ASSERT_EQ(vemo_write_temp_file(&bytes, ".xlsx", &path), VEMO_OK) << vemo_last_error();
  ASSERT_EQ(vemo_read_file(path.as.text, &read), VEMO_OK) << vemo_last_error();
  EXPECT_EQ(Show(read), "bytes " + zip);
  vemo_value_clear(&read);
  EXPECT_EQ(vemo_remove_file(path.as.text), VEMO_OK);
  EXPECT_NE(vemo_read_file(path.as.text, &read), VEMO_OK);  // gone
  vemo_value_clear(&path);
}

// Two host threads fill one dictionary at once: every Add lands, and each
// thread sees only its own last error.
TEST(CInterface, TwoThreadsCallAtOnce) {
  ASSERT_EQ(vemo_initialize(nullptr), VEMO_OK) << vemo_last_error();
  vemo_object* shared = nullptr;
  ASSERT_EQ(vemo_dictionary_new(&shared), VEMO_OK);
  constexpr int kAdds = 20000;
  std::vector<int> failures(2, 0);
  auto fill = [&](int thread) {
    for (int i = 0; i < kAdds; ++i) {
      const std::string key = std::to_string(thread) + "-" + std::to_string(i);
      vemo_value args[2] = {vemo_text(key.c_str()), vemo_int(i)};
      if (vemo_call(shared, "Add", args, 2, nullptr) != VEMO_OK) ++failures[thread];
      // Thread 1 fails on purpose every time; thread 0 never does.
      vemo_object* none = nullptr;
      if (thread == 1) vemo_create("VemoPrintExport.NoSuchClass", &none);
      if ((vemo_last_error()[0] != '\0') != (thread == 1)) ++failures[thread];
    }
  };
  std::thread first(fill, 0), second(fill, 1);
  first.join();
  second.join();
  EXPECT_EQ(failures, (std::vector<int>{0, 0}));
  vemo_value count{};
  EXPECT_EQ(vemo_get(shared, "Count", &count) == VEMO_OK ? count.as.integer : -1, 2 * kAdds);
  vemo_release(shared);
}

// Each message is read right after its own call: the next call replaces it.
TEST(CInterface, FailuresAreAStatusAndAMessage) {
  ASSERT_EQ(vemo_initialize(nullptr), VEMO_OK) << vemo_last_error();
  vemo_object *object = nullptr, *dictionary = nullptr;
  ASSERT_EQ(vemo_dictionary_new(&dictionary), VEMO_OK);
  EXPECT_STREQ(vemo_last_error(), "");
  vemo_value value = vemo_int(1), unknown = vemo_int(1);
  unknown.type = 99;
  struct Case {
    int status;
    std::string message;
    int expected;
    const char* names;  // what the message must name
  } cases[] = {
      {vemo_create("VemoPrintExport.NoSuchClass", &object), vemo_last_error(), 429, "NoSuchClass"},
      {vemo_create(nullptr, &object), vemo_last_error(), VEMO_E_ARGUMENT, "the identifier must not be NULL"},
      {vemo_set(nullptr, "RptID", &value), vemo_last_error(), VEMO_E_ARGUMENT, "the object must not be NULL"},
      {vemo_set(dictionary, "Count", &unknown), vemo_last_error(), VEMO_E_ARGUMENT, "99; use one of the vemo_type codes"},
      {vemo_parse_json("{\"a\": ", &value), vemo_last_error(), 13, "syntax error at byte 7"},  // the reader's number
      {vemo_remove_file("/etc/hostname"), vemo_last_error(), VEMO_E_ARGUMENT, "was not made by vemo_write_temp_file"},
      {vemo_write_temp_file(nullptr, ".xlsx", &value), vemo_last_error(), VEMO_E_ARGUMENT, "byte array must not be NULL"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.status, c.expected) << c.message;
    EXPECT_NE(c.message.find(c.names), std::string::npos) << c.message;
  }
  EXPECT_EQ(object, nullptr);
  vemo_release(dictionary);
}

}  // namespace
