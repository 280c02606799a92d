// Failures of the automation layer itself (names, argument counts, conversions).
#pragma once

#include <stdexcept>

namespace automation {

class Error : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};
// A member name that the object does not have.
class UnknownName : public Error {
 public:
  using Error::Error;
};
// A value that cannot be converted to the type asked for.
class TypeMismatch : public Error {
 public:
  using Error::Error;
};
// A number too large for the whole-number type asked for.
class Overflow : public Error {
 public:
  using Error::Error;
};

}  // namespace automation
