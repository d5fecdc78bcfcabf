// The message of the error a call raises, for tests that check what it says.
#pragma once
#include <gtest/gtest.h>

#include <exception>
#include <string>

namespace vemo::test {

// What `call` throws as E says; a test failure and "" when it throws nothing.
template <class E = std::exception, class F>
std::string ErrorText(F&& call) {
  try {
    call();
  } catch (const E& e) {
    return e.what();
  }
  ADD_FAILURE() << "no error was raised";
  return "";
}

// Expects `call` to throw E saying `text` (among other things).
template <class E = std::exception, class F>
void ExpectErrorSaying(F&& call, const std::string& text) {
  const std::string said = ErrorText<E>(call);
  EXPECT_NE(said.find(text), std::string::npos) << "the error says: " << said;
}

}  // namespace vemo::test
