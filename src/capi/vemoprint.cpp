// The C interface's entry points: each one a Guard around the late binding
// the command line uses too (automation/late_binding.h).
#include "vemoprint/vemoprint.h"

#include <cstdlib>
#include <vector>

#include "automation/components.h"
#include "automation/late_binding.h"
#include "capi/handles.h"
#include "capi/host_desktop.h"
#include "context/console_desktop.h"
#include "foundation/creation_service.h"
#include "foundation/host_collections.h"
#include "foundation/json_convert.h"
#include "foundation/recordset.h"

using namespace vemo;
using capi::Guard;
using capi::Require;

namespace vemo::capi {
namespace {
thread_local std::string t_lastError;

// A library must not read its host's standard input: questions without a
// host desktop are answered as nobody at the screen would.
std::shared_ptr<context::Desktop> ErrorStreamDesktop() {
  context::ConsoleDesktop::Options options;
  options.interactive = false;
  return std::make_shared<context::ConsoleDesktop>(options);
}

vemo_object* NewHandle(ObjectRef object) { return new vemo_object{std::move(object)}; }

ObjectRef Target(vemo_object* object) {
  Require(object, "the object");
  return object->ref;
}

}  // namespace

void SetLastError(std::string message) { t_lastError = std::move(message); }

}  // namespace vemo::capi

extern "C" {

int vemo_api_version(void) { return VEMOPRINT_API_VERSION; }

int vemo_initialize(const char* session_file) {
  return Guard([&] {
    automation::RegisterComponents();
    automation::OpenSession(session_file ? session_file : "");
    context::SetDesktop(capi::ErrorStreamDesktop());
  });
}

int vemo_set_desktop(const vemo_desktop* desktop) {
  return Guard([&] {
    if (desktop)
      context::SetDesktop(std::make_shared<capi::HostDesktop>(*desktop));
    else
      context::SetDesktop(capi::ErrorStreamDesktop());
  });
}

int vemo_create(const char* prog_id, vemo_object** object) {
  return Guard([&] {
    Require(prog_id, "the identifier");
    Require(object, "the place for the object");
    *object = nullptr;
    *object = capi::NewHandle(CreateObject(prog_id));
  });
}

int vemo_get(vemo_object* object, const char* property, vemo_value* result) {
  return Guard([&] {
    Require(property, "the property name");
    Require(result, "the place for the value");
    *result = vemo_value{};
    *result = capi::ToHost(automation::Invoke(capi::Target(object), property, automation::Access::Get));
  });
}

int vemo_set(vemo_object* object, const char* property, const vemo_value* value) {
  return Guard([&] {
    Require(property, "the property name");
    Require(value, "the value");
    const Variant argument = capi::FromHost(*value);
    automation::Invoke(capi::Target(object), property, automation::Access::Set, {&argument, 1});
  });
}

int vemo_call(vemo_object* object, const char* method, const vemo_value* arguments, size_t count, vemo_value* result) {
  return Guard([&] {
    Require(method, "the method name");
    if (count) Require(arguments, "the arguments");
    if (result) *result = vemo_value{};
    std::vector<Variant> values;
    for (size_t i = 0; i < count; ++i) values.push_back(capi::FromHost(arguments[i]));
    Variant answer = automation::Invoke(capi::Target(object), method, automation::Access::Call, values);
    if (result) *result = capi::ToHost(answer);
  });
}

vemo_object* vemo_retain(vemo_object* object) {
  vemo_object* copy = nullptr;
  Guard([&] { copy = object ? capi::NewHandle(object->ref) : nullptr; });
  return copy;
}

void vemo_release(vemo_object* object) { delete object; }

int vemo_dictionary_new(vemo_object** dictionary) {
  return Guard([&] {
    Require(dictionary, "the place for the dictionary");
    *dictionary = capi::NewHandle(HostDictionary::Create());
  });
}

int vemo_vector_new(vemo_object** vector) {
  return Guard([&] {
    Require(vector, "the place for the vector");
    *vector = capi::NewHandle(HostVector::Create());
  });
}

int vemo_recordset_new(const char* const* fields, size_t field_count, const vemo_value* cells, size_t row_count,
                       vemo_object** recordset) {
  return Guard([&] {
    Require(recordset, "the place for the record set");
    if (field_count) Require(fields, "the field names");
    if (field_count && row_count) Require(cells, "the cells");
    std::vector<std::string> names;
    for (size_t f = 0; f < field_count; ++f) {
      Require(fields[f], "a field name");
      names.emplace_back(fields[f]);
    }
    std::vector<std::vector<Variant>> rows(row_count);
    for (size_t r = 0; r < row_count; ++r)
      for (size_t f = 0; f < field_count; ++f) rows[r].push_back(capi::FromHost(cells[r * field_count + f]));
    *recordset = capi::NewHandle(Recordset::Create(std::move(names), std::move(rows)));
  });
}

int vemo_parse_json(const char* json, vemo_value* result) {
  return Guard([&] {
    Require(json, "the JSON text");
    Require(result, "the place for the value");
    *result = vemo_value{};
    *result = capi::ToHost(ParseJsonText(json));
  });
}

const char* vemo_last_error(void) { return capi::t_lastError.c_str(); }

void vemo_value_clear(vemo_value* value) {
  if (!value) return;
  if (value->type == VEMO_TEXT) std::free(const_cast<char*>(value->as.text));
  if (value->type == VEMO_OBJECT) delete value->as.object;
  *value = vemo_value{};
}

}  // extern "C"
