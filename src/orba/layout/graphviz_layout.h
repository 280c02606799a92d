// LayOutWithGraphviz: the layered layout of a graph with dot, in the calling
// process. Nodes keep their sizes exactly (fixedsize boxes); clusters leave
// room for their labels along their top; edges are polylines from their
// `from` node's border to their `to` node's border. The drawing's top-left
// corner is at (0, 0).
//
// Graphviz 2.43's result changes with where its allocations land: the same
// graph laid out twice in one process, or in children forked at different
// moments of it, can come out differently. Layout runs it on a heap of its own (child_process.h).
#pragma once

#include <vector>

#include "orba/layout/geometry.h"
#include "orba/layout/layout.h"

namespace orba::layout {

// Everything named must be in the graph: edges join its nodes, nodes and
// clusters name its clusters. Graphviz is given the items in the order of
// their ids, so the same graph gives the same geometry.
struct LayeredGraph {
  std::vector<Node> nodes;
  std::vector<Cluster> clusters;
  std::vector<Edge> edges;
  Direction direction = Direction::kTopToBottom;
  double spacing = 36;
};

// Throws std::runtime_error when Graphviz fails.
Geometry LayOutWithGraphviz(const LayeredGraph& graph);

// Loads dot's layout plugin into this process, once, so that the layouts of
// this process and of the children it forks afterwards find it loaded:
// otherwise each Graphviz context reads Graphviz's plugin configuration and
// loads the plugin itself, which takes most of a small layout's time.
void LoadDotPlugin();

}  // namespace orba::layout
