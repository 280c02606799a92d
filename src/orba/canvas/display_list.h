// DisplayList: what a diagram looks like, as a list of drawing commands in
// one coordinate space (units of 1/96 inch, y downwards). Notation and shape
// scripts fill it; the renderers (SVG, PNG, PDF) only draw it, so every
// output shows the same picture.
//
// Text is laid out before it reaches the list: a Text command is one line at
// a baseline point, placed with TextMeasure (text_measure.h), so that all
// three renderers put each line at the same place.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace orba::canvas {

struct Point {
  double x = 0;
  double y = 0;
  friend bool operator==(const Point&, const Point&) = default;
};

struct Box {
  double x = 0;
  double y = 0;
  double width = 0;
  double height = 0;
  friend bool operator==(const Box&, const Box&) = default;
};

struct Colour {
  uint8_t red = 0;
  uint8_t green = 0;
  uint8_t blue = 0;
  friend bool operator==(const Colour&, const Colour&) = default;
};

inline constexpr Colour kBlack{0, 0, 0};
inline constexpr Colour kWhite{255, 255, 255};

enum class LineStyle { kSolid, kDash, kDot, kDashDot };

struct Pen {
  Colour colour = kBlack;
  double width = 1;
  LineStyle style = LineStyle::kSolid;
  friend bool operator==(const Pen&, const Pen&) = default;
};

struct Font {
  std::string family = "Liberation Sans";
  double size = 9;  // points
  bool bold = false;
  bool italic = false;
  friend bool operator==(const Font&, const Font&) = default;
};

// A rectangle; rounded when corner_radius > 0. No fill: only its outline.
struct Rectangle {
  Box box;
  double corner_radius = 0;
  Pen pen;
  std::optional<Colour> fill;
};

struct Ellipse {
  Box box;
  Pen pen;
  std::optional<Colour> fill;
};

// A path of straight segments: each figure starts at a move; closed figures
// end where they started. With a fill it is filled, then stroked.
struct PathStep {
  enum class Kind { kMoveTo, kLineTo, kClose };
  Kind kind = Kind::kMoveTo;
  Point point;  // unused for kClose
};

struct Path {
  std::vector<PathStep> steps;
  Pen pen;
  std::optional<Colour> fill;
  bool stroke = true;  // false: filled only
};

enum class TextAnchor { kStart, kMiddle, kEnd };

// One line of text; `at` is on its baseline, at its start, middle or end.
struct Text {
  Point at;
  TextAnchor anchor = TextAnchor::kStart;
  std::string text;  // UTF-8
  Font font;
  Colour colour = kBlack;
};

// Begins a group that stands for one item of the model (an object or link
// of the diagram, the frame): the SVG output makes it a <g> with the item's
// GUID, kind and name, and a link to `href` when it is set. Groups nest and
// every BeginGroup has its EndGroup.
struct BeginGroup {
  std::string kind;  // "object", "link", "frame", "compartment", ...
  std::string guid;  // the model item's GUID; empty for none
  std::string name;  // the item's name, for a reader (SVG <title>)
  std::string href;  // empty: no link
};

struct EndGroup {};

using Command = std::variant<Rectangle, Ellipse, Path, Text, BeginGroup, EndGroup>;

struct DisplayList {
  double width = 0;  // the picture's size; commands lie within it
  double height = 0;
  std::string title;  // the diagram's name
  Colour background = kWhite;
  std::vector<Command> commands;
};

}  // namespace orba::canvas
