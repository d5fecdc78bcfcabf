#include "host/mail/smtp_sender.h"

#define CURL_DISABLE_TYPECHECK
#include <curl/curl.h>
#include <dlfcn.h>

#include <cstring>
#include <nlohmann/json.hpp>

#include "context/machine_config.h"
#include "foundation/host_error.h"

namespace vemo::host {
namespace {

constexpr const char* kLibraryName = "libcurl.so.4";

struct CurlLibrary {
  decltype(&curl_easy_init) init;
  decltype(&curl_easy_setopt) setopt;
  decltype(&curl_easy_perform) perform;
  decltype(&curl_easy_cleanup) cleanup;
  decltype(&curl_easy_strerror) strerror;
  decltype(&curl_slist_append) slistAppend;
  decltype(&curl_slist_free_all) slistFree;
};

template <class Function>
void Bind(void* module, const char* name, Function& out) {
  out = reinterpret_cast<Function>(dlsym(module, name));
  if (!out) throw HostError(std::string("the mail library ") + kLibraryName + " has no " + name + "; install libcurl4");
}

const CurlLibrary& Curl() {
  static const CurlLibrary curl = [] {
    void* module = dlopen(kLibraryName, RTLD_NOW | RTLD_LOCAL);  // kept for the rest of the process
    if (!module)
      throw HostError(std::string("cannot send mail: ") + kLibraryName + " does not load (" + dlerror() +
                      "); install the libcurl4 package");
    CurlLibrary c{};
    Bind(module, "curl_easy_init", c.init);
    Bind(module, "curl_easy_setopt", c.setopt);
    Bind(module, "curl_easy_perform", c.perform);
    Bind(module, "curl_easy_cleanup", c.cleanup);
    Bind(module, "curl_easy_strerror", c.strerror);
    Bind(module, "curl_slist_append", c.slistAppend);
    Bind(module, "curl_slist_free_all", c.slistFree);
    return c;
  }();
  return curl;
}

struct Upload {
  const std::string* text;
  std::size_t sent = 0;
};

std::size_t ReadMessage(char* buffer, std::size_t size, std::size_t count, void* user) {
  auto* upload = static_cast<Upload*>(user);
  const std::size_t room = size * count;
  const std::size_t left = upload->text->size() - upload->sent;
  const std::size_t n = left < room ? left : room;
  std::memcpy(buffer, upload->text->data() + upload->sent, n);
  upload->sent += n;
  return n;
}

std::string Text(const Json& object, const char* key) {
  auto found = object.find(key);
  return found != object.end() && found->is_string() ? found->get<std::string>() : std::string();
}

}  // namespace

std::optional<SmtpServer> ConfiguredSmtpServer() {
  auto machine = context::ReadMachineConfigFile("machine.json");
  if (!machine) return std::nullopt;
  auto mail = machine->find("mail");
  if (mail == machine->end() || !mail->is_object()) return std::nullopt;
  SmtpServer server{Text(*mail, "smtpServer"), Text(*mail, "user"), Text(*mail, "password")};
  if (server.url.empty()) return std::nullopt;
  return server;
}

void SendBySmtp(const SmtpServer& server, const MailMessage& message) {
  if (message.to.empty())
    throw HostError("the bill's partner has no e-mail address in the company database; enter one for the partner "
                    "and mail again");
  const std::string text = ComposeMime(message);
  const CurlLibrary& curl = Curl();
  CURL* handle = curl.init();
  if (!handle) throw HostError("cannot send mail: libcurl could not start a transfer");
  curl_slist* recipients = curl.slistAppend(nullptr, ("<" + message.to + ">").c_str());
  Upload upload{&text};
  const std::string from = "<" + message.from + ">";
  char error[CURL_ERROR_SIZE] = {};
  curl.setopt(handle, CURLOPT_URL, server.url.c_str());
  if (!server.user.empty()) {
    curl.setopt(handle, CURLOPT_USERNAME, server.user.c_str());
    curl.setopt(handle, CURLOPT_PASSWORD, server.password.c_str());
  }
  curl.setopt(handle, CURLOPT_USE_SSL, static_cast<long>(CURLUSESSL_TRY));
  curl.setopt(handle, CURLOPT_MAIL_FROM, from.c_str());
  curl.setopt(handle, CURLOPT_MAIL_RCPT, recipients);
  curl.setopt(handle, CURLOPT_READFUNCTION, &ReadMessage);
  curl.setopt(handle, CURLOPT_READDATA, &upload);
  curl.setopt(handle, CURLOPT_UPLOAD, 1L);
  curl.setopt(handle, CURLOPT_ERRORBUFFER, error);
  curl.setopt(handle, CURLOPT_CONNECTTIMEOUT, 20L);
  curl.setopt(handle, CURLOPT_TIMEOUT, 120L);
  const CURLcode result = curl.perform(handle);
  curl.slistFree(recipients);
  curl.cleanup(handle);
  if (result != CURLE_OK)
    throw HostError("the mail server " + server.url + " did not take the mail (" +
                    (error[0] ? std::string(error) : std::string(curl.strerror(result))) +
                    "); check \"mail\" in machine.json of the machine configuration");
}

}  // namespace vemo::host
