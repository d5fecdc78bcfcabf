// The C boundary: host values survive the trip and the host's own freeing,
// and failures come back as a status and a message, never as an exception.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "vemoprint/vemoprint.h"

namespace {

// dictionary.Add(key, value) then dictionary.Item(key).
vemo_value RoundTrip(vemo_object* dictionary, const char* key, vemo_value value) {
  vemo_value args[2] = {vemo_text(key), value}, back{};
  EXPECT_EQ(vemo_call(dictionary, "Add", args, 2, nullptr), VEMO_OK) << vemo_last_error();
  EXPECT_EQ(vemo_call(dictionary, "Item", args, 1, &back), VEMO_OK) << vemo_last_error();
  return back;
}

TEST(CInterface, HostValuesComeBackAsTheyWentIn) {
  ASSERT_EQ(vemo_api_version(), VEMOPRINT_API_VERSION);
  ASSERT_EQ(vemo_initialize(nullptr), VEMO_OK) << vemo_last_error();
  vemo_object* dictionary = nullptr;
  ASSERT_EQ(vemo_dictionary_new(&dictionary), VEMO_OK);
  char text[] = "销售发票 No.5";
  struct Case {
    vemo_value in;
    int type;
  } cases[] = {{vemo_empty(), VEMO_EMPTY},       {vemo_bool(1), VEMO_BOOLEAN},   {vemo_int(-7), VEMO_INTEGER},
               {vemo_double(0.25), VEMO_DOUBLE}, {vemo_date(46000.5), VEMO_DATE}, {vemo_text(text), VEMO_TEXT}};
  int n = 0;
  for (const Case& c : cases) {
    vemo_value back = RoundTrip(dictionary, std::to_string(n++).c_str(), c.in);
    EXPECT_EQ(back.type, c.type);
    if (c.type == VEMO_TEXT) {
      std::memset(text, 'x', sizeof text - 1);  // the host reuses its buffer: the component kept a copy
      vemo_value again{};
      vemo_value key = vemo_text("5");
      ASSERT_EQ(vemo_call(dictionary, "Item", &key, 1, &again), VEMO_OK);
      EXPECT_STREQ(again.as.text, "销售发票 No.5");
      vemo_value_clear(&again);
    } else if (c.type == VEMO_INTEGER) {
      EXPECT_EQ(back.as.integer, -7);
    } else if (c.type == VEMO_DOUBLE || c.type == VEMO_DATE) {
      EXPECT_EQ(back.as.number, c.in.as.number);
    }
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
  EXPECT_EQ(count.as.integer, 6);
  vemo_value_clear(&item);
  vemo_release(vector);
}

TEST(CInterface, ByteArraysCrossBothWays) {
  ASSERT_EQ(vemo_initialize(nullptr), VEMO_OK) << vemo_last_error();
  vemo_object* dictionary = nullptr;
  ASSERT_EQ(vemo_dictionary_new(&dictionary), VEMO_OK);
  const std::string zip("PK\x03\x04\0\0\xff", 7);  // holds a 0 byte: no text would survive
  std::string buffer = zip;
  vemo_bytes in{buffer.data(), buffer.size()};
  vemo_value back = RoundTrip(dictionary, "zip", vemo_byte_array(&in));
  buffer.assign(buffer.size(), 'x');  // the component kept a copy
  ASSERT_EQ(back.type, VEMO_BYTES);
  EXPECT_EQ(std::string(static_cast<const char*>(back.as.bytes->data), back.as.bytes->size), zip);
  // Through a file, as a template or picture a member opens by path.
  vemo_value path{}, read{};
  ASSERT_EQ(vemo_write_temp_file(back.as.bytes, ".xlsx", &path), VEMO_OK) << vemo_last_error();
  ASSERT_EQ(vemo_read_file(path.as.text, &read), VEMO_OK) << vemo_last_error();
  EXPECT_EQ(std::string(static_cast<const char*>(read.as.bytes->data), read.as.bytes->size), zip);
  vemo_value_clear(&read);
  EXPECT_EQ(vemo_remove_file(path.as.text), VEMO_OK);
  EXPECT_NE(vemo_read_file(path.as.text, &read), VEMO_OK);  // gone
  for (vemo_value* v : {&back, &path}) vemo_value_clear(v);
  vemo_release(dictionary);
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

TEST(CInterface, FailuresAreAStatusAndAMessage) {
  ASSERT_EQ(vemo_initialize(nullptr), VEMO_OK) << vemo_last_error();
  vemo_object* object = nullptr;
  vemo_value value = vemo_int(1);
  struct Case {
    int status;
    int expected;
  } cases[] = {
      {vemo_create("VemoPrintExport.NoSuchClass", &object), 429},
      {vemo_create(nullptr, &object), VEMO_E_ARGUMENT},
      {vemo_set(nullptr, "RptID", &value), VEMO_E_ARGUMENT},
      {vemo_parse_json("{\"a\": ", &value), 13},  // the JSON reader's own error number
      {vemo_remove_file("/etc/hostname"), VEMO_E_ARGUMENT},  // only files the component made
      {vemo_write_temp_file(nullptr, ".xlsx", &value), VEMO_E_ARGUMENT},
  };
  for (const Case& c : cases) EXPECT_EQ(c.status, c.expected);
  EXPECT_EQ(object, nullptr);
  // Each message names what was wrong; checked right after its own call.
  EXPECT_NE(vemo_create("VemoPrintExport.NoSuchClass", &object), VEMO_OK);
  EXPECT_NE(std::string(vemo_last_error()).find("NoSuchClass"), std::string::npos);
  EXPECT_EQ(vemo_dictionary_new(&object), VEMO_OK);
  EXPECT_STREQ(vemo_last_error(), "");
  vemo_release(object);
}

}  // namespace
