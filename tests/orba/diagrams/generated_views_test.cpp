// Views generated for the real models of other tools (../shared/realdata):
// every one is laid out without a fallback, no two objects overlap unless one
// surrounds the other (a block around its parts, a part under its ports), and
// laying out the same view again gives the same boxes.
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

// Whether `outer` surrounds `inner` on the diagram: an owner shown around
// its parts, or on whose border its ports sit, directly or further up.
bool Surrounds(const Scene& scene, const SceneObject& outer, const SceneObject& inner) {
  std::map<int32_t, int32_t> owners;
  for (const SceneObject& object : scene.objects) owners[object.element_id] = object.owner_id;
  for (int32_t owner = inner.owner_id; owners.contains(owner); owner = owners.at(owner)) {
    if (owner == outer.element_id) return true;
  }
  return false;
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
    const std::vector<SceneObject>& objects = view.scene.objects;
    for (size_t i = 0; i < objects.size(); ++i) {
      EXPECT_GT(objects[i].box.width * objects[i].box.height, 0) << objects[i].name;
      EXPECT_EQ(objects[i].box, again.objects[i].box);
      for (size_t j = i + 1; j < objects.size(); ++j) {
        if (Surrounds(view.scene, objects[i], objects[j]) ||
            Surrounds(view.scene, objects[j], objects[i]))
          continue;
        EXPECT_FALSE(Overlap(objects[i].box, objects[j].box))
            << objects[i].name << " / " << objects[j].name;
      }
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
