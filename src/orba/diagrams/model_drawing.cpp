#include "orba/diagrams/model_drawing.h"

#include <ostream>

#include "orba/diagrams/notation.h"
#include "orba/diagrams/scene_layout.h"

namespace orba::diagrams {

ModelDrawing::ModelDrawing(store::ModelRepository& repository, CompartmentReader compartments,
                           std::ostream& diagnostics)
    : repository_(repository),
      compartments_(std::move(compartments)),
      diagnostics_(diagnostics),
      scripts_(ScriptsOfTechnologies(ReadTechnologies(), diagnostics), measure_, diagnostics) {}

Scene ModelDrawing::Read(const store::DiagramRow& diagram) {
  return ReadScene(repository_.Session(), diagram, types_, compartments_);
}

std::vector<GeneratedView> ModelDrawing::Generate() {
  return GenerateViews(repository_.Session(), types_, compartments_);
}

canvas::DisplayList ModelDrawing::Draw(Scene& scene,
                                       const std::function<std::string(const std::string&)>& href) {
  const std::string fallback = LayOutScene(scene, measure_, kLayoutTimeLimit);
  if (!fallback.empty())
    diagnostics_ << "orba: diagram \"" << scene.name << "\" laid out in a grid: " << fallback
                 << "\n";
  return DrawScene(scene, {measure_, &scripts_, href});
}

// The installed technologies' documents, their diagram types noted.
std::vector<std::string> ModelDrawing::ReadTechnologies() {
  std::vector<std::string> documents;
  for (const std::string& id : repository_.TechnologyIds()) {
    documents.push_back(repository_.TechnologyDocument(id));
    CollectDiagramTypes(documents.back(), types_);
  }
  return documents;
}

}  // namespace orba::diagrams
