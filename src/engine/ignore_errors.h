// The engine's private routines run statement by statement with errors
// ignored: a keyword that cannot be filled stays or is emptied and the fill
// goes on. This is that rule, written once. The one error it lets through
// is the user's Cancel of long work (context::WorkStopped).
#pragma once
#include <exception>
#include <string>
#include <string_view>
#include <utility>

#include "context/desktop.h"
#include "context/long_work.h"

namespace vemo::engine {

template <class Statement>
void IgnoreErrors(Statement&& statement) {
  try {
    std::forward<Statement>(statement)();
  } catch (const context::WorkStopped&) {
    throw;
  } catch (const std::exception&) {
    // ignored on purpose; see above
  }
}

// The value of `expression`, or `fallback` when it raises.
template <class T, class Expression>
T ValueOr(T fallback, Expression&& expression) {
  try {
    return std::forward<Expression>(expression)();
  } catch (const context::WorkStopped&) {
    throw;
  } catch (const std::exception&) {
    return fallback;
  }
}

// Inside a catch block: tells the user why `action` failed (the error's own
// text), for the failures that still end in a plain False.
inline void ReportCurrentError(std::string_view action) {
  try {
    throw;
  } catch (const std::exception& error) {
    context::ReportCause(std::string(action) + ": " + error.what());
  } catch (...) {
    context::ReportCause(std::string(action) + " failed for an unknown reason");
  }
}

}  // namespace vemo::engine
