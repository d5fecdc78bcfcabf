#include "actions/working_file.h"

#include "actions/action_messages.h"
#include "context/file_utils.h"
#include "context/message_box.h"
#include "context/temp_files.h"

namespace vemo::actions::detail {
WorkingFile::WorkingFile(bool xlsx) : path_(context::NewTempWorkbookName(xlsx ? ".xlsx" : ".xls")) {}
WorkingFile::~WorkingFile() = default;

bool WorkingFile::Claim() {
  if (path_.empty()) {
    context::ShowMsgBox(std::string(text::kNoTemporaryFolder), context::vbExclamation);
    return false;
  }
  lock_ = std::make_unique<context::WorkingFileLock>(path_, WorkingFileWait());
  if (!lock_->Locked()) {
    context::ShowMsgBox(lock_->Message(), context::vbExclamation);
    lock_.reset();
    return false;
  }
  context::DeleteFileIfExists(path_);
  return true;
}

Installed<std::chrono::milliseconds>& InstalledWorkingFileWait() {
  static Installed<std::chrono::milliseconds> wait{std::chrono::seconds(3)};
  return wait;
}

std::chrono::milliseconds WorkingFileWait() { return InstalledWorkingFileWait().Get(); }

}  // namespace vemo::actions::detail
