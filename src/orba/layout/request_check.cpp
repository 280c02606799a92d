#include "orba/layout/request_check.h"

#include <cmath>
#include <map>
#include <optional>
#include <set>
#include <string>

namespace orba::layout {
namespace {

[[noreturn]] void Fail(const std::string& what, const std::string& id, const std::string& problem) {
  throw LayoutError(what + " '" + id + "' " + problem);
}

void CheckId(const std::string& what, const std::string& id, std::set<std::string>& seen) {
  if (id.empty()) throw LayoutError("a " + what + " has no id");
  if (!seen.insert(id).second) Fail(what, id, "repeats an id already used");
}

void CheckPositive(const std::string& what, const std::string& id, const char* measure,
                   double value) {
  if (!std::isfinite(value) || value <= 0) {
    Fail(what, id, std::string("has a ") + measure + " that is not a positive number");
  }
}

void CheckSize(const std::string& what, const std::string& id, double width, double height) {
  CheckPositive(what, id, "width", width);
  CheckPositive(what, id, "height", height);
}

void CheckFixed(const std::string& what, const std::string& id,
                const std::optional<canvas::Point>& fixed) {
  if (fixed && !(std::isfinite(fixed->x) && std::isfinite(fixed->y))) {
    Fail(what, id, "has a fixed position that is not a number");
  }
}

void CheckClusterNesting(const LayoutRequest& request, const std::set<std::string>& clusters) {
  std::map<std::string, std::string> parents;
  for (const Cluster& cluster : request.clusters) {
    if (!cluster.parent.empty() && !clusters.contains(cluster.parent)) {
      Fail("cluster", cluster.id, "names an unknown parent cluster '" + cluster.parent + "'");
    }
    parents[cluster.id] = cluster.parent;
  }
  for (const Cluster& cluster : request.clusters) {
    std::string ancestor = cluster.parent;
    for (size_t depth = 0; !ancestor.empty(); ++depth) {
      if (ancestor == cluster.id || depth > parents.size()) {
        Fail("cluster", cluster.id, "is nested in a cycle of clusters");
      }
      ancestor = parents[ancestor];
    }
  }
}

}  // namespace

void CheckRequest(const LayoutRequest& request) {
  if (!std::isfinite(request.spacing) || request.spacing < 0) {
    throw LayoutError("the spacing is not a number of at least 0");
  }
  if (request.time_limit.count() < 0) throw LayoutError("the time limit is negative");
  std::set<std::string> ids;
  std::set<std::string> nodes;
  std::set<std::string> clusters;
  for (const Cluster& cluster : request.clusters) {
    CheckId("cluster", cluster.id, ids);
    clusters.insert(cluster.id);
    if (!(cluster.label_width >= 0 && cluster.label_height >= 0 &&
          std::isfinite(cluster.label_width + cluster.label_height))) {
      Fail("cluster", cluster.id, "has a label size that is not a number of at least 0");
    }
  }
  CheckClusterNesting(request, clusters);
  for (const Node& node : request.nodes) {
    CheckId("node", node.id, ids);
    CheckSize("node", node.id, node.width, node.height);
    CheckFixed("node", node.id, node.fixed);
    if (!node.cluster.empty() && !clusters.contains(node.cluster)) {
      Fail("node", node.id, "names an unknown cluster '" + node.cluster + "'");
    }
    nodes.insert(node.id);
  }
  std::set<std::string> ends = nodes;
  for (const Port& port : request.ports) {
    CheckId("port", port.id, ids);
    CheckSize("port", port.id, port.width, port.height);
    CheckFixed("port", port.id, port.fixed);
    if (!nodes.contains(port.owner)) {
      Fail("port", port.id, "names an unknown owner node '" + port.owner + "'");
    }
    ends.insert(port.id);
  }
  std::set<std::string> edges;
  for (const Edge& edge : request.edges) {
    CheckId("edge", edge.id, edges);
    if (!ends.contains(edge.from)) {
      Fail("edge", edge.id, "starts at an unknown node or port '" + edge.from + "'");
    }
    if (!ends.contains(edge.to)) {
      Fail("edge", edge.id, "ends at an unknown node or port '" + edge.to + "'");
    }
  }
}

}  // namespace orba::layout
