// ModelDrawing: a model's diagrams read and drawn with its technology's
// diagram types and shape scripts, each object's group carrying the link it
// is given; a model without diagrams has views generated for it.
#include "orba/diagrams/model_drawing.h"

#include <gtest/gtest.h>

#include <sstream>

#include "orba/store/json_model.h"

namespace orba::diagrams {
namespace {

CompartmentReader NoCompartments() {
  return [](const SceneObject&) { return std::vector<CompartmentData>{}; };
}

// The links of the list's object groups, by GUID.
std::map<std::string, std::string> ObjectLinks(const canvas::DisplayList& list) {
  std::map<std::string, std::string> links;
  for (const canvas::Command& command : list.commands) {
    const auto* group = std::get_if<canvas::BeginGroup>(&command);
    if (group && group->kind == "object") links[group->guid] = group->href;
  }
  return links;
}

TEST(ModelDrawingTest, TheExamplesDiagramsAreDrawnWithEveryObjectLinked) {
  store::ModelRepository repository;
  repository.Open(TESSARY_BUILD_BIN_DIR "/SysML Example.obx",
                  store::ModelRepository::Access::kReadOnly);
  std::ostringstream diagnostics;
  ModelDrawing drawing(repository, NoCompartments(), diagnostics);
  const std::vector<store::DiagramRow> diagrams = repository.Session().AllDiagrams();
  ASSERT_EQ(diagrams.size(), 11u);
  for (const store::DiagramRow& diagram : diagrams) {
    Scene scene = drawing.Read(diagram);
    EXPECT_EQ(scene.type.name, diagram.type);  // a type of the loaded technology
    const auto links =
        ObjectLinks(drawing.Draw(scene, [](const std::string& guid) { return "page-of-" + guid; }));
    EXPECT_FALSE(scene.objects.empty()) << diagram.name;
    for (const SceneObject& object : scene.objects)
      EXPECT_EQ(links.at(object.guid), "page-of-" + object.guid) << diagram.name;
  }
  EXPECT_EQ(diagnostics.str(), "");
}

TEST(ModelDrawingTest, AModelWithoutDiagramsHasViewsGeneratedAndDrawnWithoutLinks) {
  store::ModelRepository repository;
  repository.CreateInMemoryModel();
  store::ImportJsonModel(repository, R"({"packages": [{"key": "root", "name": "Model"}],
    "elements": [{"key": "car", "package": "root", "type": "Class", "name": "Car",
                  "metatype": "Block", "guid": "{CAR}"}]})");
  std::ostringstream diagnostics;
  ModelDrawing drawing(repository, NoCompartments(), diagnostics);
  std::vector<GeneratedView> views = drawing.Generate();
  ASSERT_EQ(views.size(), 1u);
  EXPECT_EQ(views[0].file_stem, "bdd-Model");
  EXPECT_EQ(ObjectLinks(drawing.Draw(views[0].scene)),
            (std::map<std::string, std::string>{{"{CAR}", ""}}));
}

}  // namespace
}  // namespace orba::diagrams
