#include "orba/layout/layout.h"

#include <algorithm>
#include <set>

#include "orba/layout/child_process.h"
#include "orba/layout/geometry.h"
#include "orba/layout/graphviz_layout.h"
#include "orba/layout/grid_layout.h"
#include "orba/layout/request_check.h"
#include "orba/layout/routes.h"

namespace orba::layout {
namespace {

canvas::Box Union(const canvas::Box& a, const canvas::Box& b) {
  const double left = std::min(a.x, b.x);
  const double top = std::min(a.y, b.y);
  return {left, top, std::max(a.x + a.width, b.x + b.width) - left,
          std::max(a.y + a.height, b.y + b.height) - top};
}

bool Inside(const canvas::Box& inner, const canvas::Box& outer) {
  return inner.x >= outer.x && inner.y >= outer.y &&
         inner.x + inner.width <= outer.x + outer.width &&
         inner.y + inner.height <= outer.y + outer.height;
}

void Extend(std::optional<canvas::Box>& bounds, const canvas::Box& box) {
  bounds = bounds ? Union(*bounds, box) : box;
}

// The clusters that hold, directly or through nested clusters, a node Graphviz lays out.
std::set<std::string> ClustersHoldingFreeNodes(const LayoutRequest& request) {
  std::map<std::string, std::string> parents;
  for (const Cluster& cluster : request.clusters) parents[cluster.id] = cluster.parent;
  std::set<std::string> holding;
  for (const Node& node : request.nodes) {
    for (std::string cluster = node.fixed ? "" : node.cluster; !cluster.empty();
         cluster = parents[cluster]) {
      holding.insert(cluster);
    }
  }
  return holding;
}

// The part Graphviz lays out: the nodes without fixed boxes, their clusters
// and the edges between them, a port's edge joined to its owner.
LayeredGraph FreePart(const LayoutRequest& request) {
  LayeredGraph graph{{}, {}, {}, request.direction, request.spacing};
  std::set<std::string> free_nodes;
  for (const Node& node : request.nodes) {
    if (node.fixed) continue;
    graph.nodes.push_back(node);
    free_nodes.insert(node.id);
  }
  const std::set<std::string> holding = ClustersHoldingFreeNodes(request);
  for (const Cluster& cluster : request.clusters) {
    if (holding.contains(cluster.id)) graph.clusters.push_back(cluster);
  }
  // The node an edge's end stands on: the node itself, or a port's owner.
  std::map<std::string, std::string> owners;
  for (const Node& node : request.nodes) owners[node.id] = node.id;
  for (const Port& port : request.ports) owners[port.id] = port.owner;
  for (const Edge& edge : request.edges) {
    Edge joined{edge.id, owners.at(edge.from), owners.at(edge.to)};
    if (free_nodes.contains(joined.from) && free_nodes.contains(joined.to)) {
      graph.edges.push_back(joined);
    }
  }
  return graph;
}

Geometry GridGeometry(LayeredGraph graph) {
  std::sort(graph.nodes.begin(), graph.nodes.end(),
            [](const Node& a, const Node& b) { return a.id < b.id; });
  std::vector<Size> sizes;
  for (const Node& node : graph.nodes) sizes.push_back({node.width, node.height});
  const std::vector<canvas::Box> boxes =
      PlaceInGrid(sizes, {{0, 0}, SquareWrapWidth(sizes, graph.spacing), graph.spacing});
  Geometry geometry;
  for (size_t index = 0; index < boxes.size(); ++index) {
    geometry.nodes[graph.nodes[index].id] = boxes[index];
  }
  return geometry;
}

// Graphviz's geometry, or the grid's with the reason in `result`.
Geometry LayOutInTime(const LayeredGraph& graph, std::chrono::milliseconds time_limit,
                      LayoutResult& result) {
  LoadDotPlugin();
  const ChildOutcome outcome =
      RunInChildProcess([&graph] { return EncodeGeometry(LayOutWithGraphviz(graph)); }, time_limit);
  std::string reason = outcome.reason;
  if (outcome.status == ChildOutcome::Status::kFinished) {
    try {
      return DecodeGeometry(outcome.output);
    } catch (const std::runtime_error& error) {
      reason = error.what();
    }
  }
  result.fell_back = true;
  result.fallback_reason = reason;
  return GridGeometry(graph);
}

void Move(canvas::Box& box, double dx, double dy) {
  box.x += dx;
  box.y += dy;
}

// Moves the laid-out group to (0, 0), or beside the fixed nodes.
void PlaceGroup(Geometry& geometry, const LayoutRequest& request) {
  std::optional<canvas::Box> group;
  for (const Boxes* boxes : {&geometry.nodes, &geometry.clusters}) {
    for (const auto& entry : *boxes) Extend(group, entry.second);
  }
  if (!group) return;
  std::optional<canvas::Box> fixed;
  for (const Node& node : request.nodes) {
    if (node.fixed) Extend(fixed, {node.fixed->x, node.fixed->y, node.width, node.height});
  }
  canvas::Point target{0, 0};
  if (fixed && request.direction == Direction::kTopToBottom) {
    target = {fixed->x, fixed->y + fixed->height + request.spacing};
  }
  if (fixed && request.direction == Direction::kLeftToRight) {
    target = {fixed->x + fixed->width + request.spacing, fixed->y};
  }
  const double dx = target.x - group->x;
  const double dy = target.y - group->y;
  for (auto& entry : geometry.nodes) Move(entry.second, dx, dy);
  for (auto& entry : geometry.clusters) Move(entry.second, dx, dy);
  for (auto& entry : geometry.edges) {
    for (canvas::Point& point : entry.second) point = {point.x + dx, point.y + dy};
  }
}

Boxes NodeBoxes(const LayoutRequest& request, const Geometry& geometry) {
  Boxes boxes = geometry.nodes;
  for (const Node& node : request.nodes) {
    if (node.fixed) boxes[node.id] = {node.fixed->x, node.fixed->y, node.width, node.height};
  }
  return boxes;
}

// A box around contents, with the padding and the label's room along the top.
canvas::Box AroundContents(const canvas::Box& contents, const Cluster& cluster, double padding) {
  const double top = contents.y - padding - cluster.label_height;
  const double width = std::max(contents.width + 2 * padding, cluster.label_width + 2 * padding);
  return {contents.x - padding, top, width, contents.y + contents.height + padding - top};
}

size_t Depth(const Cluster& cluster, const std::map<std::string, const Cluster*>& clusters) {
  size_t depth = 0;
  for (std::string parent = cluster.parent; !parent.empty(); parent = clusters.at(parent)->parent) {
    ++depth;
  }
  return depth;
}

// Each cluster's box: Graphviz's when it holds the cluster's contents, or
// else one around them (holding Graphviz's too); innermost first, so that a
// parent holds its children's final boxes. A cluster without nodes gets no box.
Boxes ClusterBoxes(const LayoutRequest& request, const Geometry& geometry, const Boxes& nodes) {
  std::map<std::string, const Cluster*> clusters;
  for (const Cluster& cluster : request.clusters) clusters[cluster.id] = &cluster;
  std::map<std::string, std::optional<canvas::Box>> contents;
  for (const Node& node : request.nodes) {
    if (!node.cluster.empty()) Extend(contents[node.cluster], nodes.at(node.id));
  }
  std::vector<const Cluster*> innermost_first;
  for (const auto& entry : clusters) innermost_first.push_back(entry.second);
  std::stable_sort(innermost_first.begin(), innermost_first.end(),
                   [&clusters](const Cluster* a, const Cluster* b) {
                     return Depth(*a, clusters) > Depth(*b, clusters);
                   });
  Boxes boxes;
  for (const Cluster* cluster : innermost_first) {
    const std::optional<canvas::Box>& held = contents[cluster->id];
    if (!held) continue;
    const auto laid_out = geometry.clusters.find(cluster->id);
    canvas::Box box = AroundContents(*held, *cluster, request.spacing / 2);
    if (laid_out != geometry.clusters.end()) {
      box = Inside(*held, laid_out->second) ? laid_out->second : Union(box, laid_out->second);
    }
    boxes[cluster->id] = box;
    if (!cluster->parent.empty()) Extend(contents[cluster->parent], box);
  }
  return boxes;
}

std::map<std::string, Polyline> EdgeRoutes(const LayoutRequest& request, const Geometry& geometry,
                                           const LayoutResult& result) {
  std::map<std::string, Polyline> routes;
  const auto box_of = [&result](const std::string& end) {
    const auto port = result.ports.find(end);
    return port == result.ports.end() ? result.nodes.at(end) : port->second;
  };
  for (const Edge& edge : request.edges) {
    const canvas::Box from = box_of(edge.from);
    const canvas::Box to = box_of(edge.to);
    const auto drawn = geometry.edges.find(edge.id);
    if (drawn == geometry.edges.end() || drawn->second.empty()) {
      routes[edge.id] = StraightRoute(from, to);
    } else {
      routes[edge.id] = FitRoute(drawn->second, from, to, result.ports.contains(edge.from),
                                 result.ports.contains(edge.to));
    }
  }
  return routes;
}

}  // namespace

LayoutResult Layout(const LayoutRequest& request) {
  CheckRequest(request);
  LayoutResult result;
  const LayeredGraph free_part = FreePart(request);
  Geometry geometry;
  if (!free_part.nodes.empty()) geometry = LayOutInTime(free_part, request.time_limit, result);
  PlaceGroup(geometry, request);
  result.nodes = NodeBoxes(request, geometry);
  result.clusters = ClusterBoxes(request, geometry, result.nodes);
  result.ports = PlacePorts(request, result.nodes);
  result.edges = EdgeRoutes(request, geometry, result);
  return result;
}

}  // namespace orba::layout
