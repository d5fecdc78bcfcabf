// The description of a caught error as the dialogs show it.
#pragma once
#include <exception>
#include <string>

#include "foundation/host_error.h"

namespace vemo::setup {

inline std::string ErrorText(const std::exception& e) {
  if (const auto* host = dynamic_cast<const HostError*>(&e)) return host->Description();
  return e.what();
}

}  // namespace vemo::setup
