// Geometry: what Graphviz placed, in CSS px with y downwards, and its
// encoding for the pipe from the layout process. The encoding keeps every
// number's bits, so a decoded geometry equals the encoded one exactly.
#pragma once

#include <map>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "orba/canvas/display_list.h"

namespace orba::layout {

using Polyline = std::vector<canvas::Point>;

struct Geometry {
  std::map<std::string, canvas::Box> nodes;
  std::map<std::string, canvas::Box> clusters;
  std::map<std::string, Polyline> edges;
  friend bool operator==(const Geometry&, const Geometry&) = default;
};

std::string EncodeGeometry(const Geometry& geometry);

// Throws std::runtime_error for bytes that are not a whole encoded geometry.
Geometry DecodeGeometry(std::string_view bytes);

}  // namespace orba::layout
