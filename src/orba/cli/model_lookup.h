// Finding the element or package a command line names, by GUID or by name.
#pragma once

#include <string>

#include "host/host.h"
#include "orba/store/model_repository.h"

namespace orba::cli {

// The element whose GUID is `guid_or_name`, else the one element of that
// name. Throws CommandError when none has it, or several share the name.
host::ElementPtr FindElement(store::ModelRepository& repository, const std::string& guid_or_name);

// The same for packages (a package's GUID is that of its element).
host::PackagePtr FindPackage(store::ModelRepository& repository, const std::string& guid_or_name);

}  // namespace orba::cli
