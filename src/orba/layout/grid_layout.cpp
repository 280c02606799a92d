#include "orba/layout/grid_layout.h"

#include <algorithm>
#include <cmath>

namespace orba::layout {

std::vector<canvas::Box> PlaceInGrid(const std::vector<Size>& sizes, const GridOptions& options) {
  std::vector<canvas::Box> boxes;
  boxes.reserve(sizes.size());
  double x = options.origin.x;
  double row_top = options.origin.y;
  double row_height = 0;
  bool row_empty = true;
  for (const Size& size : sizes) {
    if (!row_empty && x + size.width > options.origin.x + options.wrap_width) {
      x = options.origin.x;
      row_top += row_height + options.gap;
      row_height = 0;
    }
    boxes.push_back({x, row_top, size.width, size.height});
    x += size.width + options.gap;
    row_height = std::max(row_height, size.height);
    row_empty = false;
  }
  return boxes;
}

double SquareWrapWidth(const std::vector<Size>& sizes, double gap) {
  double area = 0;
  double widest = 0;
  for (const Size& size : sizes) {
    area += (size.width + gap) * (size.height + gap);
    widest = std::max(widest, size.width);
  }
  return std::max(widest, std::sqrt(area));
}

}  // namespace orba::layout
