// StoreError: a model file that cannot be created, opened or written, or a
// model document that cannot be imported. It is a host::Error, so host calls
// that meet it fail as any other host call does.
#pragma once

#include "host/error.h"

namespace orba::store {

class StoreError : public host::Error {
 public:
  using host::Error::Error;
};

}  // namespace orba::store
