// The fixed working workbook of print, preview, mail and the template
// checks. Its name is the same for every action of the user, so an action
// claims it (a WorkingFileLock, waiting briefly for another action to
// finish) before it deletes and rewrites it, and holds it until its output
// call has returned.
#pragma once
#include <chrono>
#include <memory>
#include <string>

#include "context/working_file_lock.h"
#include "foundation/installed.h"

namespace vemo::actions::detail {

class WorkingFile {
 public:
  // Names the file: NewTempWorkbookName with ".xlsx" or ".xls".
  explicit WorkingFile(bool xlsx);
  ~WorkingFile();
  WorkingFile(const WorkingFile&) = delete;
  WorkingFile& operator=(const WorkingFile&) = delete;

  const std::string& Path() const { return path_; }
  // Locks the file and deletes what a previous action left there. When it
  // cannot (no temporary folder, another action holds it) the user is told
  // why through ShowMsgBox and the answer is false.
  bool Claim();

 private:
  std::string path_;
  std::unique_ptr<context::WorkingFileLock> lock_;
};

// How long Claim waits for another action (3 seconds).
std::chrono::milliseconds WorkingFileWait();

// Tests: another wait for the object's lifetime.
Installed<std::chrono::milliseconds>& InstalledWorkingFileWait();
using ScopedWorkingFileWait = ScopedInstall<std::chrono::milliseconds, &InstalledWorkingFileWait>;

}  // namespace vemo::actions::detail
