// Thrown when a workbook holds something this renderer does not draw; the
// caller then renders it another way. what() says what it is and where.
#pragma once
#include <stdexcept>
#include <string>

namespace vemo::render {

class RenderDeclined : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace vemo::render
