// The user's mail program, through xdg-email (xdg-utils): a new message with
// the subject, the recipient and the workbook attached, for the user to
// check and send.
#pragma once
#include <string>

#include "host/mail/mail_message.h"

namespace vemo::host {

// The full path of xdg-email found in PATH; "" when there is none.
std::string FindMailProgram();

// Opens the new message. Throws HostError with what to do when xdg-email
// cannot be started or answers an error.
void OpenInMailProgram(const std::string& program, const MailMessage& message);

}  // namespace vemo::host
