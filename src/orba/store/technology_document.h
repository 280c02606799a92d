// Reading technology documents: their id, and the metatypes their
// stereotype definitions give to elements carrying those stereotypes.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace orba::store {

// The `Documentation id` under the root `Quindle.Technology`; nullopt when the
// text is not XML or is not a technology document.
std::optional<std::string> TechnologyIdOf(std::string_view document);

// Adds the document's stereotype metatypes (UMLProfiles//Stereotype with a
// `metatype`) to `metatypes`; a stereotype already present keeps its metatype.
void CollectStereotypeMetatypes(std::string_view document,
                                std::map<std::string, std::string>& metatypes);

}  // namespace orba::store
