#include "engine/output/document_opener.h"

#include <cstdlib>

#include "context/settings.h"
#include "host/output/child_process.h"
#include "host/output/output_error.h"

namespace vemo::engine {

std::string DocumentOpenerProgram() {
  const char* opener = std::getenv("VEMO_OPENER");
  return opener && *opener ? opener : "xdg-open";
}

pid_t LaunchDocumentOpener(const std::string& file) {
  try {
    pid_t pid = host::StartChild({DocumentOpenerProgram(), file}, context::ComponentFolder());
    host::ReapInBackground(pid);
    return pid;
  } catch (const host::OutputError&) {
    return 0;
  }
}

bool OpenDocumentWithoutHandle(const std::string& file, std::chrono::milliseconds handOver) {
  pid_t pid = 0;
  try {
    pid = host::StartChild({DocumentOpenerProgram(), file}, context::ComponentFolder());
  } catch (const host::OutputError&) {
    return false;
  }
  int code = host::WaitChild(pid, handOver);
  if (code == -2) {  // still showing the document: it was handed over
    host::ReapInBackground(pid);
    return true;
  }
  return code == 0;
}

}  // namespace vemo::engine
