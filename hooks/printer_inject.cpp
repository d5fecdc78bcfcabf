// printer-inject: the printer hook the bill engine hands the spreadsheet
// application's window (preview) or the process of the application opened
// for the user. On this platform printing goes through the component's own
// renderer and CUPS, so there is nothing to patch inside another process:
// the hook records which window or process it was given in the debug log.
#include <unistd.h>

#include <cstdint>
#include <string>

#include "hook_log.h"

VEMO_HOOK_EXPORT void PrinterHookSetDebugLog(const char* path) { vemo::hooks::SetLogPath(path); }

VEMO_HOOK_EXPORT std::int32_t PrinterInjectByHwnd(std::int32_t hwnd) {
  vemo::hooks::AppendLogLine("printer-inject: hooked spreadsheet window " + std::to_string(hwnd) + " of process " +
                             std::to_string(::getpid()));
  return 1;
}

VEMO_HOOK_EXPORT std::int32_t PrinterInjectByProcHandle(std::int32_t processHandle) {
  vemo::hooks::AppendLogLine("printer-inject: hooked process " + std::to_string(processHandle) +
                             " (opened for the user by process " + std::to_string(::getpid()) + ")");
  return 1;
}
