// The interpreter of shape scripts: runs a parsed script (parser.h) onto a
// display list.
//
// An element's script draws its shape "main" in the element's box: script
// coordinates 0..100 span the box. A connector's script draws "main" along
// the line from the source point to the target point: x 0..100 runs along
// the line, y is in px across it (positive to the right of the direction of
// travel, which is downwards for a line drawn left to right). A shape that
// addsubshape draws gets a box of the given percentages of its parent's
// box, at the parent's origin, and starts with its parent's pen, fill and
// alignment; what it changes stays its own. print places one line of text
// in the shape's box (script 0..100 both ways; on a connector 100 px across)
// by h_align and v_align (left and top unless set).
//
// A connector's shapes "source" and "target" are its end decorations, drawn
// at that end (x away from the end along the line, y across it, both in
// px); having one, even an empty one, replaces the host's own decoration.
// Its label shapes (lefttoplabel, leftbottomlabel, middletoplabel,
// middlebottomlabel, righttoplabel, rightbottomlabel) draw nothing: what
// they print is the label's text, and one that prints nothing hides its
// label.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "orba/canvas/display_list.h"
#include "orba/canvas/text_measure.h"
#include "orba/shape_script/syntax.h"

namespace orba::shape_script {

// What the diagram gives a shape before its script changes anything.
struct Style {
  canvas::Pen pen;
  std::optional<canvas::Colour> fill;
  canvas::Font font;
  canvas::Colour text_colour = canvas::kBlack;
  canvas::Colour user_border_colour = canvas::kBlack;  // getuserbordercolor()
};

// The item a script draws, as the script sees it.
class Context {
 public:
  virtual ~Context() = default;
  // The value of the item's tag (hastag, #TAG:name#); "" when it has none.
  virtual std::string Tag(const std::string& name) const = 0;
  // The value of one of the item's properties (hasproperty): "name" and
  // "type" (#NAME#, #PROPERTYTYPE#), "parentedge" (right, left, top, bottom:
  // the owner's edge a port sits on), "direction" ("Source -> Destination",
  // "Destination -> Source"), ...; "" when it has none.
  virtual std::string Property(const std::string& name) const = 0;
  // Draws the host's own shape of the item within `box` (drawnativeshape()).
  virtual void DrawNativeShape(const canvas::Box& box, canvas::DisplayList& list) const = 0;
  virtual const canvas::TextMeasure& Measure() const = 0;
  virtual Style DefaultStyle() const = 0;
};

// How far inward the script moved the item's connection anchors, in px.
struct AnchorInsets {
  double top = 0;
  double left = 0;
  double right = 0;
  double bottom = 0;
  friend bool operator==(const AnchorInsets&, const AnchorInsets&) = default;
};

// What the caller needs beyond the drawing.
struct Outcome {
  bool shadow = true;  // noshadow = "true" turns it off
  AnchorInsets anchor_insets;
  // The texts of the connector's labels that the script has a shape for, by
  // the shape's name; "" hides the label. Others keep the host's text.
  std::map<std::string, std::string> labels;
  bool host_source_end = true;  // false: the script has a shape "source"
  bool host_target_end = true;  // false: the script has a shape "target"
};

// Draw the script onto `list`. Throw ShapeScriptError naming the script,
// line and column when a value is not one the command takes (a colour
// beyond 0..255, an unknown line style, ...); `list` is then unchanged.
Outcome DrawElement(const Script& script, const canvas::Box& box, const Context& context,
                    canvas::DisplayList& list);
Outcome DrawConnector(const Script& script, canvas::Point source, canvas::Point target,
                      const Context& context, canvas::DisplayList& list);

// The interpreter's commands, as the parser checks them.
enum class CommandRole { kDrawing, kCondition, kColour };
struct CommandForm {
  CommandRole role = CommandRole::kDrawing;
  // The argument lists it accepts, a letter per argument: n a number, s a
  // string, c a colour (a call of a colour command).
  std::vector<std::string_view> signatures;
};
// The command of that (lower-case) name; null when there is none.
const CommandForm* FindCommand(std::string_view name);
// Whether the script may assign that (lower-case) attribute.
bool IsAttribute(std::string_view name);

}  // namespace orba::shape_script
