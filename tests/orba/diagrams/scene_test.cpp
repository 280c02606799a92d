// What a scene holds of its diagram, before any of it is drawn.
#include "orba/diagrams/scene.h"

#include <gtest/gtest.h>

#include "orba/store/json_model.h"

namespace orba::diagrams {
namespace {

// Objects come in the diagram's order with what their shapes show; links
// only when visible and both ends are shown; a connector's direction is
// the host's default unless it gives one; the frame's owner is the package.
TEST(SceneTest, HoldsWhatTheDiagramShowsInItsOrder) {
  store::ModelRepository repository;
  repository.CreateInMemoryModel();
  ImportJsonModel(repository, R"({"packages": [{"key": "p", "name": "Structure"}], "elements": [
      {"key": "b", "package": "p", "type": "Class", "name": "Car", "tags": [{"name": "t", "value": "1"}, {"name": "t", "value": "2"}]},
      {"key": "w", "package": "p", "type": "Class", "name": "Wheel"},
      {"key": "part", "parent": "b", "type": "Part", "name": "front", "classifier": "w"}],
    "connectors": [{"key": "c1", "type": "Association", "client": "b", "supplier": "part", "supplierRole": "r", "direction": "Destination -> Source"},
                   {"key": "c2", "type": "Association", "client": "b", "supplier": "w"},
                   {"key": "c3", "type": "Association", "client": "part", "supplier": "b"}],
    "diagrams": [{"package": "p", "name": "D", "type": "Unknown", "key": "k",
      "objects": [{"element": "part", "x": 5, "y": 6, "w": 7, "h": 8}, {"element": "b"}],
      "links": [{"connector": "c1"}, {"connector": "c2"}, {"connector": "c3", "hidden": true}]}]})");
  store::ModelSession& session = repository.Session();
  int compartment_calls = 0;
  const Scene scene = ReadScene(session, session.AllDiagrams().at(0), {}, [&](const SceneObject&) {
    ++compartment_calls;
    return std::vector<CompartmentData>{};
  });
  EXPECT_EQ(scene.owner_name, "Structure");
  EXPECT_EQ(scene.guid, "k");
  EXPECT_EQ(scene.type.frame_string, "#DGMNAME#");
  ASSERT_EQ(scene.objects.size(), 2u);
  EXPECT_EQ(compartment_calls, 2);
  const SceneObject& part = scene.objects[0];
  EXPECT_EQ(part.name + " : " + part.type_name, "front : Wheel");
  EXPECT_EQ(part.owner_id, scene.objects[1].element_id);
  EXPECT_EQ(part.box, (canvas::Box{5, 6, 7, 8}));
  EXPECT_EQ(scene.objects[1].tags.at("t"), "1");
  EXPECT_TRUE(part.placed);
  EXPECT_FALSE(scene.objects[1].placed);
  ASSERT_EQ(scene.links.size(), 1u);
  EXPECT_EQ(scene.links[0].target_role, "r");
  EXPECT_EQ(scene.links[0].direction, "Destination -> Source");
}

}  // namespace
}  // namespace orba::diagrams
