// The SysML profiles of the technology document, as tables.
#pragma once

#include <vector>

#include "technology_model.h"

namespace technology {

// The twelve SysML profiles in document order, every base type with its property set.
std::vector<Profile> SysmlProfiles();

// The diagram profile: the nine SysML diagram types.
Profile DiagramProfile();

}  // namespace technology
