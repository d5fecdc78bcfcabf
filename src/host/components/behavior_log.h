// TalvoAPBehaviorLog.WriteLog: the behaviour log. The caller sets the props
// string, then writes entries (time, user of the props string, code, text).
#pragma once
#include <string>
#include <string_view>

#include "foundation/host_object.h"

namespace vemo::host {

class IBehaviorLog : public HostObject {
 public:
  virtual void SetPropsString(std::string props) = 0;
  virtual const std::string& PropsString() const = 0;
  // Raises HostError when no props string was set or the database fails.
  virtual void WriteMGLog(std::string_view code, std::string_view text) = 0;
};

}  // namespace vemo::host
