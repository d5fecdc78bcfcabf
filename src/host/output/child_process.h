// Child processes of the output layer (the page renderer, the document
// opener). Each child starts as the leader of its own process group, so the
// whole tree it forks can be ended by the group id, leaving nothing behind.
#pragma once
#include <sys/types.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

namespace vemo::host {

struct ChildResult {
  bool timedOut = false;
  int exitCode = -1;  // the exit status; -1 when killed by a signal or timed out
  std::string output;  // stdout and stderr together, cut to the last 16 KiB
};

// Starts `argv` (argv[0] looked up in PATH) in a new process group, waits at
// most `timeout`, and then kills the whole group (SIGKILL) whether the child
// finished or not, so no grandchild survives the call. Throws OutputError
// when the program cannot be started. `waiting`, when given, is called with
// the time passed about every 20 ms while the child runs; when it throws,
// the group is killed and the exception goes on to the caller.
ChildResult RunChild(const std::vector<std::string>& argv, std::chrono::milliseconds timeout,
                     const std::string& workingFolder = "",
                     const std::function<void(std::chrono::milliseconds)>& waiting = nullptr);

// Starts `argv` in a new process group without waiting and returns its pid;
// throws OutputError when it cannot be started. The caller owns the child:
// wait for it with WaitChild or hand it to ReapInBackground.
pid_t StartChild(const std::vector<std::string>& argv, const std::string& workingFolder = "");

// Waits at most `timeout` for `pid`; answers its exit code, -1 after a signal,
// or nullopt-like -2 when it is still running.
int WaitChild(pid_t pid, std::chrono::milliseconds timeout);

// Collects the child's exit status when it ends (a detached waiter), so a
// process left to the user does not stay a zombie.
void ReapInBackground(pid_t pid);

}  // namespace vemo::host
