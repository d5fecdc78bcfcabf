// VemoEBSBase.SecurityInfo and VemoEBSBase.SystemProfile.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "foundation/host_object.h"

namespace vemo::host {

class ISecurityInfo : public HostObject {
 public:
  // Whether the props string's user holds the right (subsystem, object,
  // access type). Administrators hold every right; an unknown user none.
  // `checkOnly` and `className` are recorded for the host's meaning and do
  // not change the answer.
  virtual bool AccessCheck(std::string_view props, std::int32_t subsystem, std::int32_t objectId,
                           std::int32_t accessType, bool checkOnly, std::string_view className) = 0;
};

class ISystemProfile : public HostObject {
 public:
  // One profile value; "" when the category or key is not set (both
  // compared without regard to case).
  virtual std::string GetProfile(std::string_view props, std::string_view category, std::string_view key) = 0;
};

}  // namespace vemo::host
