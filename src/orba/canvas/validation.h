// The checks every renderer makes before it draws a display list, so that
// bad input is refused with its reason rather than drawn wrongly.
#pragma once

#include <string>

#include "orba/canvas/display_list.h"

namespace orba::canvas {

// The largest coordinate or length the canvas draws, in px: far beyond any
// diagram, and well inside what cairo's fixed-point coordinates hold.
inline constexpr double kLargestCoordinate = 1e6;

// Throws CanvasError naming the first problem: a picture whose size is not
// positive, a number that is not finite or is beyond kLargestCoordinate, a
// negative size, corner radius or pen width, a font size that is not
// positive, a path that does not start with a move, an EndGroup without its
// BeginGroup or a BeginGroup without its EndGroup.
void ValidateDisplayList(const DisplayList& list);

// A number as messages show it: the shortest text that reads back as it
// ("2.5", "1e+300", "nan").
std::string NumberText(double value);

}  // namespace orba::canvas
