// The C interface's entry points: each one a Guard around the late binding
// the command line uses too (automation/late_binding.h).
#include "vemoprint/vemoprint.h"

#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <vector>

#include "automation/components.h"
#include "automation/late_binding.h"
#include "capi/handles.h"
#include "capi/host_desktop.h"
#include "capi/qt_dialogs.h"
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
// The host's numbers for "file not found" and "device I/O error".
constexpr int kFileNotFound = 53;
constexpr int kDeviceIoError = 57;

// A library must not read its host's standard input: questions without a
// host desktop are answered as nobody at the screen would.
std::shared_ptr<context::Desktop> ErrorStreamDesktop() {
  context::ConsoleDesktop::Options options;
  options.interactive = false;
  // Nor draw on its terminal: the host shows progress in its own way.
  options.progress = context::ProgressLine::Style::Hidden;
  return std::make_shared<context::ConsoleDesktop>(options);
}

vemo_object* NewHandle(ObjectRef object) { return new vemo_object{std::move(object)}; }

ObjectRef Target(vemo_object* object) {
  Require(object, "the object");
  return object->ref;
}

// The files vemo_write_temp_file made and nobody removed yet; removed when
// the process ends normally.
struct TempFiles {
  std::set<std::string> paths;
  ~TempFiles() {
    for (const std::string& path : paths) ::unlink(path.c_str());
  }
};
TempFiles& MadeFiles() {
  static TempFiles files;
  return files;
}

std::string NewTempFile(const vemo_bytes& bytes, const std::string& extension) {
  if (extension.find('/') != std::string::npos)
    throw HostError(VEMO_E_ARGUMENT, "the extension \"" + extension + "\" holds a '/'; give only the ending, e.g. \".xlsx\"");
  std::string name = (std::filesystem::temp_directory_path() / "vemoprint-XXXXXX").string() + extension;
  const int fd = ::mkstemps(name.data(), static_cast<int>(extension.size()));
  if (fd < 0)
    throw HostError(VEMO_E_INTERNAL, "cannot make a file in " + std::filesystem::temp_directory_path().string() +
                                         ": " + std::strerror(errno) + "; set TMPDIR to a writable folder");
  const auto* data = static_cast<const char*>(bytes.data);
  std::size_t done = 0;
  while (done < bytes.size) {
    const ssize_t n = ::write(fd, data + done, bytes.size - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      const std::string why = std::strerror(errno);
      ::close(fd);
      ::unlink(name.c_str());
      throw HostError(VEMO_E_INTERNAL, "cannot write " + name + ": " + why + "; free space in the temporary folder");
    }
    done += static_cast<std::size_t>(n);
  }
  ::close(fd);
  MadeFiles().paths.insert(name);
  return name;
}

}  // namespace

void SetLastError(std::string message) { t_lastError = std::move(message); }

std::recursive_mutex& CallLock() {
  static std::recursive_mutex lock;
  return lock;
}

}  // namespace vemo::capi

extern "C" {

int vemo_api_version(void) { return VEMOPRINT_API_VERSION; }

int vemo_initialize(const char* session_file) {
  return Guard([&] {
    automation::RegisterComponents();
    automation::OpenSession(session_file ? session_file : "");
    context::SetDesktop(capi::ErrorStreamDesktop());
    capi::OfferQtDialogs();
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

void vemo_release(vemo_object* object) {
  // The last handle may free the object, whose destructor is component code.
  const std::lock_guard<std::recursive_mutex> hold(capi::CallLock());
  delete object;
}

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

int vemo_read_file(const char* path, vemo_value* bytes) {
  return Guard([&] {
    Require(path, "the path");
    Require(bytes, "the place for the bytes");
    *bytes = vemo_value{};
    std::ifstream in(path, std::ios::binary);
    if (!in) throw HostError(capi::kFileNotFound, std::string("cannot read \"") + path + "\": check that the file exists and may be read");
    Bytes data{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (in.bad()) throw HostError(capi::kDeviceIoError, std::string("reading \"") + path + "\" failed part way: read it again");
    *bytes = capi::ToHost(Variant(std::move(data)));
  });
}

int vemo_write_temp_file(const vemo_bytes* bytes, const char* extension, vemo_value* path) {
  return Guard([&] {
    Require(bytes, "the byte array");
    capi::RequireData(*bytes);
    Require(path, "the place for the path");
    *path = vemo_value{};
    *path = capi::ToHost(Variant(capi::NewTempFile(*bytes, extension ? extension : "")));
  });
}

int vemo_remove_file(const char* path) {
  return Guard([&] {
    Require(path, "the path");
    if (!capi::MadeFiles().paths.erase(path))
      throw HostError(VEMO_E_ARGUMENT, std::string("\"") + path +
                                           "\" was not made by vemo_write_temp_file; remove the host's own files itself");
    ::unlink(path);
  });
}

const char* vemo_last_error(void) { return capi::t_lastError.c_str(); }

void vemo_value_clear(vemo_value* value) {
  if (!value) return;
  if (value->type == VEMO_TEXT) std::free(const_cast<char*>(value->as.text));
  if (value->type == VEMO_BYTES) std::free(const_cast<vemo_bytes*>(value->as.bytes));
  if (value->type == VEMO_OBJECT) {
    const std::lock_guard<std::recursive_mutex> hold(capi::CallLock());
    delete value->as.object;
  }
  *value = vemo_value{};
}

}  // extern "C"
