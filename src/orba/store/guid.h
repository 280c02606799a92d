// GUIDs as the host writes them: "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}", upper case.
#pragma once

#include <string>

namespace orba::store {

std::string NewGuid();

}  // namespace orba::store
