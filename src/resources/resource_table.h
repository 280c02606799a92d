// The module's embedded resources, found by (type, id) as a Windows module's
// custom resources are. The build compiles each resource file into the module
// and lists them in one generated table (cmake/embed.cmake).
#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>

namespace resources {

class ResourceError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The bytes of resource (type, id). Throws ResourceError when there is none.
std::string_view LoadResData(std::string_view type, int id);

// One embedded resource; the generated table lists them all, ended by null.
struct EmbeddedResource {
  const char* type;
  int id;
  const unsigned char* bytes;
  size_t size;
};
extern const EmbeddedResource* const kEmbeddedResources[];

// Resource types and ids.
inline constexpr std::string_view kTechnologyType = "TECHFILE";
inline constexpr int kTechnologyId = 101;
inline constexpr std::string_view kPerspectiveType = "PERSPECTIVE";
inline constexpr int kPerspectiveId = 102;
inline constexpr std::string_view kSearchType = "CUSTOM_SEARCH";
inline constexpr int kSearchId = 103;

}  // namespace resources
