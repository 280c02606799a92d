// CheckRequest: throws LayoutError, naming the item and the problem, for a
// request Layout cannot lay out (see layout.h).
#pragma once

#include "orba/layout/layout.h"

namespace orba::layout {

void CheckRequest(const LayoutRequest& request);

}  // namespace orba::layout
