// The folder that holds the module (shared object or executable) containing
// a given address: the add-in finds its help file and example model there.
#pragma once

#include <filesystem>

namespace platform {

std::filesystem::path ModuleFolderOf(const void* address_in_module);

}  // namespace platform
