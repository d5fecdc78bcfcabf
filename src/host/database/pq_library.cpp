#include "host/database/pq_library.h"

#include <dlfcn.h>

#include <future>
#include <string>

#include "foundation/host_error.h"

namespace vemo::host {
namespace {

constexpr const char* kLibraryName = "libpq.so.5";

template <class Function>
void Bind(void* module, const char* name, Function& out) {
  out = reinterpret_cast<Function>(dlsym(module, name));
  if (!out)
    throw HostError(std::string("the PostgreSQL client library ") + kLibraryName + " has no function " + name +
                    "; install a current libpq5 package");
}

PqLibrary Load() {
  // Never unloaded: connections are kept for the rest of the process.
  void* module = dlopen(kLibraryName, RTLD_NOW | RTLD_LOCAL);
  if (!module)
    throw HostError(std::string("cannot reach the company database server: the PostgreSQL client library ") +
                    kLibraryName + " does not load (" + dlerror() + "); install the libpq5 package");
  PqLibrary pq{};
  Bind(module, "PQconnectdbParams", pq.connectdbParams);
  Bind(module, "PQstatus", pq.status);
  Bind(module, "PQerrorMessage", pq.errorMessage);
  Bind(module, "PQfinish", pq.finish);
  Bind(module, "PQexec", pq.exec);
  Bind(module, "PQexecParams", pq.execParams);
  Bind(module, "PQsendQueryParams", pq.sendQueryParams);
  Bind(module, "PQsetSingleRowMode", pq.setSingleRowMode);
  Bind(module, "PQgetResult", pq.getResult);
  Bind(module, "PQresultStatus", pq.resultStatus);
  Bind(module, "PQresultErrorMessage", pq.resultErrorMessage);
  Bind(module, "PQclear", pq.clear);
  Bind(module, "PQntuples", pq.ntuples);
  Bind(module, "PQnfields", pq.nfields);
  Bind(module, "PQfname", pq.fname);
  Bind(module, "PQftype", pq.ftype);
  Bind(module, "PQgetvalue", pq.getvalue);
  Bind(module, "PQgetlength", pq.getlength);
  Bind(module, "PQgetisnull", pq.getisnull);
  Bind(module, "PQunescapeBytea", pq.unescapeBytea);
  Bind(module, "PQfreemem", pq.freemem);
  Bind(module, "PQcmdTuples", pq.cmdTuples);
  Bind(module, "PQresultErrorField", pq.resultErrorField);
  return pq;
}

}  // namespace

void LoadPqInBackground() {
  static std::future<void> loading = std::async(std::launch::async, [] {
    try {
      Pq();
    } catch (const HostError&) {
      // Pq() says it again to whoever needs the library.
    }
  });
}

const PqLibrary& Pq() {
  // A failed load throws out of the initialiser, so the next call tries again.
  static const PqLibrary pq = Load();
  return pq;
}

}  // namespace vemo::host
