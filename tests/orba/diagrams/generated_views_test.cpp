// Views generated for the real models of other tools (../shared/realdata):
// every one is laid out without a fallback, nothing laid out side by side
// overlaps, and laying out the same view again gives the same boxes.
#include "orba/diagrams/generated_views.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "example_technology.h"
#include "orba/canvas/text_measure.h"
#include "orba/diagrams/scene_layout.h"
#include "orba/interchange/xmi_reader.h"
#include "orba/store/json_model.h"

namespace orba::diagrams {
namespace {

const std::filesystem::path kRealData = TESSARY_SOURCE_ROOT "/../shared/realdata/xmi";

std::vector<std::string> Fixtures() {
  std::vector<std::string> files;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(kRealData)) {
    const std::string extension = entry.path().extension().string();
    if (extension == ".uml" ||
        (extension == ".xml" && entry.path().parent_path().filename() == "nist-dels-sysml14"))
      files.push_back(std::filesystem::relative(entry.path(), kRealData).string());
  }
  std::sort(files.begin(), files.end());
  return files;
}

std::string Text(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

bool Overlap(const canvas::Box& a, const canvas::Box& b) {
  return a.x < b.x + b.width && b.x < a.x + a.width && a.y < b.y + b.height && b.y < a.y + a.height;
}

// The objects laid out side by side: not ports, not the parts a holder surrounds.
std::vector<const SceneObject*> SideBySide(const Scene& scene) {
  std::set<int32_t> shown;
  for (const SceneObject& object : scene.objects) shown.insert(object.element_id);
  std::vector<const SceneObject*> objects;
  for (const SceneObject& object : scene.objects) {
    if (object.type != "Port" && !shown.contains(object.owner_id)) objects.push_back(&object);
  }
  return objects;
}

class GeneratedViewsTest : public testing::TestWithParam<std::string> {};

TEST_P(GeneratedViewsTest, AreLaidOutWithoutOverlapsAndTheSameEveryTime) {
  const std::filesystem::path file = kRealData / GetParam();
  interchange::XmiOptions options;
  const interchange::XmiImport imported = interchange::ReadXmi(Text(file), file.string(), options);
  store::ModelRepository repository;
  repository.CreateInMemoryModel();
  store::ImportJsonModel(repository, imported.document.dump());
  repository.InstallTechnology(ExampleTechnology());
  std::map<std::string, DiagramType> types;
  CollectDiagramTypes(ExampleTechnology(), types);
  const canvas::PangoTextMeasure measure;
  const auto no_compartments = [](const SceneObject&) { return std::vector<CompartmentData>{}; };
  for (GeneratedView& view : GenerateViews(repository.Session(), types, no_compartments)) {
    SCOPED_TRACE(view.file_stem);
    Scene again = view.scene;
    EXPECT_EQ(LayOutScene(view.scene, measure, std::chrono::seconds(20)), "");
    LayOutScene(again, measure, std::chrono::seconds(20));
    const std::vector<const SceneObject*> objects = SideBySide(view.scene);
    for (size_t i = 0; i < objects.size(); ++i) {
      EXPECT_GT(objects[i]->box.width * objects[i]->box.height, 0) << objects[i]->name;
      EXPECT_EQ(objects[i]->box, again.objects[size_t(objects[i] - view.scene.objects.data())].box);
      for (size_t j = i + 1; j < objects.size(); ++j)
        EXPECT_FALSE(Overlap(objects[i]->box, objects[j]->box))
            << objects[i]->name << " / " << objects[j]->name;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(RealModels, GeneratedViewsTest, testing::ValuesIn(Fixtures()),
                         [](const auto& info) {
                           std::string name = std::filesystem::path(info.param).stem().string();
                           for (char& c : name)
                             c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
                           return name;
                         });

}  // namespace
}  // namespace orba::diagrams
