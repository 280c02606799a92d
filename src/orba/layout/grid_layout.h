// Grid layout: boxes placed in rows, left to right, each row below the one
// before; a row wraps before a box that would pass the wrap width. A box
// wider than the wrap width gets a row of its own. Boxes keep their sizes and
// never overlap; the same sizes give the same boxes.
#pragma once

#include <vector>

#include "orba/canvas/display_list.h"

namespace orba::layout {

struct Size {
  double width = 0;
  double height = 0;
};

struct GridOptions {
  canvas::Point origin;  // the first row's top-left corner
  double wrap_width = 0;
  double gap = 36;  // between boxes and between rows
};

// The boxes of `sizes`, in the same order.
std::vector<canvas::Box> PlaceInGrid(const std::vector<Size>& sizes, const GridOptions& options);

// A wrap width that makes the grid of `sizes` roughly square.
double SquareWrapWidth(const std::vector<Size>& sizes, double gap);

}  // namespace orba::layout
