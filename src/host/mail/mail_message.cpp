#include "host/mail/mail_message.h"

#include <fstream>
#include <iterator>
#include <random>

#include "foundation/host_error.h"

namespace vemo::host {
namespace {

std::string Base64(std::string_view bytes) {
  static constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  out.reserve((bytes.size() + 2) / 3 * 4);
  for (std::size_t i = 0; i < bytes.size(); i += 3) {
    std::uint32_t n = static_cast<std::uint8_t>(bytes[i]) << 16;
    if (i + 1 < bytes.size()) n |= static_cast<std::uint8_t>(bytes[i + 1]) << 8;
    if (i + 2 < bytes.size()) n |= static_cast<std::uint8_t>(bytes[i + 2]);
    out += kAlphabet[(n >> 18) & 63];
    out += kAlphabet[(n >> 12) & 63];
    out += i + 1 < bytes.size() ? kAlphabet[(n >> 6) & 63] : '=';
    out += i + 2 < bytes.size() ? kAlphabet[n & 63] : '=';
  }
  return out;
}

bool IsAscii(std::string_view text) {
  for (unsigned char c : text)
    if (c >= 0x80 || c < 0x20) return false;
  return true;
}

// An RFC 2047 encoded word when the text is not plain ASCII.
std::string HeaderText(std::string_view text) {
  return IsAscii(text) ? std::string(text) : "=?UTF-8?B?" + Base64(text) + "?=";
}

std::string Address(const std::string& name, const std::string& address) {
  return name.empty() ? "<" + address + ">" : HeaderText(name) + " <" + address + ">";
}

// Base64 text in lines of 76 characters.
std::string Wrapped(const std::string& text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); i += 76) out += text.substr(i, 76) + "\r\n";
  return out;
}

}  // namespace

std::string ComposeMime(const MailMessage& message) {
  std::ifstream in(message.attachment, std::ios::binary);
  if (!in) throw HostError("cannot read the workbook to attach, " + message.attachment + "; fill it again");
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const std::string boundary = "vemo-" + std::to_string(std::random_device{}()) + "-" + std::to_string(bytes.size());
  const std::string name = HeaderText(message.attachmentName);

  std::string mime;
  if (!message.from.empty()) mime += "From: " + Address(message.fromName, message.from) + "\r\n";
  if (!message.to.empty()) mime += "To: <" + message.to + ">\r\n";
  mime += "Subject: " + HeaderText(message.subject) + "\r\n";
  mime += "MIME-Version: 1.0\r\n";
  mime += "Content-Type: multipart/mixed; boundary=\"" + boundary + "\"\r\n\r\n";
  mime += "--" + boundary + "\r\n";
  mime += "Content-Type: text/plain; charset=UTF-8\r\nContent-Transfer-Encoding: base64\r\n\r\n";
  mime += Wrapped(Base64(message.subject + "\r\n"));
  mime += "--" + boundary + "\r\n";
  mime += "Content-Type: application/octet-stream; name=\"" + name + "\"\r\n";
  mime += "Content-Transfer-Encoding: base64\r\n";
  mime += "Content-Disposition: attachment; filename=\"" + name + "\"\r\n\r\n";
  mime += Wrapped(Base64(bytes));
  mime += "--" + boundary + "--\r\n";
  return mime;
}

}  // namespace vemo::host
