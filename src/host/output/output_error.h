// The one error type of the output layer: rendering, printing and previewing
// failures, each saying what went wrong and what to do about it.
#pragma once
#include <stdexcept>
#include <string>

namespace vemo::host {

class OutputError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace vemo::host
