// The host's two login property services, as the system creates them by
// programmatic identifier:
//   "VemoMtsCacheService.CacheFacade"  GetItem(pid, name)
//   "VemoPropsMgr.ShareProps"          GetProperty(pid, name)
// Our implementations answer from the session published for `pid`
// (session_store.h). Property names ignore case. GetItem(pid, "IsOuterLogin")
// gives the published outer-login flag. Asking for a pid that has published
// nothing raises HostError, as the host's services do for an unknown process.
#pragma once
#include <string_view>

#include "foundation/host_object.h"
#include "foundation/variant.h"

namespace vemo::context {

inline constexpr std::string_view kCacheFacadeId = "VemoMtsCacheService.CacheFacade";
inline constexpr std::string_view kSharePropsId = "VemoPropsMgr.ShareProps";

class ICacheFacade : public HostObject {
 public:
  virtual Variant GetItem(int pid, std::string_view name) = 0;
};

class IShareProps : public HostObject {
 public:
  virtual Variant GetProperty(int pid, std::string_view name) = 0;
};

class SessionCacheFacade : public ICacheFacade {
 public:
  std::string TypeName() const override { return "CacheFacade"; }
  Variant GetItem(int pid, std::string_view name) override;
};

class SessionShareProps : public IShareProps {
 public:
  std::string TypeName() const override { return "ShareProps"; }
  Variant GetProperty(int pid, std::string_view name) override;
};

// Registers both under their identifiers in the creation service. With
// replace = false an identifier that is registered already keeps its factory.
void RegisterSessionComponents(bool replace = true);

}  // namespace vemo::context
