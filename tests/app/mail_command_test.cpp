// End to end: vemoprint bill mail of the sample VAT invoice for a customer
// with an e-mail address, through a real SMTP server on the loopback
// address (aiosmtpd, started and stopped by the test) when the machine
// configuration names one, else through the mail program (a scripted
// xdg-email that records its arguments).
#include <gtest/gtest.h>

#include <signal.h>
#include <unistd.h>

#include <fstream>

#include <nlohmann/json.hpp>

#include "app_fixture.h"

namespace vemo::app::test {
namespace {

namespace fs = std::filesystem;

class MailCommand : public VemoprintTest {
 protected:
  void SetUp() override {
    VemoprintTest::SetUp();
    if (IsSkipped()) return;
    fs::create_directories(dir_ / "bin");
    Init("");
    // The sample invoice, for customer 1001 of the sample account.
    nlohmann::ordered_json request =
        nlohmann::ordered_json::parse(std::ifstream(vemo::test::SourceDir() / "examples/requests/sales_invoice_vat.json"));
    request["Data"]["Page1"]["_0003_FCustID"]["FFLD"] = 1001;
    std::ofstream(dir_ / "invoice.json") << request.dump();
  }
  void TearDown() override {
    if (server_ > 0) kill(server_, SIGTERM);
  }
  // Starts aiosmtpd on a free loopback port, keeping mail in a maildir;
  // answers the port.
  int StartSmtpServer() {
    const int port = 20000 + getpid() % 20000;
    auto started = vemo::test::RunCommand("/usr/bin/python3 -m aiosmtpd -n -l 127.0.0.1:" + std::to_string(port) +
                                          " -c aiosmtpd.handlers.Mailbox " + ShellQuote(dir_ / "maildir") + " >" +
                                          ShellQuote(dir_ / "smtp.log") + " 2>&1 </dev/null & echo $!");
    server_ = std::stoi(started.output);
    vemo::test::RunCommand("/usr/bin/python3 -c 'import socket, time\nfor i in range(100):\n  try: socket.create_connection("
                           "(\"127.0.0.1\", " + std::to_string(port) + ")).close(); break\n  except OSError: time.sleep(0.1)'");
    return port;
  }
  vemo::test::CommandResult Mail(const std::string& environment = "") {
    return Run("bill mail " + ShellQuote(dir_ / "invoice.json"), environment);
  }
  pid_t server_ = 0;
};

constexpr const char* kSubject = "销售发票 XSFP-202612-0005";

// Either route hands the partner's address, the subject and the filled
// workbook over: "to, subject, attachment name" a line each.
TEST_F(MailCommand, BothRoutesReachThePartner) {
  const std::string handedOver = std::string("order@mingqian-tea.example.com\n") + kSubject + "\n" + kSubject + ".xlsx\n";
  // The server named in the machine configuration; the sender is the company's.
  const int port = StartSmtpServer();
  std::ofstream(dir_ / "machine" / "machine.json") << R"({"mail": {"smtpServer": "smtp://127.0.0.1:)" << port << R"("}})";
  auto mail = Mail();
  ASSERT_EQ(mail.status, 0) << mail.output;
  auto received = vemo::test::RunCommand(
      "/usr/bin/python3 -c 'import mailbox, email.policy, sys\n"
      "for key, m in mailbox.Maildir(sys.argv[1], factory=None, create=False).items():\n"
      "  m = email.message_from_bytes(m.as_bytes(), policy=email.policy.default)\n"
      "  print(m[\"From\"]); print(m[\"To\"]); print(m[\"Subject\"])\n"
      "  for a in m.iter_attachments(): print(a.get_filename()); print(a.get_content()[:2])' " +
      ShellQuote(dir_ / "maildir"));
  EXPECT_EQ(received.output, "维默示范茶业贸易有限公司 <service@vemo-sample.example.com>\n" + handedOver + "b'PK'\n");

  // Without a server: the mail program (a scripted xdg-email recording its arguments).
  std::filesystem::remove(dir_ / "machine" / "machine.json");
  std::ofstream(dir_ / "bin" / "xdg-email") << "#!/bin/sh\nprintf '%s\\n' \"$@\" > " << ShellQuote(dir_ / "args") << "\n";
  fs::permissions(dir_ / "bin" / "xdg-email", fs::perms::owner_all);
  mail = Mail("PATH=" + ShellQuote(dir_ / "bin") + ":\"$PATH\"");
  ASSERT_EQ(mail.status, 0) << mail.output;
  std::ifstream in(dir_ / "args");
  std::vector<std::string> args;
  for (std::string line; std::getline(in, line);) args.push_back(line);
  ASSERT_EQ(args.size(), 6u);
  EXPECT_EQ(args[5] + "\n" + args[2] + "\n" + fs::path(args[4]).filename().string() + "\n", handedOver);
  EXPECT_TRUE(fs::exists(args[4])) << "the attachment stays for the mail program to read";
}

}  // namespace
}  // namespace vemo::app::test
