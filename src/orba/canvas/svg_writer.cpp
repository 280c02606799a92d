#include "orba/canvas/svg_writer.h"

#include <charconv>
#include <cstdio>
#include <variant>
#include <vector>

#include "base/xml_escape.h"
#include "orba/canvas/appearance.h"
#include "orba/canvas/validation.h"

namespace orba::canvas {
namespace {

constexpr double kPixelsPerPoint = 96.0 / 72.0;

// At most two decimals, trailing zeros trimmed: "12", "0.5", "3.33".
std::string Number(double value) {
  char buffer[32];  // room for every number of a list ValidateDisplayList takes
  char* end = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 2).ptr;
  std::string text(buffer, end);
  text.erase(text.find_last_not_of('0') + 1);
  if (text.back() == '.') text.pop_back();
  return text == "-0" ? "0" : text;
}

std::string Attribute(std::string_view name, std::string_view value) {
  return " " + std::string(name) + "=\"" + base::EscapeXml(value, base::XmlEscaping::kAttribute) +
         "\"";
}

std::string ColourText(const Colour& colour) {
  char text[8];
  std::snprintf(text, sizeof text, "#%02x%02x%02x", colour.red, colour.green, colour.blue);
  return text;
}

std::string FillAttribute(const std::optional<Colour>& fill) {
  return Attribute("fill", fill ? ColourText(*fill) : "none");
}

std::string StrokeAttributes(const Pen& pen, bool stroke = true) {
  if (!stroke || pen.width <= 0) return Attribute("stroke", "none");
  std::string attributes =
      Attribute("stroke", ColourText(pen.colour)) + Attribute("stroke-width", Number(pen.width));
  std::string dashes;
  for (double length : DashPattern(pen)) dashes += (dashes.empty() ? "" : " ") + Number(length);
  if (!dashes.empty()) attributes += Attribute("stroke-dasharray", dashes);
  return attributes;
}

// A CSS font-family list: the family quoted, then its generic family.
std::string FontFamilies(const std::string& family) {
  std::string quoted = "'";
  for (char c : family) quoted += c == '\'' || c == '\\' ? std::string{'\\', c} : std::string{c};
  return quoted + "', " + std::string(GenericFamily(family));
}

std::string_view AnchorName(TextAnchor anchor) {
  switch (anchor) {
    case TextAnchor::kStart: return "start";
    case TextAnchor::kMiddle: return "middle";
    case TextAnchor::kEnd: return "end";
  }
  return "start";
}

std::string PathData(const std::vector<PathStep>& steps) {
  std::string data;
  for (const PathStep& step : steps) {
    if (!data.empty()) data += ' ';
    if (step.kind == PathStep::Kind::kClose) {
      data += 'Z';
    } else {
      data += step.kind == PathStep::Kind::kMoveTo ? "M" : "L";
      data += Number(step.point.x) + " " + Number(step.point.y);
    }
  }
  return data;
}

std::string BoxAttributes(const Box& box) {
  return Attribute("x", Number(box.x)) + Attribute("y", Number(box.y)) +
         Attribute("width", Number(box.width)) + Attribute("height", Number(box.height));
}

// Writes the elements of the commands, one a line, indented by nesting.
class SvgBody {
 public:
  std::string Take() { return std::move(out_); }

  void operator()(const Rectangle& rectangle) {
    std::string corners;
    if (rectangle.corner_radius > 0) {
      corners = Attribute("rx", Number(rectangle.corner_radius)) +
                Attribute("ry", Number(rectangle.corner_radius));
    }
    Line("<rect" + BoxAttributes(rectangle.box) + corners + FillAttribute(rectangle.fill) +
         StrokeAttributes(rectangle.pen) + "/>");
  }
  void operator()(const Ellipse& ellipse) {
    const Box& box = ellipse.box;
    Line("<ellipse" + Attribute("cx", Number(box.x + box.width / 2)) +
         Attribute("cy", Number(box.y + box.height / 2)) + Attribute("rx", Number(box.width / 2)) +
         Attribute("ry", Number(box.height / 2)) + FillAttribute(ellipse.fill) +
         StrokeAttributes(ellipse.pen) + "/>");
  }
  void operator()(const Path& path) {
    Line("<path" + Attribute("d", PathData(path.steps)) + FillAttribute(path.fill) +
         StrokeAttributes(path.pen, path.stroke) + "/>");
  }
  void operator()(const Text& text) {
    const Font& font = text.font;
    Line("<text" + Attribute("x", Number(text.at.x)) + Attribute("y", Number(text.at.y)) +
         Attribute("text-anchor", AnchorName(text.anchor)) +
         Attribute("font-family", FontFamilies(font.family)) +
         Attribute("font-size", Number(font.size * kPixelsPerPoint) + "px") +
         (font.bold ? Attribute("font-weight", "bold") : "") +
         (font.italic ? Attribute("font-style", "italic") : "") +
         Attribute("fill", ColourText(text.colour)) + " xml:space=\"preserve\">" +
         base::EscapeXml(OneLine(text.text), base::XmlEscaping::kText) + "</text>");
  }
  void operator()(const BeginGroup& group) {
    links_.push_back(!group.href.empty());
    if (links_.back())
      Open("<a" + Attribute("href", group.href) + Attribute("xlink:href", group.href) + ">");
    Open("<g" + (group.kind.empty() ? "" : Attribute("class", group.kind)) +
         (group.guid.empty() ? "" : Attribute("data-guid", group.guid)) + ">");
    if (!group.name.empty()) Title(group.name);
  }
  void operator()(const EndGroup&) {
    Close("</g>");
    if (links_.back()) Close("</a>");
    links_.pop_back();
  }
  void Title(const std::string& text) {
    Line("<title>" + base::EscapeXml(text, base::XmlEscaping::kText) + "</title>");
  }
  void Line(const std::string& element) { out_ += std::string(2 * depth_, ' ') + element + "\n"; }

 private:
  void Open(const std::string& tag) {
    Line(tag);
    ++depth_;
  }
  void Close(const std::string& tag) {
    --depth_;
    Line(tag);
  }

  std::string out_;
  int depth_ = 1;
  std::vector<bool> links_;  // per open group: whether it is inside an <a>
};

}  // namespace

std::string WriteSvg(const DisplayList& list) {
  ValidateDisplayList(list);
  const std::string width = Number(list.width);
  const std::string height = Number(list.height);
  SvgBody body;
  if (!list.title.empty()) body.Title(list.title);
  body.Line("<rect" + Attribute("width", width) + Attribute("height", height) +
            Attribute("fill", ColourText(list.background)) + "/>");
  for (const Command& command : list.commands) std::visit(body, command);
  return "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\"?>\n"
         "<svg xmlns=\"http://www.w3.org/2000/svg\" "
         "xmlns:xlink=\"http://www.w3.org/1999/xlink\" version=\"1.1\"" +
         Attribute("width", width) + Attribute("height", height) +
         Attribute("viewBox", "0 0 " + width + " " + height) + ">\n" + body.Take() + "</svg>\n";
}

}  // namespace orba::canvas
