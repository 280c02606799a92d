// A block definition diagram of 1,000 blocks drawn with automatic layout
// (LayOutScene, DrawScene and the SVG writer, as `orba render --generate`
// does), beside Graphviz laying out the same graph alone in this process.
// The difference is sizing the shapes to their text, the layout's child
// process, and drawing.
#include <benchmark/benchmark.h>

#include <string>

#include "orba/canvas/svg_writer.h"
#include "orba/canvas/text_measure.h"
#include "orba/diagrams/notation.h"
#include "orba/diagrams/scene_layout.h"
#include "orba/layout/graphviz_layout.h"

namespace {

using orba::diagrams::Scene;

constexpr int kBlocks = 1000;
constexpr std::chrono::minutes kNoTimeLimit{10};

orba::diagrams::SceneObject Block(int index) {
  orba::diagrams::SceneObject block;
  block.element_id = index + 1;
  block.name = "Block";  // appended: gcc 12 warns wrongly about `"..." + std::to_string(...)`
  block.name += std::to_string(index);
  block.type = "Class";
  block.stereotype = "block";
  block.compartments.push_back(
      {"values",
       "",
       false,
       {{"mass : Real = " + std::to_string(index % 90), ""}, {"cost : Real", ""}}});
  return block;
}

orba::diagrams::SceneLink Link(int id, const char* type, int source, int target, int aggregation) {
  orba::diagrams::SceneLink link;
  link.connector_id = id;
  link.type = type;
  link.source_id = source + 1;
  link.target_id = target + 1;
  link.source_aggregation = aggregation;
  return link;
}

// A composition tree with a generalization every tenth block.
Scene BlockDiagram() {
  Scene scene;
  scene.name = "Blocks";
  scene.type = {"SysML::BlockDefinition",
                "BlockDefinition",
                "Diagram_Logical",
                "",
                "bdd",
                "bdd [#DGMTYPE#] #PKGNAME# [#DGMNAME#]",
                ""};
  scene.owner_name = "Structure";
  for (int index = 0; index < kBlocks; ++index) {
    scene.objects.push_back(Block(index));
    if (index == 0) continue;
    scene.links.push_back(Link(index, "Aggregation", (index - 1) / 3, index, 2));
    if (index % 10 == 0)
      scene.links.push_back(Link(kBlocks + index, "Generalization", index, index / 7, 0));
  }
  return scene;
}

// Drawing first, forked from a process that has not run Graphviz, as in orba.
void BM_DrawWithLayout(benchmark::State& state) {
  const orba::canvas::PangoTextMeasure measure;
  const Scene diagram = BlockDiagram();
  for (auto _ : state) {
    Scene scene = diagram;
    const std::string fallback = orba::diagrams::LayOutScene(scene, measure, kNoTimeLimit);
    if (!fallback.empty()) state.SkipWithError(fallback.c_str());
    const std::string svg =
        orba::canvas::WriteSvg(orba::diagrams::DrawScene(scene, {measure, nullptr, nullptr}));
    benchmark::DoNotOptimize(svg);
  }
}
BENCHMARK(BM_DrawWithLayout)->Unit(benchmark::kMillisecond)->UseRealTime();

// The plain cost: Graphviz's dot on the graph the drawing asks the layout
// for, shapes already sized.
void BM_GraphvizAlone(benchmark::State& state) {
  const orba::canvas::PangoTextMeasure measure;
  const orba::layout::LayoutRequest request =
      orba::diagrams::LayoutRequestOf(BlockDiagram(), measure);
  const orba::layout::LayeredGraph graph{request.nodes, request.clusters, request.edges,
                                         request.direction, request.spacing};
  for (auto _ : state) benchmark::DoNotOptimize(orba::layout::LayOutWithGraphviz(graph));
}
BENCHMARK(BM_GraphvizAlone)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
