#include "context/session_store.h"

#include <unistd.h>

#include <fstream>
#include <map>
#include <mutex>

#include "context/session_components.h"
#include "foundation/json_convert.h"

namespace vemo::context {
namespace {

std::mutex g_mutex;
std::map<int, SessionData>& Sessions() {
  static std::map<int, SessionData> sessions;
  return sessions;
}

DictionaryRef DictionaryMember(const Json& json, const char* name, bool required) {
  auto it = json.find(name);
  if (it == json.end() || it->is_null()) {
    if (required) return HostDictionary::Create();
    return nullptr;
  }
  if (!it->is_object())
    throw HostError(std::string("session: \"") + name + "\" must be a JSON object of names and values");
  return FromJson(*it).AsObject<HostDictionary>();
}

}  // namespace

int CurrentProcessId() { return static_cast<int>(::getpid()); }

void PublishSession(SessionData session, int pid) {
  if (!session.login) session.login = HostDictionary::Create();
  {
    std::lock_guard lock(g_mutex);
    Sessions()[pid] = std::move(session);
  }
  // A host that registered its own login services keeps them.
  RegisterSessionComponents(/*replace=*/false);
}

void UnpublishSession(int pid) {
  std::lock_guard lock(g_mutex);
  Sessions().erase(pid);
}

std::optional<SessionData> PublishedSession(int pid) {
  std::lock_guard lock(g_mutex);
  auto it = Sessions().find(pid);
  if (it == Sessions().end()) return std::nullopt;
  return it->second;
}

SessionData SessionFromJson(const Json& json) {
  if (!json.is_object())
    throw HostError("session: the file must hold one JSON object with \"login\" and \"settings\"");
  SessionData session;
  if (auto it = json.find("IsOuterLogin"); it != json.end()) {
    // true/false in a hand-written file mean 1/0 (the host's True would be -1).
    session.isOuterLogin = it->is_boolean() ? Variant(it->get<bool>() ? 1 : 0) : FromJson(*it);
  }
  session.login = DictionaryMember(json, "login", true);
  session.settings = DictionaryMember(json, "settings", false);
  return session;
}

SessionData LoadSessionFile(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) throw HostError("cannot read the session file " + file.string() + ": it does not exist or is not readable");
  Json json = Json::parse(in, nullptr, /*allow_exceptions=*/false);
  if (json.is_discarded())
    throw HostError("the session file " + file.string() + " is not valid JSON");
  try {
    return SessionFromJson(json);
  } catch (const HostError& e) {
    throw HostError(file.string() + ": " + e.Description());
  }
}

ScopedSession::ScopedSession(SessionData session) : previous_(PublishedSession()) {
  PublishSession(std::move(session));
}

ScopedSession::~ScopedSession() {
  if (previous_) {
    PublishSession(*previous_);
  } else {
    UnpublishSession();
  }
}

}  // namespace vemo::context
