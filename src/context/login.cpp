#include "context/login.h"

#include <algorithm>

#include "context/session_components.h"
#include "context/session_store.h"
#include "foundation/creation_service.h"

namespace vemo::context {
namespace {

bool IsLoginPropertyName(std::string_view name) {
  // Property names are compared as the host writes them.
  return std::find(kLoginPropertyNames.begin(), kLoginPropertyNames.end(), name) != kLoginPropertyNames.end();
}

}  // namespace

Variant GetLoginProperty(std::string_view name) {
  try {
    const int pid = CurrentProcessId();
    auto cache = CreateObjectAs<ICacheFacade>(kCacheFacadeId);
    const std::int32_t outer = cache->GetItem(pid, "IsOuterLogin").ToInt32();
    if (outer == 1) return IsLoginPropertyName(name) ? cache->GetItem(pid, name) : Variant();
    if (outer == 0) return CreateObjectAs<IShareProps>(kSharePropsId)->GetProperty(pid, name);
  } catch (const std::exception&) {
    // The answer stays Empty.
  }
  return {};
}

int IsOuterLogin() {
  try {
    auto cache = CreateObjectAs<ICacheFacade>(kCacheFacadeId);
    return cache->GetItem(CurrentProcessId(), "IsOuterLogin").ToInt32();
  } catch (const std::exception&) {
    return 0;
  }
}

std::string GetPropsString() {
  try {
    return GetLoginProperty("PropsString").ToText();
  } catch (const std::exception&) {
    return "";
  }
}

}  // namespace vemo::context
