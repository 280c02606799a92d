#include "orba/layout/routes.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace orba::layout {
namespace {

enum class Side { kTop, kRight, kBottom, kLeft };

canvas::Point Centre(const canvas::Box& box) {
  return {box.x + box.width / 2, box.y + box.height / 2};
}

// The centre of the box standing for an edge's end: a node's own, a port's owner's.
canvas::Point OwnerCentre(const std::string& end, const std::map<std::string, std::string>& owners,
                          const Boxes& nodes) {
  const auto owner = owners.find(end);
  return Centre(nodes.at(owner == owners.end() ? end : owner->second));
}

// The side of the owner that faces the mean centre of the other ends.
Side FacingSide(const Port& port, const LayoutRequest& request,
                const std::map<std::string, std::string>& owners, const Boxes& nodes) {
  const canvas::Box& owner = nodes.at(port.owner);
  double dx = 0;
  double dy = 0;
  for (const Edge& edge : request.edges) {
    if (edge.from != port.id && edge.to != port.id) continue;
    const canvas::Point other =
        OwnerCentre(edge.from == port.id ? edge.to : edge.from, owners, nodes);
    dx += other.x - Centre(owner).x;
    dy += other.y - Centre(owner).y;
  }
  if (std::abs(dx) * owner.height >= std::abs(dy) * owner.width) {
    return dx < 0 ? Side::kLeft : Side::kRight;
  }
  return dy < 0 ? Side::kTop : Side::kBottom;
}

// The box of the `index`-th of `count` ports spread along a side.
canvas::Box OnSide(const canvas::Box& owner, Side side, size_t index, size_t count,
                   const Port& port) {
  const double share = static_cast<double>(index + 1) / static_cast<double>(count + 1);
  canvas::Point centre{owner.x + owner.width * share, owner.y + owner.height * share};
  if (side == Side::kTop) centre.y = owner.y;
  if (side == Side::kBottom) centre.y = owner.y + owner.height;
  if (side == Side::kLeft) centre.x = owner.x;
  if (side == Side::kRight) centre.x = owner.x + owner.width;
  return {centre.x - port.width / 2, centre.y - port.height / 2, port.width, port.height};
}

}  // namespace

canvas::Point BorderToward(const canvas::Box& box, canvas::Point toward) {
  const canvas::Point centre = Centre(box);
  double dx = toward.x - centre.x;
  double dy = toward.y - centre.y;
  if (dx == 0 && dy == 0) dx = 1;
  const double scale = std::min(dx == 0 ? INFINITY : box.width / 2 / std::abs(dx),
                                dy == 0 ? INFINITY : box.height / 2 / std::abs(dy));
  return {centre.x + dx * scale, centre.y + dy * scale};
}

Polyline StraightRoute(const canvas::Box& from, const canvas::Box& to) {
  return {BorderToward(from, Centre(to)), BorderToward(to, Centre(from))};
}

Boxes PlacePorts(const LayoutRequest& request, const Boxes& nodes) {
  std::map<std::string, std::string> owners;
  for (const Port& port : request.ports) owners[port.id] = port.owner;
  // Ports in the order of their ids, grouped by the side of the owner they sit on.
  std::map<std::pair<std::string, Side>, std::map<std::string, const Port*>> sides;
  Boxes boxes;
  for (const Port& port : request.ports) {
    if (port.fixed) {
      boxes[port.id] = {port.fixed->x, port.fixed->y, port.width, port.height};
    } else {
      sides[{port.owner, FacingSide(port, request, owners, nodes)}][port.id] = &port;
    }
  }
  for (const auto& [owner_side, ports] : sides) {
    size_t index = 0;
    for (const auto& [id, port] : ports) {
      boxes[id] =
          OnSide(nodes.at(owner_side.first), owner_side.second, index++, ports.size(), *port);
    }
  }
  return boxes;
}

Polyline FitRoute(Polyline route, const canvas::Box& from, const canvas::Box& to, bool from_port,
                  bool to_port) {
  const canvas::Point start_neighbour = route.size() > 2 ? route[1] : Centre(to);
  const canvas::Point end_neighbour = route.size() > 2 ? route[route.size() - 2] : Centre(from);
  if (from_port) route.front() = BorderToward(from, start_neighbour);
  if (to_port) route.back() = BorderToward(to, end_neighbour);
  return route;
}

}  // namespace orba::layout
