#include "base/guid.h"

#include <uuid/uuid.h>

namespace base {
namespace {

std::string Braced(const uuid_t uuid) {
  char text[37];
  uuid_unparse_upper(uuid, text);
  return "{" + std::string(text) + "}";
}

}  // namespace

std::string NewGuid() {
  uuid_t uuid;
  uuid_generate(uuid);
  return Braced(uuid);
}

std::string NameBasedGuid(const GuidNamespace& namespace_id, std::string_view name) {
  uuid_t uuid;
  uuid_generate_sha1(uuid, namespace_id.data(), name.data(), name.size());
  return Braced(uuid);
}

}  // namespace base
