// The host's ModelItem document of an element:
// <ModelItem Name=".." GUID=".." Metatype=".."> with one nested ModelItem per
// owned element, in the host's order, down to the last generation.
#pragma once

#include <string>

#include "orba/store/model_session.h"

namespace orba::store {

// Throws host::Error when no element has the GUID.
std::string ModelItemXml(ModelSession& session, const std::string& guid);

}  // namespace orba::store
