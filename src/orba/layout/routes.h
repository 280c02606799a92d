// Where ports sit on their owners and where edges run, once the nodes have
// their boxes (the rules are in layout.h).
#pragma once

#include <map>
#include <string>
#include <vector>

#include "orba/layout/geometry.h"
#include "orba/layout/layout.h"

namespace orba::layout {

using Boxes = std::map<std::string, canvas::Box>;

// The point where the ray from the box's centre towards `toward` leaves the
// box; the middle of its right side when `toward` is the centre.
canvas::Point BorderToward(const canvas::Box& box, canvas::Point toward);

// The segment between the centres of two boxes, cut at their borders.
Polyline StraightRoute(const canvas::Box& from, const canvas::Box& to);

// The boxes of the ports, placed on their owners in `nodes`.
Boxes PlacePorts(const LayoutRequest& request, const Boxes& nodes);

// A route Graphviz drew from the owner of the edge's `from` end to the owner
// of its `to` end, its ends moved onto the ports it joins.
Polyline FitRoute(Polyline route, const canvas::Box& from, const canvas::Box& to, bool from_port,
                  bool to_port);

}  // namespace orba::layout
