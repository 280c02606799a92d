// The error of an input the XMI import cannot read.
#pragma once

#include <stdexcept>

namespace orba::interchange {

// XML that is not well formed (naming line and column), a stereotype map
// with a bad line: the message names the file and the place.
class XmiError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace orba::interchange
