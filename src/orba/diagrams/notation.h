// Notation: draws a Scene as the host shows SysML diagrams — the frame with
// its name box, each element's shape by its kind and stereotype with its
// compartments, ports on their owner's border, and each connector with its
// line style, arrowheads, keyword and role names. Stereotypes with a shape
// script are drawn by it (ScriptedShapes); the rest by the host's notation.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "orba/canvas/display_list.h"
#include "orba/canvas/text_measure.h"
#include "orba/diagrams/scene.h"

namespace orba::diagrams {

// Which edge of its owner's shape a port sits on.
enum class Edge { kLeft, kRight, kTop, kBottom };
const char* EdgeName(Edge edge);  // "left", "right", "top", "bottom"

// What an element's shape script decided beside what it drew: how far its
// connection anchors moved inward from each side.
struct ObjectLook {
  double inset_top = 0;
  double inset_left = 0;
  double inset_right = 0;
  double inset_bottom = 0;
};

// What a connector's shape script decided beside what it drew (it draws
// the line itself).
struct LinkLook {
  bool source_end = true;  // the host's decoration at the source end
  bool target_end = true;
  std::optional<std::string> middle_top_label;     // nullopt: the host's own label
  std::optional<std::string> middle_bottom_label;  // "" hides it
};

// Draws the shapes whose stereotypes carry a shape script.
class ScriptedShapes {
 public:
  virtual ~ScriptedShapes() = default;
  // Draws the object when its stereotype has a script that runs; nullopt
  // when it has none or the script failed (the plain shape is drawn then).
  // `edge` is set for a port on its owner's border.
  virtual std::optional<ObjectLook> DrawObject(const SceneObject& object, std::optional<Edge> edge,
                                               canvas::DisplayList& list) = 0;
  // Runs the connector's script on the line from `from` to `to`; nullopt
  // when it has none or the script failed.
  virtual std::optional<LinkLook> DrawLink(const SceneLink& link, canvas::Point from,
                                           canvas::Point to, canvas::DisplayList& list) = 0;
};

struct DrawingContext {
  const canvas::TextMeasure& measure;
  ScriptedShapes* scripts = nullptr;  // null: every shape as the host draws it
  // The link each object's group carries (by GUID); null or "": none.
  std::function<std::string(const std::string& guid)> href;
};

// The size an object's shape needs for what DrawScene draws in it (keyword,
// name, every compartment row); ports and control nodes are small.
struct ShapeSize {
  double width = 0;
  double height = 0;
};
ShapeSize NaturalSizeOf(const SceneObject& object, const canvas::TextMeasure& measure);

// The whole picture: frame and contents, moved so that it starts at the
// top-left margin whatever the objects' coordinates.
canvas::DisplayList DrawScene(const Scene& scene, const DrawingContext& context);

}  // namespace orba::diagrams
