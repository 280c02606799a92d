// Graphviz's layout in the calling process, beside what Layout makes of the
// same graph through its child process: the same drawing, moved as a whole.
#include "orba/layout/graphviz_layout.h"

#include <gtest/gtest.h>

namespace orba::layout {
namespace {

// The corners of every box and the points of every route, in the order of their ids.
template <class Drawing>
std::vector<canvas::Point> Points(const Drawing& drawing) {
  std::vector<canvas::Point> points;
  for (const auto* boxes : {&drawing.nodes, &drawing.clusters}) {
    for (const auto& entry : *boxes) {
      points.push_back({entry.second.x, entry.second.y});
      points.push_back({entry.second.x + entry.second.width, entry.second.y + entry.second.height});
    }
  }
  for (const auto& entry : drawing.edges) {
    points.insert(points.end(), entry.second.begin(), entry.second.end());
  }
  return points;
}

TEST(GraphvizLayoutTest, LayoutMovesGraphvizsDrawingAsAWhole) {
  for (const Direction direction : {Direction::kTopToBottom, Direction::kLeftToRight}) {
    LayeredGraph graph;
    graph.direction = direction;
    graph.clusters = {{"outer", "", 90, 20}, {"inner", "outer", 40, 12}};
    graph.nodes = {{"a", 70, 40, std::nullopt, "inner"},
                   {"b", 55, 35, std::nullopt, "outer"},
                   {"c", 80, 20, std::nullopt, ""},
                   {"d", 30, 60, std::nullopt, ""}};
    graph.edges = {
        {"e1", "a", "b"}, {"e2", "b", "c"}, {"e3", "c", "a"}, {"e4", "a", "d"}, {"e5", "d", "d"}};
    const Geometry drawn = LayOutWithGraphviz(graph);
    const LayoutResult result =
        Layout({graph.nodes, {}, graph.clusters, graph.edges, direction, graph.spacing});
    const std::vector<canvas::Point> moved = Points(result);
    const std::vector<canvas::Point> points = Points(drawn);
    ASSERT_EQ(moved.size(), points.size());
    for (size_t index = 0; index < moved.size(); ++index) {
      EXPECT_NEAR(moved[index].x - moved[0].x, points[index].x - points[0].x, 1e-9) << index;
      EXPECT_NEAR(moved[index].y - moved[0].y, points[index].y - points[0].y, 1e-9) << index;
    }
  }
}

}  // namespace
}  // namespace orba::layout
