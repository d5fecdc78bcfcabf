#include "engine/output/printer_hooks.h"

#include <cstdlib>

#include "context/file_utils.h"
#include "context/library_loader.h"
#include "context/path_mapping.h"
#include "context/settings.h"

namespace vemo::engine {

std::string PrinterHookPath(std::string_view libraryName) {
  const char* programFiles = std::getenv("ProgramFiles");
  std::string folder = programFiles && *programFiles ? programFiles : std::string(context::kDefaultProgramFiles);
  return folder + "\\Common Files\\quorvan\\" + std::string(libraryName);
}

std::filesystem::path DebugLogFile() {
  return context::ToHostPath(context::JoinPath(context::GetInstallPath(3), "TalvoDebug.log"));
}

void* LoadPrinterHook(std::string_view libraryName) {
  void* module = context::LoadLibraryByPath(PrinterHookPath(libraryName));
  using SetLog = void (*)(const char*);
  if (auto setLog = reinterpret_cast<SetLog>(context::LibraryExport(module, "PrinterHookSetDebugLog")))
    setLog(DebugLogFile().c_str());
  return module;
}

namespace {
using InjectFunction = std::int32_t (*)(std::int32_t);

InjectFunction BoundInject(const char* name) {
  return reinterpret_cast<InjectFunction>(context::BoundFunction(kPrinterInjectLibrary, name));
}
}  // namespace

void PrinterInjectByHwnd(std::int32_t hwnd) { BoundInject("PrinterInjectByHwnd")(hwnd); }

void PrinterInjectByProcHandle(std::int32_t processHandle) {
  BoundInject("PrinterInjectByProcHandle")(processHandle);
}

}  // namespace vemo::engine
