// The failure of anything in base (a file, an INI text), and how a layer
// above reports it as its own error type.
#pragma once

#include <stdexcept>

namespace base {

class Error : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Runs `operation`; a base::Error it throws is thrown again as `LayerError`
// with the same message, so callers see one error type per layer.
template <class LayerError, class Operation>
auto ReportedAs(Operation operation) {
  try {
    return operation();
  } catch (const Error& error) {
    throw LayerError(error.what());
  }
}

}  // namespace base
