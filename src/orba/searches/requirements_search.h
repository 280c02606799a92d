// "Requirements": the search the host provides itself. It lists every
// element whose metatype is one of the seven requirement kinds, with its
// GUID, type, name, metatype, its "Id" tagged value and its notes.
#pragma once

#include "orba/searches/search_table.h"
#include "orba/store/model_repository.h"

namespace orba::searches {

inline constexpr char kRequirementsSearch[] = "Requirements";

// True for "Requirement", "DesignRequirement", "ExtendedRequirement",
// "FunctionalRequirement", "InterfaceRequirement", "PerformanceRequirement"
// and "PhysicalRequirement" (exact, case-sensitive).
bool IsRequirementKind(std::string_view metatype);

// The requirements of the open model, in element order.
SearchTable FindRequirements(store::ModelRepository& repository);

}  // namespace orba::searches
