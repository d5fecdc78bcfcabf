#include "context/session_components.h"

#include "context/session_store.h"
#include "foundation/creation_service.h"
#include "foundation/utf8_text.h"

namespace vemo::context {
namespace {

SessionData SessionOf(int pid) {
  auto session = PublishedSession(pid);
  if (!session)
    throw HostError("no session is published for process " + std::to_string(pid) +
                    ": start vemoprint with --session FILE, or call PublishSession first");
  return *session;
}

Variant LoginValue(const SessionData& session, std::string_view name) {
  if (session.login->Lookup(name)) return session.login->Value(name);
  const auto keys = session.login->Keys();
  for (std::size_t i = 0; i < keys.size(); ++i)
    if (EqualsIgnoreCase(keys[i], name)) return session.login->Values()[i];
  return {};
}

}  // namespace

Variant SessionCacheFacade::GetItem(int pid, std::string_view name) {
  const SessionData session = SessionOf(pid);
  if (EqualsIgnoreCase(name, "IsOuterLogin")) return session.isOuterLogin;
  return LoginValue(session, name);
}

Variant SessionShareProps::GetProperty(int pid, std::string_view name) { return LoginValue(SessionOf(pid), name); }

void RegisterSessionComponents(bool replace) {
  if (replace || !Creation().IsRegistered(kCacheFacadeId))
    Creation().Register(kCacheFacadeId, [] { return std::make_shared<SessionCacheFacade>(); });
  if (replace || !Creation().IsRegistered(kSharePropsId))
    Creation().Register(kSharePropsId, [] { return std::make_shared<SessionShareProps>(); });
}

}  // namespace vemo::context
