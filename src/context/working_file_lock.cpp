#include "context/working_file_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <thread>

#include "context/path_mapping.h"

namespace vemo::context {

WorkingFileLock::WorkingFileLock(std::string_view workingFile, std::chrono::milliseconds wait)
    : lockPath_(ToHostPath(workingFile).string() + ".lock") {
  const int fd = ::open(lockPath_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (fd < 0) {
    message_ = "无法创建工作文件锁 " + lockPath_ + "：" + std::strerror(errno) + "。请检查临时文件夹是否可写。";
    return;
  }
  const auto deadline = std::chrono::steady_clock::now() + wait;
  while (true) {
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
      fd_ = fd;
      return;
    }
    if (errno != EWOULDBLOCK && errno != EINTR) {
      message_ = "无法锁定工作文件 " + lockPath_ + "：" + std::strerror(errno) + "。";
      break;
    }
    if (std::chrono::steady_clock::now() >= deadline) {
      message_ = kWorkingFileBusyMessage;
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  ::close(fd);
}

WorkingFileLock::~WorkingFileLock() {
  if (fd_ >= 0) ::close(fd_);  // closing the descriptor releases the flock
}

}  // namespace vemo::context
