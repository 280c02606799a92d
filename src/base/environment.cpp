#include "base/environment.h"

#include <cstdlib>

namespace base {

bool IsSetInEnvironment(const char* variable) {
  const char* value = std::getenv(variable);
  return value != nullptr && *value != '\0';
}

bool DisplayNamed() {
  return IsSetInEnvironment("DISPLAY") || IsSetInEnvironment("WAYLAND_DISPLAY");
}

}  // namespace base
