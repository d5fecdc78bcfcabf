#include "actions/working_file.h"

#include <atomic>

#include "actions/action_messages.h"
#include "context/file_utils.h"
#include "context/message_box.h"
#include "context/temp_files.h"

namespace vemo::actions::detail {
namespace {

std::atomic<std::chrono::milliseconds::rep> g_waitMs{3000};

}  // namespace

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

std::chrono::milliseconds WorkingFileWait() { return std::chrono::milliseconds(g_waitMs.load()); }

ScopedWorkingFileWait::ScopedWorkingFileWait(std::chrono::milliseconds wait) : previous_(WorkingFileWait()) {
  g_waitMs = wait.count();
}
ScopedWorkingFileWait::~ScopedWorkingFileWait() { g_waitMs = previous_.count(); }

}  // namespace vemo::actions::detail
