// The session the host publishes for its process: the login properties, the
// outer-login flag and the settings dictionary. Everything is kept by
// process id, because the host's login services answer by pid; the session
// components (session_components.h) read it back from here.
//
// A host that links the library calls PublishSession(); the command line
// reads a JSON session file (--session FILE):
//
//   {
//     "IsOuterLogin": 0,
//     "login":    {"UserName": "Tom", "PropsString": "UserName=Tom;ConnectString={...}", ...},
//     "settings": {"AppPath": "C:\\Quorvan\\Tradon", "AppType": 2, "IndustryType": 0}
//   }
//
// "IsOuterLogin" may also be true/false (1/0); absent means 0.
// "login" and "settings" are JSON objects converted by json_convert.h (an
// object value becomes a HostDictionary). Without "settings" no settings
// dictionary is published and every setting takes its default; an empty
// "settings" object publishes an empty dictionary (the same answers).
#pragma once
#include <filesystem>
#include <optional>

#include "foundation/host_collections.h"
#include "foundation/json_fwd.h"

namespace vemo::context {

struct SessionData {
  Variant isOuterLogin = 0;    // as published: 1 outer login, 0 ordinary
  DictionaryRef login;         // login properties by name; never null once published
  DictionaryRef settings;      // null: nothing published on the desktop window
};

int CurrentProcessId();

// Publishes (or replaces) the session of `pid`.
void PublishSession(SessionData session, int pid = CurrentProcessId());
void UnpublishSession(int pid = CurrentProcessId());
std::optional<SessionData> PublishedSession(int pid = CurrentProcessId());

// Raises HostError naming what is wrong when the JSON is not a session.
SessionData SessionFromJson(const Json& json);
// Reads and converts a session file; raises HostError (file and reason) on failure.
SessionData LoadSessionFile(const std::filesystem::path& file);

// Tests: publishes a session for the object's lifetime, restoring the previous one.
class ScopedSession {
 public:
  explicit ScopedSession(SessionData session);
  ~ScopedSession();
  ScopedSession(const ScopedSession&) = delete;
  ScopedSession& operator=(const ScopedSession&) = delete;

 private:
  std::optional<SessionData> previous_;
};

}  // namespace vemo::context
