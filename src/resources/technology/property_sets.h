// The property sets of the host base types: every Apply and Redefine of a
// base type carries the same Property elements, some depending on the stereotype.
#pragma once

#include <string_view>
#include <vector>

#include "technology_model.h"

namespace technology {

// The properties of base type `base_type` for stereotype `stereotype`; empty
// for a base type that carries none.
std::vector<Property> PropertySetOf(std::string_view base_type, std::string_view stereotype);

// Gives every Apply and Redefine of the profile's stereotypes its property set.
void AddPropertySets(Profile& profile);

}  // namespace technology
