#include "resources/resource_table.h"

#include <map>
#include <utility>

namespace resources {
namespace {

using Key = std::pair<std::string, int>;

std::map<Key, std::string_view>& Table() {
  static std::map<Key, std::string_view> table;
  return table;
}

}  // namespace

Registration::Registration(const char* type, int id, const unsigned char* bytes, size_t size) {
  Table()[{type, id}] = std::string_view(reinterpret_cast<const char*>(bytes), size);
}

std::string_view LoadResData(std::string_view type, int id) {
  auto found = Table().find({std::string(type), id});
  if (found == Table().end()) {
    throw ResourceError("the module has no resource " + std::string(type) + " " + std::to_string(id));
  }
  return found->second;
}

}  // namespace resources
