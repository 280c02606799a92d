#include "platform/module_path.h"

#include <dlfcn.h>

namespace platform {

std::filesystem::path ModuleFolderOf(const void* address_in_module) {
  Dl_info info{};
  if (dladdr(address_in_module, &info) == 0 || info.dli_fname == nullptr) {
    return std::filesystem::current_path();
  }
  std::filesystem::path module(info.dli_fname);
  if (module.is_relative()) module = std::filesystem::absolute(module);
  return module.parent_path();
}

}  // namespace platform
