// Keeps two processes off the fixed working file at the same time.
//
// Every action of a user shares one working file name (NewTempWorkbookName),
// so two prints or exports running at once would overwrite each other's
// workbook. The lock is an advisory flock() on "<working file>.lock" beside
// it, held for the object's lifetime and released by the kernel even when
// the process dies. The lock file itself stays (removing it would let a
// third process lock a different file of the same name).
//
//   WorkingFileLock lock(workingFile);
//   if (!lock.Locked()) { ShowMsgBox(lock.Message(), vbExclamation); return false; }
#pragma once
#include <chrono>
#include <string>
#include <string_view>

namespace vemo::context {

inline constexpr std::string_view kWorkingFileBusyMessage = "另一个打印或导出操作正在进行，请稍后再试。";

class WorkingFileLock {
 public:
  // Waits up to `wait` for another holder to finish. `workingFile` may be in
  // Windows form (path mapping).
  explicit WorkingFileLock(std::string_view workingFile,
                           std::chrono::milliseconds wait = std::chrono::milliseconds(3000));
  ~WorkingFileLock();
  WorkingFileLock(const WorkingFileLock&) = delete;
  WorkingFileLock& operator=(const WorkingFileLock&) = delete;

  bool Locked() const { return fd_ >= 0; }
  // Why the lock was not taken: kWorkingFileBusyMessage when another
  // operation holds it; otherwise a text naming the lock file and the reason.
  const std::string& Message() const { return message_; }
  const std::string& LockFilePath() const { return lockPath_; }

 private:
  int fd_ = -1;
  std::string lockPath_;
  std::string message_;
};

}  // namespace vemo::context
