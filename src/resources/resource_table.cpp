#include "resources/resource_table.h"

namespace resources {

std::string_view LoadResData(std::string_view type, int id) {
  for (const EmbeddedResource* const* entry = kEmbeddedResources; *entry; ++entry) {
    if ((*entry)->type == type && (*entry)->id == id) {
      return std::string_view(reinterpret_cast<const char*>((*entry)->bytes), (*entry)->size);
    }
  }
  throw ResourceError("the module has no resource " + std::string(type) + " " + std::to_string(id));
}

}  // namespace resources
