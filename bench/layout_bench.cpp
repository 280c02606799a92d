// The layout of 1,000 nodes in 20 clusters (a tree with a cross link every
// tenth node) through Layout, beside Graphviz laying out the same graph alone
// in this process. The difference is the child process, the encoding of its
// answer through the pipe and placing the result.
#include <benchmark/benchmark.h>

#include <string>

#include "orba/layout/graphviz_layout.h"
#include "orba/layout/layout.h"

namespace {

using orba::layout::Cluster;
using orba::layout::Edge;
using orba::layout::LayeredGraph;
using orba::layout::Node;

constexpr int kNodes = 1000;
constexpr int kClusters = 20;

std::string Name(const char* kind, int index) {
  std::string name = kind;  // appended: gcc 12 warns wrongly about `kind + std::to_string(...)`
  name += std::to_string(index);
  return name;
}

LayeredGraph Graph() {
  LayeredGraph graph;
  for (int index = 0; index < kClusters; ++index)
    graph.clusters.push_back({Name("c", index), "", 80, 16});
  for (int index = 0; index < kNodes; ++index) {
    const double width = 60.0 + index % 7 * 15;
    const double height = 30.0 + index % 5 * 10;
    graph.nodes.push_back(
        {Name("n", index), width, height, std::nullopt, Name("c", index % kClusters)});
    if (index == 0) continue;
    graph.edges.push_back({Name("tree", index), Name("n", (index - 1) / 3), Name("n", index)});
    if (index % 10 == 0)
      graph.edges.push_back({Name("cross", index), Name("n", index), Name("n", index / 7)});
  }
  return graph;
}

// Layout first, forked from a process that has not run Graphviz, as in orba.
void BM_Layout(benchmark::State& state) {
  const LayeredGraph graph = Graph();
  const orba::layout::LayoutRequest request{graph.nodes,
                                            {},
                                            graph.clusters,
                                            graph.edges,
                                            graph.direction,
                                            graph.spacing,
                                            std::chrono::minutes(10)};
  for (auto _ : state) {
    const orba::layout::LayoutResult result = orba::layout::Layout(request);
    if (result.fell_back) state.SkipWithError(result.fallback_reason.c_str());
    benchmark::DoNotOptimize(result);
  }
}
BENCHMARK(BM_Layout)->Unit(benchmark::kMillisecond);

// The plain cost: Graphviz's dot on the graph, in this process.
void BM_GraphvizAlone(benchmark::State& state) {
  const LayeredGraph graph = Graph();
  for (auto _ : state) benchmark::DoNotOptimize(orba::layout::LayOutWithGraphviz(graph));
}
BENCHMARK(BM_GraphvizAlone)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
