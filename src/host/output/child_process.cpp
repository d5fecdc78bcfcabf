#include "host/output/child_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "host/output/output_error.h"

extern char** environ;

namespace vemo::host {
namespace {

constexpr std::size_t kOutputKept = 16 * 1024;

struct SpawnSetup {
  posix_spawnattr_t attr;
  posix_spawn_file_actions_t actions;
  SpawnSetup() {
    posix_spawnattr_init(&attr);
    posix_spawn_file_actions_init(&actions);
    posix_spawnattr_setpgroup(&attr, 0);  // the child leads a new group
    // Default signal handling in the child, whatever the caller blocked.
    sigset_t none;
    sigemptyset(&none);
    posix_spawnattr_setsigmask(&attr, &none);
    posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGMASK);
  }
  ~SpawnSetup() {
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attr);
  }
};

pid_t Spawn(const std::vector<std::string>& argv, const std::string& workingFolder, SpawnSetup& setup) {
  if (argv.empty()) throw OutputError("no program was given to start");
  std::vector<char*> args;
  for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  if (!workingFolder.empty()) posix_spawn_file_actions_addchdir_np(&setup.actions, workingFolder.c_str());
  pid_t pid = 0;
  int rc = posix_spawnp(&pid, args[0], &setup.actions, &setup.attr, args.data(), environ);
  if (rc != 0)
    throw OutputError("cannot start " + argv[0] + ": " + std::strerror(rc) +
                      " (is it installed and on PATH? scripts/setup.sh installs what the output needs)");
  return pid;
}

void KillGroup(pid_t pgid) {
  if (pgid > 0) ::kill(-pgid, SIGKILL);
}

// True while a member of group `pgid` other than a zombie exists. A killed
// process takes a moment to exit on a busy machine; zombies are left to
// whoever adopted them.
bool GroupHasLiveMember(pid_t pgid) {
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator("/proc", ec)) {
    const std::string name = entry.path().filename().string();
    if (name.empty() || name.find_first_not_of("0123456789") != std::string::npos) continue;
    std::ifstream stat(entry.path() / "stat");
    std::string line;
    if (!std::getline(stat, line)) continue;
    // pid (comm) state ppid pgrp ...; comm may hold spaces and parentheses.
    const std::size_t close = line.rfind(')');
    if (close == std::string::npos) continue;
    std::istringstream rest(line.substr(close + 1));
    char state = 0;
    long ppid = 0, pgrp = 0;
    rest >> state >> ppid >> pgrp;
    if (pgrp == pgid && state != 'Z' && state != 'X') return true;
  }
  return false;
}

void WaitUntilGroupGone(pid_t pgid) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (GroupHasLiveMember(pgid) && std::chrono::steady_clock::now() < deadline) {
    ::kill(-pgid, SIGKILL);
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}

// True when `pid` has ended; the status is left for waitpid (WNOWAIT), so the
// group id cannot be reused before the group is killed.
bool HasEnded(pid_t pid) {
  siginfo_t info{};
  if (waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOHANG | WNOWAIT) != 0) return errno == ECHILD;
  return info.si_pid == pid;
}

int Reap(pid_t pid) {
  int status = 0;
  while (waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) return -1;
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

void Drain(int fd, std::string& out) {
  char buffer[4096];
  for (;;) {
    ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n <= 0) break;
    out.append(buffer, static_cast<std::size_t>(n));
    if (out.size() > 2 * kOutputKept) out.erase(0, out.size() - kOutputKept);
  }
}

}  // namespace

ChildResult RunChild(const std::vector<std::string>& argv, std::chrono::milliseconds timeout,
                     const std::string& workingFolder, const std::function<void(std::chrono::milliseconds)>& waiting) {
  int fds[2];
  if (pipe2(fds, O_CLOEXEC) != 0) throw OutputError(std::string("cannot create a pipe: ") + std::strerror(errno));
  SpawnSetup setup;
  posix_spawn_file_actions_adddup2(&setup.actions, fds[1], STDOUT_FILENO);
  posix_spawn_file_actions_adddup2(&setup.actions, fds[1], STDERR_FILENO);
  posix_spawn_file_actions_addopen(&setup.actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  pid_t pid;
  try {
    pid = Spawn(argv, workingFolder, setup);
  } catch (...) {
    ::close(fds[0]);
    ::close(fds[1]);
    throw;
  }
  ::close(fds[1]);
  fcntl(fds[0], F_SETFL, O_NONBLOCK);

  ChildResult result;
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    Drain(fds[0], result.output);
    if (HasEnded(pid)) break;
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) {
      result.timedOut = true;
      break;
    }
    if (waiting) {
      try {
        waiting(timeout - left);
      } catch (...) {
        // The caller gave up (the user pressed Cancel): the child goes too.
        KillGroup(pid);
        Reap(pid);
        WaitUntilGroupGone(pid);
        ::close(fds[0]);
        throw;
      }
    }
    pollfd p{fds[0], POLLIN, 0};
    ::poll(&p, 1, static_cast<int>(std::min<long long>(left.count(), 20)));
  }
  // Whatever the outcome, nothing of the child's group outlives the call.
  KillGroup(pid);
  int code = Reap(pid);
  WaitUntilGroupGone(pid);
  Drain(fds[0], result.output);
  ::close(fds[0]);
  if (result.output.size() > kOutputKept) result.output.erase(0, result.output.size() - kOutputKept);
  result.exitCode = result.timedOut ? -1 : code;
  return result;
}

pid_t StartChild(const std::vector<std::string>& argv, const std::string& workingFolder) {
  SpawnSetup setup;
  posix_spawn_file_actions_addopen(&setup.actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  return Spawn(argv, workingFolder, setup);
}

int WaitChild(pid_t pid, std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (!HasEnded(pid)) {
    if (std::chrono::steady_clock::now() >= deadline) return -2;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return Reap(pid);
}

void ReapInBackground(pid_t pid) {
  std::thread([pid] { Reap(pid); }).detach();
}

}  // namespace vemo::host
