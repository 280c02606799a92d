// Layout: places the objects of a diagram automatically, in layers, with
// Graphviz's dot. Coordinates are CSS px (1/96 inch), y downwards.
//
// What it promises:
// - Every node keeps the size it was given; laid-out nodes do not overlap.
// - A node with a fixed box keeps it exactly. The other nodes are laid out
//   among themselves and the group is then moved below the fixed nodes'
//   bounding box (top to bottom) or to its right (left to right), lined up
//   with its left or top side, `spacing` away. Without fixed nodes the group's
//   top-left corner is at (0, 0).
// - Groups of nodes that no edge joins are packed in rows, unless the
//   request has clusters (Graphviz 2.43 cannot pack them): then they stand
//   side by side.
// - A cluster's box holds its member nodes, its child clusters and, along its
//   top, the room asked for its label. A cluster with no node in it, directly
//   or nested, gets no box. A cluster holding fixed nodes is grown around
//   them, and may then cover nodes outside it.
// - A port sits centred on its owner's border, on the side facing the other
//   ends of its edges (the right side when it has none); ports on one side
//   are spread evenly along it in the order of their ids. A port with a fixed
//   box keeps it. Graphviz routes a port's edges to its owner.
// - Edges between laid-out nodes follow Graphviz's route; an edge with a
//   fixed end, or any edge after a fallback, is a straight line between the
//   borders of its ends.
// - The same request gives the same result, number for number. (Graphviz's
//   layout depends on where its allocations land; the child runs it on a heap
//   of its own so that this process's earlier allocations do not matter, see
//   child_process.h.)
// - Graphviz runs in a child process: when it takes longer than the time
//   limit, or fails, the laid-out nodes are placed in a grid instead
//   (grid_layout.h) and the result says so and why. In that grid clusters are
//   not kept apart: a cluster's box still holds its members but may cover
//   other nodes.
#pragma once

#include <chrono>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "orba/canvas/display_list.h"

namespace orba::layout {

// What Layout throws for a request it cannot lay out; the message names the
// item and the problem.
class LayoutError : public std::invalid_argument {
 public:
  using std::invalid_argument::invalid_argument;
};

enum class Direction { kTopToBottom, kLeftToRight };

struct Node {
  std::string id;  // unique among nodes, ports and clusters
  double width = 0;
  double height = 0;
  std::optional<canvas::Point> fixed;  // top-left corner that must stay
  std::string cluster;                 // the innermost cluster holding it; "" for none
};

// A small object drawn on its owner node's border.
struct Port {
  std::string id;
  std::string owner;  // a node's id
  double width = 0;
  double height = 0;
  std::optional<canvas::Point> fixed;
};

struct Cluster {
  std::string id;
  std::string parent;  // the enclosing cluster; "" for none
  double label_width = 0;
  double label_height = 0;
};

// A link between two nodes or ports.
struct Edge {
  std::string id;  // unique among edges
  std::string from;
  std::string to;
};

struct LayoutRequest {
  std::vector<Node> nodes;
  std::vector<Port> ports;
  std::vector<Cluster> clusters;
  std::vector<Edge> edges;
  Direction direction = Direction::kTopToBottom;
  double spacing = 36;  // between neighbouring nodes, and around a cluster's contents
  std::chrono::milliseconds time_limit{5000};
};

struct LayoutResult {
  std::map<std::string, canvas::Box> nodes;
  std::map<std::string, canvas::Box> ports;
  std::map<std::string, canvas::Box> clusters;
  std::map<std::string, std::vector<canvas::Point>> edges;  // from `from` to `to`
  bool fell_back = false;
  std::string fallback_reason;  // why, when it fell back

  friend bool operator==(const LayoutResult&, const LayoutResult&) = default;
};

// Lays the request out. Throws LayoutError when the request names an unknown
// node, port or cluster, repeats an id, has a size that is not a positive
// finite number, nests clusters in a cycle, or has a negative time limit or
// a spacing that is not a finite number of at least 0.
LayoutResult Layout(const LayoutRequest& request);

}  // namespace orba::layout
