// WriteSvg: a display list as a standalone SVG 1.1 document.
//
// Each group of the list is a <g> with the item's kind as its class, its
// GUID as data-guid and its name as a <title>, inside an <a> when it links
// somewhere; text is real <text> that a reader can select and search. The
// same list always gives the same bytes: numbers have at most two decimals,
// whatever the locale.
#pragma once

#include <string>

#include "orba/canvas/display_list.h"

namespace orba::canvas {

// Throws CanvasError for a list ValidateDisplayList refuses.
std::string WriteSvg(const DisplayList& list);

}  // namespace orba::canvas
