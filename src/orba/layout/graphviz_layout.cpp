#include "orba/layout/graphviz_layout.h"

#include <dlfcn.h>
#include <graphviz/cgraph.h>
#include <graphviz/gvc.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <stdexcept>
#include <string>

namespace orba::layout {
namespace {

constexpr double kPixelsPerInch = 96;
constexpr double kPixelsPerPoint = 96.0 / 72.0;

// Numbers as text for Graphviz's attributes, exactly as the double.
std::string Decimal(double number) {
  char text[32];
  std::snprintf(text, sizeof text, "%.17g", number);
  return text;
}

// Graphviz's name of the index-th item of a kind. (Appended, not added with
// +: gcc 12 warns wrongly about `"literal" + std::to_string(...)` at -O3.)
std::string Numbered(const char* kind, size_t index) {
  std::string name = kind;
  name += std::to_string(index);
  return name;
}

void Set(void* object, const char* name, const std::string& value) {
  agsafeset(object, const_cast<char*>(name), const_cast<char*>(value.c_str()),
            const_cast<char*>(""));
}

template <class Item>
std::vector<const Item*> SortedById(const std::vector<Item>& items) {
  std::vector<const Item*> sorted;
  for (const Item& item : items) sorted.push_back(&item);
  std::sort(sorted.begin(), sorted.end(),
            [](const Item* a, const Item* b) { return a->id < b->id; });
  return sorted;
}

// dot's layout plugin, loaded once by LoadDotPlugin; empty when it could not
// be loaded (Graphviz then finds its plugins itself).
lt_symlist_t dot_plugin[] = {{nullptr, nullptr}, {nullptr, nullptr}};

struct GraphvizContext {
  GVC_t* context = dot_plugin[0].address ? gvContextPlugins(dot_plugin, 0) : gvContext();
  ~GraphvizContext() { gvFreeContext(context); }
};

// The graph handed to dot, with the Graphviz object of each id.
class DotGraph {
 public:
  DotGraph(const LayeredGraph& graph, GVC_t* context) : context_(context), spacing_(graph.spacing) {
    root_ = agopen(const_cast<char*>("layout"), Agdirected, nullptr);
    Set(root_, "rankdir", graph.direction == Direction::kLeftToRight ? "LR" : "TB");
    Set(root_, "splines", "polyline");
    // Unconnected parts in rows rather than side by side in one long rank;
    // Graphviz 2.43 crashes packing a graph with clusters.
    if (graph.clusters.empty()) Set(root_, "packmode", "array_u");
    Set(root_, "nodesep", Decimal(graph.spacing / kPixelsPerInch));
    Set(root_, "ranksep", Decimal(graph.spacing / kPixelsPerInch));
    for (const Cluster* cluster : SortedById(graph.clusters)) clusters_[cluster->id] = cluster;
    for (const Cluster* cluster : SortedById(graph.clusters)) Subgraph(cluster->id);
    for (const Node* node : SortedById(graph.nodes)) AddNode(*node);
    for (const Edge* edge : SortedById(graph.edges)) AddEdge(*edge);
  }
  DotGraph(const DotGraph&) = delete;
  DotGraph& operator=(const DotGraph&) = delete;
  ~DotGraph() {
    if (laid_out_) gvFreeLayout(context_, root_);
    agclose(root_);
  }

  void LayOut() {
    if (gvLayout(context_, root_, "dot") != 0) {
      throw std::runtime_error("Graphviz could not lay the graph out");
    }
    laid_out_ = true;
  }

  Geometry Read() const {
    Geometry geometry;
    for (const auto& [id, node] : nodes_) geometry.nodes[id] = NodeBox(node);
    for (const auto& [id, subgraph] : subgraphs_) geometry.clusters[id] = Css(GD_bb(subgraph));
    for (const auto& [id, edge] : edges_) geometry.edges[id] = Route(edge);
    return geometry;
  }

 private:
  // The subgraph of a cluster, made with its parents first.
  Agraph_t* Subgraph(const std::string& id) {
    if (id.empty()) return root_;
    if (const auto made = subgraphs_.find(id); made != subgraphs_.end()) return made->second;
    const Cluster& cluster = *clusters_.at(id);
    Agraph_t* parent = Subgraph(cluster.parent);
    const std::string name = Numbered("cluster", subgraphs_.size());
    Agraph_t* subgraph = agsubg(parent, const_cast<char*>(name.c_str()), 1);
    Set(subgraph, "margin", Decimal(spacing_ / 2 / kPixelsPerPoint));
    Set(subgraph, "labelloc", "t");
    Set(subgraph, "labeljust", "l");
    SetLabelRoom(subgraph, cluster);
    subgraphs_[id] = subgraph;
    return subgraph;
  }

  // An empty HTML table of the label's size holds the room for it.
  static void SetLabelRoom(Agraph_t* subgraph, const Cluster& cluster) {
    if (cluster.label_width <= 0 || cluster.label_height <= 0) return;
    const auto points = [](double pixels) {
      return std::to_string(std::lround(std::ceil(pixels / kPixelsPerPoint)));
    };
    const std::string table =
        R"(<TABLE BORDER="0" CELLBORDER="0" CELLSPACING="0" CELLPADDING="0" FIXEDSIZE="TRUE" WIDTH=")" +
        points(cluster.label_width) + R"(" HEIGHT=")" + points(cluster.label_height) +
        R"("><TR><TD></TD></TR></TABLE>)";
    char* label = agstrdup_html(agroot(subgraph), const_cast<char*>(table.c_str()));
    agsafeset(subgraph, const_cast<char*>("label"), label, const_cast<char*>(""));
    agstrfree(agroot(subgraph), label);
  }

  void AddNode(const Node& node) {
    const std::string name = Numbered("n", nodes_.size());
    Agnode_t* made = agnode(Subgraph(node.cluster), const_cast<char*>(name.c_str()), 1);
    Set(made, "shape", "box");
    Set(made, "fixedsize", "true");
    Set(made, "label", "");
    Set(made, "width", Decimal(node.width / kPixelsPerInch));
    Set(made, "height", Decimal(node.height / kPixelsPerInch));
    nodes_[node.id] = {made, node.width, node.height};
  }

  void AddEdge(const Edge& edge) {
    const std::string name = Numbered("e", edges_.size());
    Agedge_t* made = agedge(root_, nodes_.at(edge.from).node, nodes_.at(edge.to).node,
                            const_cast<char*>(name.c_str()), 1);
    Set(made, "dir", "none");
    edges_[edge.id] = made;
  }

  struct SizedNode {
    Agnode_t* node = nullptr;
    double width = 0;
    double height = 0;
  };

  canvas::Point Css(pointf point) const {
    const boxf bounds = GD_bb(root_);
    return {(point.x - bounds.LL.x) * kPixelsPerPoint, (bounds.UR.y - point.y) * kPixelsPerPoint};
  }

  canvas::Box Css(boxf box) const {
    const canvas::Point top_left = Css(pointf{box.LL.x, box.UR.y});
    return {top_left.x, top_left.y, (box.UR.x - box.LL.x) * kPixelsPerPoint,
            (box.UR.y - box.LL.y) * kPixelsPerPoint};
  }

  // The node's box: its centre from dot, its size as asked.
  canvas::Box NodeBox(const SizedNode& sized) const {
    const canvas::Point centre = Css(ND_coord(sized.node));
    return {centre.x - sized.width / 2, centre.y - sized.height / 2, sized.width, sized.height};
  }

  // A polyline spline is a Bézier list whose every third point is a corner.
  Polyline Route(Agedge_t* edge) const {
    Polyline points;
    const splines* spline = ED_spl(edge);
    for (int piece = 0; spline != nullptr && piece < spline->size; ++piece) {
      const bezier& curve = spline->list[piece];
      for (int index = points.empty() ? 0 : 3; index < curve.size; index += 3) {
        points.push_back(Css(curve.list[index]));
      }
    }
    return points;
  }

  GVC_t* context_;
  double spacing_;
  Agraph_t* root_ = nullptr;
  bool laid_out_ = false;
  std::map<std::string, const Cluster*> clusters_;
  std::map<std::string, Agraph_t*> subgraphs_;
  std::map<std::string, SizedNode> nodes_;
  std::map<std::string, Agedge_t*> edges_;
};

}  // namespace

void LoadDotPlugin() {
  static const bool loaded = [] {
    void* library =
        dlopen(TESSARY_GRAPHVIZ_PLUGIN_DIR "/libgvplugin_dot_layout.so.6", RTLD_NOW | RTLD_LOCAL);
    void* plugin = library ? dlsym(library, "gvplugin_dot_layout_LTX_library") : nullptr;
    if (plugin) dot_plugin[0] = {"gvplugin_dot_layout_LTX_library", plugin};
    return plugin != nullptr;
  }();
  (void)loaded;
}

Geometry LayOutWithGraphviz(const LayeredGraph& graph) {
  GraphvizContext context;
  DotGraph dot(graph, context.context);
  dot.LayOut();
  return dot.Read();
}

}  // namespace orba::layout
