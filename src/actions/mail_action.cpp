// Mail: the filled workbook goes to the bill's partner through the SMTP
// server the machine configuration names, or, without one, attached to a
// new message in the user's mail program (xdg-email). The partner's address
// comes from the company database, the sender from the company profile.
#include <filesystem>
#include <fstream>

#include "actions/action_core.h"
#include "context/desktop.h"
#include "context/file_utils.h"
#include "context/login.h"
#include "context/path_mapping.h"
#include "context/temp_files.h"
#include "foundation/creation_service.h"
#include "host/components/class_info.h"
#include "host/components/prog_ids.h"
#include "host/components/security_info.h"
#include "host/mail/mail_program.h"
#include "host/mail/smtp_sender.h"

namespace vemo::actions::detail {
namespace {

// A head field's stored value (FFLD) as text; "" when the bill has none.
std::string HeadValue(const ActionInputs& in, const char* key) {
  auto cell = HeadCell(in, key);
  return cell ? cell->Value("FFLD").ToText() : std::string();
}

// "销售发票 XSFP-202612-0005": the bill type's name and the bill's number.
std::string SubjectOf(const ActionInputs& in, const std::string& file) {
  std::string subject = in.classType ? in.classType->Value("FName").ToText() : std::string();
  const std::string number = HeadValue(in, "FBillNo");
  if (!number.empty()) subject += (subject.empty() ? "" : " ") + number;
  return subject.empty() ? std::filesystem::path(file).stem().string() : subject;
}

// The customer's or supplier's e-mail address; "" when the bill names no
// partner or the partner has none.
std::string PartnerEmail(const ActionInputs& in) {
  std::string partner = HeadValue(in, "FCustID");
  if (partner.empty()) partner = HeadValue(in, "FSupplyID");
  if (partner.empty() || partner.find_first_not_of("0123456789") != std::string::npos) return "";
  auto info = CreateObjectAs<host::IClassInfo>(host::progid::kClassInfo);
  auto rows = info->GetData(context::GetPropsString(), "select FEmail from t_Organization where FItemID = " + partner);
  rows->MoveFirst();
  return rows->Eof() ? std::string() : rows->Field(0).ToText();
}

std::string CompanyProfile(const char* key) {
  try {
    auto profile = CreateObjectAs<host::ISystemProfile>(host::progid::kSystemProfile);
    return profile->GetProfile(context::GetPropsString(), "General", key);
  } catch (const std::exception&) {
    return "";
  }
}

// "xlsx" for a zip package, else "xls": the working file keeps the bill
// template's extension even when it holds an .xlsx report template, and the
// partner's spreadsheet application warns about a name that lies.
std::string ExtensionByContent(const std::string& workingFile) {
  std::ifstream in(context::ToHostPath(workingFile), std::ios::binary);
  char head[2] = {};
  in.read(head, 2);
  return head[0] == 'P' && head[1] == 'K' ? "xlsx" : "xls";
}

// The workbook under the subject's name in a folder of its own: the mail
// program may read it after the fixed working file is written again.
std::string AttachmentCopy(const std::string& workingFile, const std::string& subject) {
  std::string name = subject;
  for (char& c : name)
    if (c == '/' || c == '\\' || c == ':') c = '_';
  const std::string folder = context::JoinPath(context::GetTempPath(), "mail\\" + context::NewGuidText());
  context::EnsureFolder(folder);
  const std::string copy = context::JoinPath(folder, name + "." + ExtensionByContent(workingFile));
  if (!context::CopyFileIfExists(workingFile, copy)) throw HostError("the filled workbook " + workingFile + " is gone; mail again");
  return copy;
}

}  // namespace

bool ActionCore::ToEmailAction(const std::string& tempFileName) {
  try {
    auto smtp = host::ConfiguredSmtpServer();
    const std::string program = smtp ? std::string() : host::FindMailProgram();
    if (!smtp && program.empty())  // Outlook's install keys only: nothing here can send
      throw HostError("no mail server is configured and no mail program was found; name an SMTP server in "
                      "machine.json (\"mail\": {\"smtpServer\": ...}) or install xdg-utils");
    host::MailMessage message;
    message.subject = SubjectOf(in_, tempFileName);
    message.attachment = context::ToHostPath(AttachmentCopy(tempFileName, message.subject)).string();
    message.attachmentName = std::filesystem::path(message.attachment).filename().string();
    message.to = PartnerEmail(in_);
    if (smtp) {
      message.from = CompanyProfile("Email");
      message.fromName = CompanyProfile("CompanyName");
      host::SendBySmtp(*smtp, message);
    } else {
      host::OpenInMailProgram(program, message);
    }
    return true;
  } catch (const std::exception& error) {
    context::ReportCause(std::string("the mail was not sent: ") + error.what());
    return false;
  }
}

}  // namespace vemo::actions::detail
