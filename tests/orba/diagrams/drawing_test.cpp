// Diagrams drawn from small models to SVG, checked on the document: the
// cases are in cases/drawings.txt (format at its top).
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "example_technology.h"
#include "orba/canvas/svg_writer.h"
#include "orba/canvas/text_measure.h"
#include "orba/diagrams/notation.h"
#include "orba/diagrams/scene_layout.h"
#include "orba/diagrams/scripted_shapes.h"
#include "orba/store/json_model.h"

namespace orba::diagrams {
namespace {

struct DrawingCase {
  std::string name;
  std::string model;
  std::map<std::string, std::vector<std::string>> compartments;  // by element key
  std::map<std::string, std::string> scripts;                    // replacing the technology's
  std::vector<std::pair<std::string, std::string>> checks;       // has|lacks|said, text
  friend void PrintTo(const DrawingCase& c, std::ostream* out) { *out << c.name; }
};

std::string Unescaped(std::string text) {
  for (size_t at = text.find("\\n"); at != std::string::npos; at = text.find("\\n", at + 1))
    text.replace(at, 2, "\n");
  return text;
}

std::vector<DrawingCase> Cases() {
  const std::string file = TESSARY_SOURCE_ROOT "/tests/orba/diagrams/cases/drawings.txt";
  std::ifstream in(file);
  if (!in) throw std::runtime_error("cannot read the case file " + file);
  std::vector<DrawingCase> cases;
  for (std::string line; std::getline(in, line);) {
    if (line.empty() || line.starts_with("#")) continue;
    const size_t space = line.find(' ');
    const std::string verb = line.substr(0, space), rest = line.substr(space + 1);
    if (verb == "==") {
      cases.push_back({rest, "", {}, {}, {}});
    } else if (verb == "model") {
      cases.back().model = rest;
    } else if (verb == "compartment" || verb == "script") {
      const size_t split = rest.find(' ');
      if (verb == "script") {
        cases.back().scripts[rest.substr(0, split)] = rest.substr(split + 1);
      } else {
        cases.back().compartments[rest.substr(0, split)].push_back(rest.substr(split + 1));
      }
    } else {
      cases.back().checks.emplace_back(verb, Unescaped(rest));
    }
  }
  return cases;
}

struct Drawn {
  std::string svg;
  std::string said;
};

Drawn Draw(const DrawingCase& c) {
  store::ModelRepository repository;
  repository.CreateInMemoryModel();
  const store::KeyMap keys = ImportJsonModel(repository, c.model).keys;
  store::ModelSession& session = repository.Session();
  std::map<std::string, std::vector<CompartmentData>> compartments;  // by GUID
  for (const auto& [key, answers] : c.compartments) {
    const std::string guid = session.FindElement(keys.elements.at(key))->guid;
    for (const std::string& answer : answers)
      compartments[guid].push_back(*ParseCompartmentData(answer));
  }
  std::map<std::string, DiagramType> types;
  CollectDiagramTypes(ExampleTechnology(), types);
  std::ostringstream said;
  std::map<std::string, std::string> scripts = ScriptsOfTechnologies({ExampleTechnology()}, said);
  for (const auto& [stereotype, text] : c.scripts) scripts[stereotype] = text;
  const canvas::PangoTextMeasure measure;
  TechnologyShapeScripts shapes(scripts, measure, said);
  Scene scene = ReadScene(session, session.AllDiagrams().at(0), types,
                          [&](const SceneObject& object) { return compartments[object.guid]; });
  said << LayOutScene(scene, measure, std::chrono::seconds(10));
  return {canvas::WriteSvg(DrawScene(scene, {measure, &shapes, nullptr})), said.str()};
}

class DrawingTest : public testing::TestWithParam<DrawingCase> {};

TEST_P(DrawingTest, DrawsWhatTheCaseSays) {
  const Drawn drawn = Draw(GetParam());
  for (const auto& [verb, text] : GetParam().checks) {
    const bool found = (verb == "said" ? drawn.said : drawn.svg).find(text) != std::string::npos;
    EXPECT_EQ(found, verb != "lacks") << verb << " " << text << "\n" << drawn.svg << drawn.said;
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, DrawingTest, testing::ValuesIn(Cases()),
                         [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace orba::diagrams
