// One mail with a workbook attached, as the mail action sends it: by an SMTP
// server (smtp_sender.h) or through the user's mail program
// (mail_program.h).
#pragma once
#include <string>

namespace vemo::host {

struct MailMessage {
  std::string from;            // sender address ("" leaves it to the server)
  std::string fromName;        // shown beside it, e.g. the company's name
  std::string to;              // recipient address ("" lets the user fill it in)
  std::string subject;         // UTF-8
  std::string attachment;      // path of the file on this host
  std::string attachmentName;  // file name the recipient sees, UTF-8
};

// The message as RFC 5322 text with CR LF line ends: headers (non-ASCII
// words encoded as RFC 2047 UTF-8 words), a short text part and the
// attachment in base64. Throws HostError naming the attachment when it
// cannot be read.
std::string ComposeMime(const MailMessage& message);

}  // namespace vemo::host
