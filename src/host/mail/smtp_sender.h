// Sending a mail through the SMTP server the machine configuration names:
//
//   machine.json  {"mail": {"smtpServer": "smtp://mail.example.com:587",
//                           "user": "...", "password": "..."}}
//
// "smtps://" asks for TLS from the start; "smtp://" upgrades to TLS when the
// server offers it. libcurl (libcurl4) is loaded by the first mail, not
// linked: every other run of the program would pay for loading it.
#pragma once
#include <optional>
#include <string>

#include "host/mail/mail_message.h"

namespace vemo::host {

struct SmtpServer {
  std::string url;
  std::string user;
  std::string password;
};

// The configured server; nullopt when machine.json names none.
std::optional<SmtpServer> ConfiguredSmtpServer();

// Sends the message to message.to. Throws HostError saying what failed (no
// recipient, libcurl missing, the server's answer) and what to do.
void SendBySmtp(const SmtpServer& server, const MailMessage& message);

}  // namespace vemo::host
