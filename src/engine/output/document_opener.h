// Opening a workbook for the user in the application associated with its
// type: the opener program ($VEMO_OPENER, default "xdg-open") started as a
// child process with the file as its one argument, in the component's own
// folder. Its pid plays the process handle of the launch.
#pragma once
#include <sys/types.h>

#include <chrono>
#include <string>

namespace vemo::engine {

std::string DocumentOpenerProgram();

// Starts the opener; answers its pid, or 0 when it could not be started.
// The child is reaped in the background when it ends.
pid_t LaunchDocumentOpener(const std::string& file);

// The shell-execute rule: true when the opener handed the document over,
// i.e. it exited with status 0, or is still running after `handOver` (it
// shows the document itself). Not started, or a failure status: false.
bool OpenDocumentWithoutHandle(const std::string& file,
                               std::chrono::milliseconds handOver = std::chrono::seconds(10));

}  // namespace vemo::engine
