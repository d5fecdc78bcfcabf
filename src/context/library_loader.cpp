#include "context/library_loader.h"

#include <dlfcn.h>

#include <cctype>
#include <map>
#include <mutex>
#include <stdexcept>
#include <string>

#include "context/path_mapping.h"

namespace vemo::context {
namespace {

std::mutex mutex;
std::map<std::string, void*>& LoadedModules() {
  static std::map<std::string, void*> modules;  // lower-case Windows file name -> handle
  return modules;
}

std::string Lower(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

std::string WindowsFileName(std::string_view path) {
  std::size_t slash = path.find_last_of("\\/");
  return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

}  // namespace

std::filesystem::path HostLibraryFile(std::string_view windowsPath) {
  std::filesystem::path host = ToHostPath(windowsPath);
  const std::string name = host.filename().string();
  if (name.size() > 4 && Lower(name.substr(name.size() - 4)) == ".dll")
    host.replace_filename("lib" + name.substr(0, name.size() - 4) + ".so");
  return host;
}

void* LoadLibraryByPath(std::string_view windowsPath) {
  const std::filesystem::path file = HostLibraryFile(windowsPath);
  std::error_code ec;
  if (!std::filesystem::is_regular_file(file, ec)) return nullptr;
  void* module = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!module) return nullptr;
  std::lock_guard lock(mutex);
  LoadedModules()[Lower(WindowsFileName(windowsPath))] = module;
  return module;
}

void* LibraryExport(void* module, const char* name) { return module ? dlsym(module, name) : nullptr; }

void* BoundFunction(std::string_view libraryName, const char* name) {
  void* module = nullptr;
  {
    std::lock_guard lock(mutex);
    auto it = LoadedModules().find(Lower(libraryName));
    if (it != LoadedModules().end()) module = it->second;
  }
  if (!module)
    throw std::runtime_error("the library " + std::string(libraryName) + " is not loaded, so " + name +
                             " cannot be called (is it installed in the common files folder?)");
  void* function = dlsym(module, name);
  if (!function) throw std::runtime_error("the library " + std::string(libraryName) + " has no function " + name);
  return function;
}

void ForgetLoadedLibraries() {
  std::lock_guard lock(mutex);
  LoadedModules().clear();
}

}  // namespace vemo::context
