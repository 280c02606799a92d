#include "orba/canvas/validation.h"

#include <charconv>
#include <cmath>
#include <string>
#include <variant>

#include "orba/canvas/canvas_error.h"

namespace orba::canvas {
namespace {

// Checks one command; `where` names it in messages ("command 3 (a path)").
class CommandCheck {
 public:
  explicit CommandCheck(std::string where) : where_(std::move(where)) {}

  void operator()(const Rectangle& rectangle) const {
    CheckBox(rectangle.box);
    CheckLength("corner radius", rectangle.corner_radius);
    CheckLength("pen width", rectangle.pen.width);
  }
  void operator()(const Ellipse& ellipse) const {
    CheckBox(ellipse.box);
    CheckLength("pen width", ellipse.pen.width);
  }
  void operator()(const Path& path) const {
    if (!path.steps.empty() && path.steps.front().kind != PathStep::Kind::kMoveTo) {
      Fail("it does not start with a move");
    }
    for (const PathStep& step : path.steps) CheckPoint(step.point);
    CheckLength("pen width", path.pen.width);
  }
  void operator()(const Text& text) const {
    CheckPoint(text.at);
    CheckCoordinate("font size", text.font.size);
    if (text.font.size <= 0) {
      Fail("its font size is " + NumberText(text.font.size) + ", not positive");
    }
  }
  void operator()(const BeginGroup&) const {}
  void operator()(const EndGroup&) const {}

 private:
  [[noreturn]] void Fail(const std::string& problem) const {
    throw CanvasError("the display list's " + where_ + ": " + problem);
  }
  void CheckCoordinate(const char* name, double value) const {
    if (!std::isfinite(value) || std::abs(value) > kLargestCoordinate) {
      Fail("its " + std::string(name) + " is " + NumberText(value) +
           ", not a number the canvas draws (up to " + NumberText(kLargestCoordinate) + ")");
    }
  }
  void CheckLength(const char* name, double value) const {
    CheckCoordinate(name, value);
    if (value < 0) Fail("its " + std::string(name) + " is negative, " + NumberText(value));
  }
  void CheckPoint(const Point& point) const {
    CheckCoordinate("x", point.x);
    CheckCoordinate("y", point.y);
  }
  void CheckBox(const Box& box) const {
    CheckPoint({box.x, box.y});
    CheckLength("width", box.width);
    CheckLength("height", box.height);
  }

  std::string where_;
};

const char* KindOf(const Command& command) {
  static constexpr const char* kKinds[] = {"a rectangle", "an ellipse",   "a path",
                                           "a text",      "a BeginGroup", "an EndGroup"};
  return kKinds[command.index()];
}

void CheckSize(const char* name, double value) {
  if (!std::isfinite(value) || value <= 0 || value > kLargestCoordinate) {
    throw CanvasError("the display list's " + std::string(name) + " is " + NumberText(value) +
                      ", not a positive size the canvas draws");
  }
}

}  // namespace

std::string NumberText(double value) {
  char buffer[32];
  return std::string(buffer, std::to_chars(buffer, buffer + sizeof buffer, value).ptr);
}

void ValidateDisplayList(const DisplayList& list) {
  CheckSize("width", list.width);
  CheckSize("height", list.height);
  int open_groups = 0;
  for (size_t index = 0; index < list.commands.size(); ++index) {
    const Command& command = list.commands[index];
    const std::string where = "command " + std::to_string(index + 1) + " (" + KindOf(command) + ")";
    std::visit(CommandCheck(where), command);
    open_groups += std::holds_alternative<BeginGroup>(command);
    if (std::holds_alternative<EndGroup>(command) && --open_groups < 0) {
      throw CanvasError("the display list's " + where + ": it ends no group");
    }
  }
  if (open_groups > 0) {
    throw CanvasError("the display list has " + std::to_string(open_groups) +
                      " BeginGroup without its EndGroup");
  }
}

}  // namespace orba::canvas
