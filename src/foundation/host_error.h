// The error a host call raises: a number and a description, as the host's
// automation layer reports them. Callers that "trap every error" catch this
// (and std::exception) and turn it into a False answer.
#pragma once
#include <stdexcept>
#include <string>

namespace vemo {

class HostError : public std::runtime_error {
 public:
  // Error numbers of the host's automation layer that our callers test for.
  static constexpr int kTypeMismatch = 13;
  static constexpr int kOverflow = 6;
  static constexpr int kKeyNotFound = 5;       // "invalid procedure call or argument"
  static constexpr int kCannotCreateObject = 429;
  static constexpr int kObjectRequired = 424;
  static constexpr int kGeneric = 1000;

  HostError(int number, std::string description)
      : std::runtime_error(description), number_(number), description_(std::move(description)) {}
  explicit HostError(std::string description) : HostError(kGeneric, std::move(description)) {}

  int Number() const { return number_; }
  const std::string& Description() const { return description_; }

 private:
  int number_;
  std::string description_;
};

}  // namespace vemo
