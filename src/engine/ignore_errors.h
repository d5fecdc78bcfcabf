// The engine's private routines run statement by statement with errors
// ignored: a keyword that cannot be filled stays or is emptied and the fill
// goes on. This is that rule, written once.
#pragma once
#include <exception>
#include <utility>

namespace vemo::engine {

template <class Statement>
void IgnoreErrors(Statement&& statement) {
  try {
    std::forward<Statement>(statement)();
  } catch (const std::exception&) {
    // ignored on purpose; see above
  }
}

// The value of `expression`, or `fallback` when it raises.
template <class T, class Expression>
T ValueOr(T fallback, Expression&& expression) {
  try {
    return std::forward<Expression>(expression)();
  } catch (const std::exception&) {
    return fallback;
  }
}

}  // namespace vemo::engine
