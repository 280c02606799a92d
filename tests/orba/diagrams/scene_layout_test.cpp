// Room for ports and their names in an internal block diagram laid out
// automatically: a part's ports on one side stand far enough apart for a
// name above each, and ports facing each other across a gap leave room for
// both names in it.
#include "orba/diagrams/scene_layout.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace orba::diagrams {
namespace {

SceneObject Object(int32_t id, const std::string& type, const std::string& name, int32_t owner) {
  SceneObject object;
  object.element_id = id;
  object.name = name;
  object.type = type;
  object.owner_id = owner;
  return object;
}

SceneLink Link(int32_t id, int32_t source, int32_t target) {
  SceneLink link;
  link.connector_id = id;
  link.type = "Connector";
  link.source_id = source;
  link.target_id = target;
  return link;
}

// The engine part's four ports joined to the tank part's one port, all without places.
Scene FourPortsToOne() {
  Scene scene;
  scene.type.diagram_id = "ibd";
  scene.objects = {Object(1, "Part", "engine", 0), Object(2, "Part", "tank", 0)};
  for (int32_t port = 11; port <= 14; ++port) {
    scene.objects.push_back(Object(port, "Port", "a rather long port name", 1));
    scene.links.push_back(Link(port, port, 20));
  }
  scene.objects.push_back(Object(20, "Port", "another long port name", 2));
  return scene;
}

TEST(SceneLayoutTest, LeavesRoomForPortNamesOnTheBordersAndAcrossTheGaps) {
  const canvas::PangoTextMeasure measure;
  Scene scene = FourPortsToOne();
  ASSERT_EQ(LayOutScene(scene, measure, std::chrono::seconds(10)), "");
  const double line = measure.Measure("Ag", canvas::Font{}).Height();
  const double name = measure.Measure("a rather long port name", canvas::Font{}).width;
  std::vector<canvas::Box> ports;
  for (const SceneObject& object : scene.objects)
    if (object.owner_id == 1) ports.push_back(object.box);
  std::sort(ports.begin(), ports.end(), [](auto& a, auto& b) { return a.y < b.y; });
  for (size_t index = 1; index < ports.size(); ++index) {
    EXPECT_EQ(ports[index].x, ports[0].x) << "all on the side facing the tank";
    EXPECT_GE(ports[index].y, ports[index - 1].y + ports[index - 1].height + line);
  }
  const canvas::Box& across = scene.objects.back().box;
  EXPECT_GE(across.x - (ports[0].x + ports[0].width), 2 * name) << "both names fit in the gap";
}

}  // namespace
}  // namespace orba::diagrams
