// The host's printer hook libraries, in the common files folder:
// %ProgramFiles% + "\Common Files\quorvan\printer-inject.dll" (and
// "printer-filter.dll"); on this host the shared objects libprinter-inject.so
// and libprinter-filter.so in that folder as the path mapping places it
// (context/library_loader.h). Loaded modules are never freed.
#pragma once
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace vemo::engine {

inline constexpr std::string_view kPrinterInjectLibrary = "printer-inject.dll";
inline constexpr std::string_view kPrinterFilterLibrary = "printer-filter.dll";

// %ProgramFiles% (default "C:\Program Files") + "\Common Files\quorvan\" + name.
std::string PrinterHookPath(std::string_view libraryName);

// The debug log "TalvoDebug.log" in the host's program folder, as a host path.
std::filesystem::path DebugLogFile();

// Loads the library by its full path; the module handle, nullptr when it is
// missing. A loaded library that asks for it (PrinterHookSetDebugLog) is told
// where the debug log is.
void* LoadPrinterHook(std::string_view libraryName);

// The two functions of printer-inject.dll, bound by library name: they throw
// std::runtime_error when the library was never loaded.
void PrinterInjectByHwnd(std::int32_t hwnd);
void PrinterInjectByProcHandle(std::int32_t processHandle);

}  // namespace vemo::engine
