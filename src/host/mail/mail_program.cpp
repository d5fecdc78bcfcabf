#include "host/mail/mail_program.h"

#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <string_view>

#include "foundation/host_error.h"
#include "host/output/child_process.h"

namespace vemo::host {

std::string FindMailProgram() {
  const char* path = std::getenv("PATH");
  std::string_view folders = path ? path : "";
  while (!folders.empty()) {
    const std::size_t end = folders.find(':');
    const std::string folder(folders.substr(0, end));
    const std::string candidate = (folder.empty() ? "." : folder) + "/xdg-email";
    if (access(candidate.c_str(), X_OK) == 0) return candidate;
    if (end == std::string_view::npos) break;
    folders.remove_prefix(end + 1);
  }
  return "";
}

void OpenInMailProgram(const std::string& program, const MailMessage& message) {
  std::vector<std::string> argv = {program, "--utf8", "--subject", message.subject, "--attach", message.attachment};
  if (!message.to.empty()) argv.push_back(message.to);
  pid_t child = 0;
  try {
    child = StartChild(argv);
  } catch (const std::exception& error) {
    throw HostError(std::string("cannot start the mail program: ") + error.what() + "; install xdg-utils");
  }
  // xdg-email hands the message to the mail program and ends; one that
  // keeps running (the mail program itself) is left to the user.
  const int code = WaitChild(child, std::chrono::seconds(20));
  if (code == -2) {
    ReapInBackground(child);
    return;
  }
  if (code != 0)
    throw HostError("the mail program did not open a message (xdg-email answered " + std::to_string(code) +
                    "); set a default mail program in the desktop's settings");
}

}  // namespace vemo::host
