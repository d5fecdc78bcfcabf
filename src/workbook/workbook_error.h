// The one exception type of the spreadsheet engine: every refusal of a file or
// an edit says what is wrong in words a user can act on.
#pragma once
#include <stdexcept>
#include <string>

namespace vemo::wb {

class WorkbookError : public std::runtime_error {
 public:
  explicit WorkbookError(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace vemo::wb
