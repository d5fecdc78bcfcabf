#include "context/pending_file.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <filesystem>

#include "context/file_utils.h"
#include "context/path_mapping.h"
#include "foundation/host_error.h"

namespace fs = std::filesystem;

namespace vemo::context {
namespace {

// ".~<name>.<pid>-<n>.<extension>": the extension stays last because the
// engine picks the saved format from it; the process id tells a file of a
// running export from one a crashed run left.
std::string HiddenPrefix(const std::string& fileName) { return ".~" + fileName + "."; }

std::size_t NameStart(const std::string& path) {
  const std::size_t sep = path.find_last_of("\\/");
  return sep == std::string::npos ? 0 : sep + 1;
}

bool ProcessGone(const std::string& pidText) {
  char* end = nullptr;
  const long pid = std::strtol(pidText.c_str(), &end, 10);
  if (end == pidText.c_str() || pid <= 0) return false;
  return ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH;
}

[[noreturn]] void Fail(const std::string& what, int error) {
  const bool full = error == ENOSPC || error == EDQUOT;
  throw HostError(what + ": " + std::strerror(error) +
                  (full ? "; free some space or choose another folder, then try again"
                        : "; check that the folder exists and is writable, then try again"));
}

}  // namespace

void RemoveLeftoversOfEndedProcesses(const fs::path& folder, const std::string& prefix) {
  std::error_code ec;
  for (fs::directory_iterator it(folder.empty() ? fs::path(".") : folder, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    if (name.rfind(prefix, 0) != 0) continue;
    const std::string rest = name.substr(prefix.size());
    std::error_code removeError;  // another user's file stays: that is theirs to clear
    if (ProcessGone(rest.substr(0, rest.find('-')))) fs::remove(it->path(), removeError);
  }
}

PendingFile::PendingFile(std::string target) : target_(std::move(target)) {
  static std::atomic<unsigned> counter{0};
  const std::size_t nameStart = NameStart(target_);
  const std::string name = target_.substr(nameStart);
  const std::string extension = GetExtensionName(name);
  const std::string stem = extension.empty() ? name : name.substr(0, name.size() - extension.size() - 1);
  const std::string prefix = HiddenPrefix(stem);
  RemoveLeftoversOfEndedProcesses(fs::path(ToHostPath(target_)).parent_path(), prefix);
  // The folder part is kept as written, in the target's own path form.
  path_ = target_.substr(0, nameStart) + prefix + std::to_string(::getpid()) + "-" + std::to_string(++counter) +
          (extension.empty() ? "" : "." + extension);
}

PendingFile::~PendingFile() {
  if (committed_) return;
  std::error_code ec;
  fs::remove(ToHostPath(path_), ec);
}

void PendingFile::Commit() {
  const std::string from = ToHostPath(path_);
  const int fd = ::open(from.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) Fail("the written file " + path_ + " is gone", errno);
  const int synced = ::fsync(fd);
  const int syncError = errno;
  ::close(fd);
  if (synced != 0) Fail("cannot write " + target_, syncError);
  if (::rename(from.c_str(), ToHostPath(target_).c_str()) != 0) Fail("cannot put the written file in place of " + target_, errno);
  committed_ = true;
}

void CopyFileWhole(const std::string& source, const std::string& target) {
  PendingFile out(target);
  std::error_code ec;
  fs::copy_file(ToHostPath(source), ToHostPath(out.Path()), fs::copy_options::overwrite_existing, ec);
  if (ec) Fail("cannot copy " + source + " to " + target, ec.value());
  out.Commit();
}

}  // namespace vemo::context
