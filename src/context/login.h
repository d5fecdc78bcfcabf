// Who is logged in, read anew on every call from the host's login property
// services (session_components.h), keyed by this process's id.
#pragma once
#include <array>
#include <string>
#include <string_view>

#include "foundation/variant.h"

namespace vemo::context {

// The login property names an outer login answers through the cache service.
inline constexpr std::array<std::string_view, 14> kLoginPropertyNames = {
    "UserName", "UserID",  "PropsString", "LogStatus",   "AcctName", "AcctType", "Setuptype",
    "AcctID",   "SubID",   "AcctClosed",  "MachineName", "IP",       "UUID",     "VemoLogin"};

// 1. pid = this process. 2. CacheFacade.GetItem(pid, "IsOuterLogin") as a
// 32-bit integer. 3. 1: a login property name is answered by
// CacheFacade.GetItem(pid, name), any other name gives Empty. 4. 0:
// ShareProps.GetProperty(pid, name). 5. Any other flag gives Empty. Every
// error leaves the answer Empty.
Variant GetLoginProperty(std::string_view name);

// The outer-login flag as a number (0 when it cannot be read).
int IsOuterLogin();

// GetLoginProperty("PropsString") as text ("" when absent).
std::string GetPropsString();

}  // namespace vemo::context
