// What a call raised, so that tables of refusals can compare the error
// number and look into the message without a try block per case.
#pragma once
#include <string>
#include <utility>

#include "foundation/host_error.h"

namespace vemo::test {

struct Raised {
  int number = 0;  // 0: the call raised nothing
  std::string message;
};

template <typename Call>
Raised RaisedBy(Call&& call) {
  try {
    std::forward<Call>(call)();
  } catch (const HostError& e) {
    return {e.Number(), e.Description()};
  }
  return {};
}

}  // namespace vemo::test
