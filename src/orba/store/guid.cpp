#include "orba/store/guid.h"

#include <uuid/uuid.h>

namespace orba::store {

std::string NewGuid() {
  uuid_t uuid;
  uuid_generate(uuid);
  char text[37];
  uuid_unparse_upper(uuid, text);
  return "{" + std::string(text) + "}";
}

}  // namespace orba::store
