// Scene: one diagram as the notation draws it — its frame, the elements it
// shows with their rectangles and compartments, and the connectors between
// them — read from the model in one go, so that drawing needs no store.
#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "orba/canvas/display_list.h"
#include "orba/diagrams/compartment_data.h"
#include "orba/diagrams/diagram_types.h"
#include "orba/store/model_session.h"

namespace orba::diagrams {

struct SceneObject {
  int32_t element_id = 0;
  std::string guid;
  std::string name;
  std::string type;        // the host's kind: "Class", "Port", "Requirement", ...
  std::string stereotype;  // "" for none
  std::string metatype;    // "" for none
  std::string notes;
  std::string type_name;                    // a part's or port's classifier (or property type) name
  std::map<std::string, std::string> tags;  // the first value of each tag
  int32_t owner_id = 0;                     // the owning element (a port's block); 0 for none
  bool placed = false;  // the diagram gives its rectangle; else LayOutScene places it
  canvas::Box box;
  std::vector<CompartmentData> compartments;
};

struct SceneLink {
  int32_t connector_id = 0;
  std::string guid;
  std::string name;
  std::string type;
  std::string stereotype;
  int32_t source_id = 0;  // the client's element id
  int32_t target_id = 0;  // the supplier's element id
  int32_t source_aggregation = 0;
  int32_t target_aggregation = 0;
  std::string source_role;
  std::string target_role;
  std::string direction;  // "Source -> Destination" unless the connector says otherwise
  std::map<std::string, std::string> tags;
  // The layout's path from source to target; empty: a straight line between
  // the shapes' borders.
  std::vector<canvas::Point> route;
};

struct Scene {
  std::string name;
  std::string guid;  // the diagram's key, for links to it; may be empty
  DiagramType type;
  std::string owner_name;
  std::vector<SceneObject> objects;  // in the diagram's order: later ones on top
  std::vector<SceneLink> links;      // visible links whose both ends are on the diagram
};

// The compartments an element's shape shows (what the add-in answers).
using CompartmentReader = std::function<std::vector<CompartmentData>(const SceneObject&)>;

// Reads the diagram. `types` are the diagram types of the installed
// technologies; a type not among them gets a frame with the diagram's name.
// Objects without a rectangle have an empty box until LayOutScene.
Scene ReadScene(store::ModelSession& session, const store::DiagramRow& diagram,
                const std::map<std::string, DiagramType>& types,
                const CompartmentReader& compartments);

// Adds the elements of `rows` (with their rectangles where given) that the
// model has, each with its compartments.
void AddObjects(Scene& scene, store::ModelSession& session,
                const std::vector<store::DiagramObjectRow>& rows,
                const CompartmentReader& compartments);
// Adds the connectors whose both ends are objects of the scene.
void AddLinks(Scene& scene, store::ModelSession& session,
              const std::vector<int32_t>& connector_ids);

}  // namespace orba::diagrams
