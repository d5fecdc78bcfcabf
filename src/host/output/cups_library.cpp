#include "host/output/cups_library.h"

#include <dlfcn.h>

#include <mutex>
#include <string>

#include "host/output/output_error.h"

namespace vemo::host {
namespace {

constexpr const char* kLibraryName = "libcups.so.2";

template <class Function>
void Bind(void* module, const char* name, Function& out) {
  out = reinterpret_cast<Function>(dlsym(module, name));
  if (!out)
    throw OutputError(std::string("the CUPS library ") + kLibraryName + " has no function " + name +
                      "; install a current libcups2 package");
}

CupsLibrary Load() {
  // Never unloaded: the library keeps its own state (server connection,
  // destinations cache) for the rest of the process.
  void* module = dlopen(kLibraryName, RTLD_NOW | RTLD_LOCAL);
  if (!module)
    throw OutputError(std::string("cannot print: the CUPS library ") + kLibraryName + " does not load (" + dlerror() +
                      "); install the libcups2 package");
  CupsLibrary cups{};
  Bind(module, "cupsGetNamedDest", cups.getNamedDest);
  Bind(module, "cupsFreeDests", cups.freeDests);
  Bind(module, "cupsAddOption", cups.addOption);
  Bind(module, "cupsFreeOptions", cups.freeOptions);
  Bind(module, "cupsPrintFile2", cups.printFile2);
  Bind(module, "cupsLastErrorString", cups.lastErrorString);
  return cups;
}

}  // namespace

const CupsLibrary& Cups() {
  // A failed load throws out of the initialiser, so the next call tries again.
  static const CupsLibrary cups = Load();
  return cups;
}

}  // namespace vemo::host
