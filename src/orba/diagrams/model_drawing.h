// ModelDrawing: the diagrams of one model drawn as the host shows them. The
// installed technologies' diagram types and shape scripts are read once;
// each scene is then laid out where the diagram places nothing and drawn
// into a display list.
#pragma once

#include <chrono>
#include <functional>
#include <iosfwd>
#include <map>
#include <string>
#include <vector>

#include "orba/canvas/text_measure.h"
#include "orba/diagrams/generated_views.h"
#include "orba/diagrams/scene.h"
#include "orba/diagrams/scripted_shapes.h"
#include "orba/store/model_repository.h"

namespace orba::diagrams {

class ModelDrawing {
 public:
  // `compartments` answers what each element's shape shows; layout
  // fallbacks and script errors are told on `diagnostics`.
  ModelDrawing(store::ModelRepository& repository, CompartmentReader compartments,
               std::ostream& diagnostics);

  // The diagram as stored, not yet laid out.
  Scene Read(const store::DiagramRow& diagram);
  // Views made for the model (GenerateViews), not yet laid out.
  std::vector<GeneratedView> Generate();
  // Places what the scene leaves unplaced, then draws it; `href` gives the
  // link of each object's group by GUID (none when empty).
  canvas::DisplayList Draw(Scene& scene,
                           const std::function<std::string(const std::string&)>& href = {});

 private:
  std::vector<std::string> ReadTechnologies();

  // How long a diagram's automatic layout may take before a grid stands in.
  static constexpr std::chrono::milliseconds kLayoutTimeLimit{10000};

  store::ModelRepository& repository_;
  CompartmentReader compartments_;
  std::ostream& diagnostics_;
  canvas::PangoTextMeasure measure_;
  std::map<std::string, DiagramType> types_;
  TechnologyShapeScripts scripts_;
};

}  // namespace orba::diagrams
