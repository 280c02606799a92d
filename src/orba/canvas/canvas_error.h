// CanvasError: what the canvas throws for a display list it cannot draw and
// for an output file it cannot write; the message says which and why.
#pragma once

#include <stdexcept>

namespace orba::canvas {

class CanvasError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace orba::canvas
