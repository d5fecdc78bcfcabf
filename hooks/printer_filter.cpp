// printer-filter: loaded into the component's own process before a print; no
// function of it is called for printing. It records in the debug log that it
// was loaded into this process once it learns where the log is.
#include <unistd.h>

#include <string>

#include "hook_log.h"

VEMO_HOOK_EXPORT void PrinterHookSetDebugLog(const char* path) {
  vemo::hooks::SetLogPath(path);
  vemo::hooks::AppendLogLine("printer-filter: loaded into process " + std::to_string(::getpid()));
}
