// host::Error: a host call that failed. Every host member may throw it.
#pragma once

#include <stdexcept>

namespace host {

class Error : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace host
