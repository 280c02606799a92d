#include "orba/diagrams/notation.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <set>

#include "orba/diagrams/frame_text.h"

namespace orba::diagrams {
namespace {

using canvas::Box;
using canvas::DisplayList;
using canvas::Font;
using canvas::Pen;
using canvas::Point;

constexpr double kMargin = 20;        // around the frame
constexpr double kFramePadding = 30;  // between the frame and the contents
constexpr double kTextPadding = 4;    // between a shape's border and its text
constexpr double kArrowLength = 10;
constexpr double kArrowHalfWidth = 5;
constexpr canvas::Colour kShapeFill{255, 255, 255};
constexpr canvas::Colour kPackageFill{255, 255, 240};

Point Centre(const Box& box) { return {box.x + box.width / 2, box.y + box.height / 2}; }

// Where the line from the box's centre towards `toward` leaves the box.
Point BorderPoint(const Box& box, Point toward) {
  const Point centre = Centre(box);
  const double dx = toward.x - centre.x, dy = toward.y - centre.y;
  if (dx == 0 && dy == 0) return centre;
  const double scale_x =
      dx == 0 ? std::numeric_limits<double>::infinity() : box.width / 2 / std::abs(dx);
  const double scale_y =
      dy == 0 ? std::numeric_limits<double>::infinity() : box.height / 2 / std::abs(dy);
  const double scale = std::min(scale_x, scale_y);
  return {centre.x + dx * scale, centre.y + dy * scale};
}

// The owner's edge nearest to the port's centre.
Edge EdgeOf(const Box& port, const Box& owner) {
  const Point centre = Centre(port);
  const std::pair<double, Edge> distances[] = {
      {std::abs(centre.x - owner.x), Edge::kLeft},
      {std::abs(centre.x - (owner.x + owner.width)), Edge::kRight},
      {std::abs(centre.y - owner.y), Edge::kTop},
      {std::abs(centre.y - (owner.y + owner.height)), Edge::kBottom}};
  return std::min_element(std::begin(distances), std::end(distances))->second;
}

class Painter {
 public:
  Painter(DisplayList& list, const canvas::TextMeasure& measure) : list_(list), measure_(measure) {}

  void Rectangle(const Box& box, std::optional<canvas::Colour> fill, double radius = 0,
                 Pen pen = {}) {
    list_.commands.push_back(canvas::Rectangle{box, radius, pen, fill});
  }

  void Polygon(std::initializer_list<Point> points, std::optional<canvas::Colour> fill,
               Pen pen = {}) {
    canvas::Path path{{}, pen, fill, true};
    for (const Point& point : points)
      path.steps.push_back(
          {path.steps.empty() ? canvas::PathStep::Kind::kMoveTo : canvas::PathStep::Kind::kLineTo,
           point});
    path.steps.push_back({canvas::PathStep::Kind::kClose, {}});
    list_.commands.push_back(std::move(path));
  }

  void Polyline(const std::vector<Point>& points, Pen pen) {
    canvas::Path path{{}, pen, std::nullopt, true};
    for (const Point& point : points) {
      path.steps.push_back(
          {path.steps.empty() ? canvas::PathStep::Kind::kMoveTo : canvas::PathStep::Kind::kLineTo,
           point});
    }
    list_.commands.push_back(std::move(path));
  }

  void Line(Point from, Point to, Pen pen = {}) {
    list_.commands.push_back(canvas::Path{
        {{canvas::PathStep::Kind::kMoveTo, from}, {canvas::PathStep::Kind::kLineTo, to}},
        pen,
        std::nullopt,
        true});
  }

  // One line of text whose top is at `top`; answers the height it takes.
  double TextLine(const std::string& text, Point at_top, canvas::TextAnchor anchor,
                  const Font& font) {
    const canvas::TextExtent extent = measure_.Measure(text, font);
    list_.commands.push_back(
        canvas::Text{{at_top.x, at_top.y + extent.ascent}, anchor, text, font});
    return extent.Height();
  }

  double Width(const std::string& text, const Font& font) const {
    return measure_.Measure(text, font).width;
  }
  double LineHeight(const Font& font) const { return measure_.Measure("Ag", font).Height(); }

  void Begin(const std::string& kind, const std::string& guid, const std::string& name,
             const std::string& href) {
    list_.commands.push_back(canvas::BeginGroup{kind, guid, name, href});
  }
  void End() { list_.commands.push_back(canvas::EndGroup{}); }

 private:
  DisplayList& list_;
  const canvas::TextMeasure& measure_;
};

Font Plain() { return Font{}; }
Font Bold() { return Font{.bold = true}; }
Font Italic() { return Font{.italic = true}; }

// The keyword shown for a stereotype: SysML names a few differently.
std::string Keyword(const std::string& stereotype) {
  static const std::map<std::string, std::string> kKeywords = {{"constraintBlock", "constraint"},
                                                               {"deriveReqt", "deriveReqt"}};
  auto found = kKeywords.find(stereotype);
  return "\u00AB" + (found == kKeywords.end() ? stereotype : found->second) + "\u00BB";
}

bool IsPort(const SceneObject& object) { return object.type == "Port"; }
bool IsPart(const SceneObject& object) {
  return object.type == "Part" || object.type == "Property";
}
bool IsRounded(const SceneObject& object) {
  return object.type == "Activity" || object.type == "Action" || object.type == "State";
}

// "name : Type", or the name alone when it has no type.
std::string TypedName(const SceneObject& object) {
  return object.type_name.empty() ? object.name : object.name + " : " + object.type_name;
}

class SceneDrawer {
 public:
  SceneDrawer(const Scene& scene, const DrawingContext& context, DisplayList& list)
      : scene_(scene), context_(context), list_(list), paint_(list, context.measure) {
    for (const SceneObject& object : scene.objects) by_id_[object.element_id] = &object;
  }

  // Draws the scene; answers the top-left corner of the picture.
  Point Draw() {
    const Point origin = DrawFrame();
    for (const SceneObject& object : scene_.objects) DrawObject(object);
    for (const SceneLink& link : scene_.links) DrawLink(link);
    return origin;
  }

 private:
  std::string Href(const std::string& guid) const {
    return context_.href ? context_.href(guid) : "";
  }

  // --- The frame -------------------------------------------------------------

  Box ContentBounds() const {
    if (scene_.objects.empty()) return {0, 0, 200, 100};
    double left = 1e18, top = 1e18, right = -1e18, bottom = -1e18;
    const auto take = [&](const Box& box) {
      left = std::min(left, box.x);
      top = std::min(top, box.y);
      right = std::max(right, box.x + box.width);
      bottom = std::max(bottom, box.y + box.height);
    };
    for (const SceneObject& object : scene_.objects) {
      take(object.box);
      if (IsPort(object)) take(PortNameBox(object, PortEdge(object)));
    }
    return {left, top, right - left, bottom - top};
  }

  // The frame around the contents, with the name box at its top left;
  // answers the picture's top-left corner, a margin outside the frame.
  Point DrawFrame() {
    const Box content = ContentBounds();
    const std::string title = FrameText(scene_.type.frame_string, scene_.type.frame_replace_list,
                                        {scene_.type.diagram_id, scene_.type.alias,
                                         scene_.owner_name, scene_.name, scene_.type.stereotype});
    const double title_height = paint_.LineHeight(Bold()) + 2 * kTextPadding;
    const Box frame{content.x - kFramePadding, content.y - kFramePadding - title_height,
                    content.width + 2 * kFramePadding,
                    content.height + 2 * kFramePadding + title_height};
    paint_.Begin("frame", scene_.guid, scene_.name, "");
    paint_.Rectangle(frame, std::nullopt);
    const double title_width = paint_.Width(title, Bold()) + 2 * kTextPadding;
    const double cut = title_height / 2;
    paint_.Polygon({{frame.x, frame.y},
                    {frame.x + title_width + cut, frame.y},
                    {frame.x + title_width + cut, frame.y + title_height - cut},
                    {frame.x + title_width, frame.y + title_height},
                    {frame.x, frame.y + title_height}},
                   kShapeFill);
    paint_.TextLine(title, {frame.x + kTextPadding, frame.y + kTextPadding},
                    canvas::TextAnchor::kStart, Bold());
    paint_.End();
    list_.width = frame.width + 2 * kMargin;
    list_.height = frame.height + 2 * kMargin;
    return {frame.x - kMargin, frame.y - kMargin};
  }

  // --- Elements --------------------------------------------------------------

  std::optional<Edge> PortEdge(const SceneObject& object) const {
    if (!IsPort(object)) return std::nullopt;
    auto owner = by_id_.find(object.owner_id);
    if (owner == by_id_.end()) return std::nullopt;
    return EdgeOf(object.box, owner->second->box);
  }

  void DrawObject(const SceneObject& object) {
    paint_.Begin("object", object.guid, object.name, Href(object.guid));
    const std::optional<Edge> edge = PortEdge(object);
    std::optional<ObjectLook> look;
    if (context_.scripts) look = context_.scripts->DrawObject(object, edge, list_);
    if (look) {
      anchors_[object.element_id] = AnchorBox(object.box, *look);
    } else if (IsPort(object)) {
      paint_.Rectangle(object.box, kShapeFill);
    } else if (object.type == "Package") {
      DrawPackage(object);
    } else if (IsControlNode(object)) {
      DrawControlNode(object);
    } else if (IsPart(object)) {
      paint_.Rectangle(object.box, kShapeFill);
      DrawHeader(object, {TypedName(object)}, object.box.y + kTextPadding);
    } else {
      DrawClassifier(object);
    }
    if (IsPort(object)) DrawPortName(object, edge);
    paint_.End();
  }

  // A port's name beside it, outside its owner: left of a port on the left
  // edge, right of one on the right, above or below one on the top or bottom.
  void DrawPortName(const SceneObject& object, std::optional<Edge> edge) {
    const PortName name = PortNameOf(object, edge);
    paint_.TextLine(object.name, name.at, name.anchor, Plain());
  }

  struct PortName {
    Point at;  // the top of the line, at its anchor
    canvas::TextAnchor anchor;
  };
  PortName PortNameOf(const SceneObject& object, std::optional<Edge> edge) const {
    const Box& box = object.box;
    const double above = box.y - paint_.LineHeight(Plain());
    PortName name{{Centre(box).x, above - kTextPadding}, canvas::TextAnchor::kMiddle};
    if (edge == Edge::kLeft) name = {{box.x - kTextPadding, above}, canvas::TextAnchor::kEnd};
    if (edge.value_or(Edge::kRight) == Edge::kRight)
      name = {{box.x + box.width + kTextPadding, above}, canvas::TextAnchor::kStart};
    if (edge == Edge::kBottom) name.at.y = box.y + box.height + kTextPadding;
    return name;
  }

  // Where the port's name stands, so that the frame holds it.
  Box PortNameBox(const SceneObject& object, std::optional<Edge> edge) const {
    const PortName name = PortNameOf(object, edge);
    const double width = paint_.Width(object.name, Plain());
    const double left = name.anchor == canvas::TextAnchor::kStart ? name.at.x
                        : name.anchor == canvas::TextAnchor::kEnd ? name.at.x - width
                                                                  : name.at.x - width / 2;
    return {left, name.at.y, width, paint_.LineHeight(Plain())};
  }

  // Initial and final nodes are discs, a decision or merge a diamond; the
  // name stands below.
  static bool IsControlNode(const SceneObject& object) {
    static const std::set<std::string> kNodes = {"ActivityInitial", "ActivityFinal", "FlowFinal",
                                                 "Decision", "MergeNode"};
    return kNodes.contains(object.type);
  }

  void DrawControlNode(const SceneObject& object) {
    const Box& box = object.box;
    const Point centre = Centre(box);
    if (object.type == "Decision" || object.type == "MergeNode") {
      paint_.Polygon({{centre.x, box.y},
                      {box.x + box.width, centre.y},
                      {centre.x, box.y + box.height},
                      {box.x, centre.y}},
                     kShapeFill);
    } else {
      const bool final = object.type != "ActivityInitial";
      list_.commands.push_back(canvas::Ellipse{box, Pen{}, final ? kShapeFill : canvas::kBlack});
      const Box inner{box.x + box.width / 4, box.y + box.height / 4, box.width / 2, box.height / 2};
      if (final) list_.commands.push_back(canvas::Ellipse{inner, Pen{}, canvas::kBlack});
    }
    paint_.TextLine(object.name, {centre.x, box.y + box.height + kTextPadding},
                    canvas::TextAnchor::kMiddle, Plain());
  }

  // A folder: a tab holding the name above the body.
  void DrawPackage(const SceneObject& object) {
    const Box& box = object.box;
    const double tab_height = paint_.LineHeight(Bold()) + 2 * kTextPadding;
    const double tab_width =
        std::min(box.width * 0.6, paint_.Width(object.name, Bold()) + 4 * kTextPadding);
    paint_.Rectangle({box.x, box.y, tab_width, tab_height}, kPackageFill);
    paint_.Rectangle({box.x, box.y + tab_height, box.width, std::max(0.0, box.height - tab_height)},
                     kPackageFill);
    paint_.TextLine(object.name, {box.x + kTextPadding, box.y + kTextPadding},
                    canvas::TextAnchor::kStart, Bold());
    if (!object.stereotype.empty()) {
      paint_.TextLine(Keyword(object.stereotype),
                      {Centre(box).x, box.y + tab_height + kTextPadding},
                      canvas::TextAnchor::kMiddle, Plain());
    }
  }

  // Keyword and name centred from `top` down; answers where they end.
  double DrawHeader(const SceneObject& object, const std::vector<std::string>& names, double top) {
    const double centre = Centre(object.box).x;
    if (!object.stereotype.empty()) {
      top += paint_.TextLine(Keyword(object.stereotype), {centre, top}, canvas::TextAnchor::kMiddle,
                             Plain());
    }
    for (const std::string& name : names)
      top += paint_.TextLine(name, {centre, top}, canvas::TextAnchor::kMiddle, Bold());
    return top + kTextPadding;
  }

  // Blocks, requirements, activities and the rest: keyword and name, then
  // the compartments the add-in offers, each under its heading.
  void DrawClassifier(const SceneObject& object) {
    const Box& box = object.box;
    paint_.Rectangle(box, kShapeFill, IsRounded(object) ? 10 : 0);
    double top = DrawHeader(object, {object.name}, box.y + kTextPadding);
    const double bottom = box.y + box.height;
    for (const CompartmentData& compartment : object.compartments) {
      const std::vector<const CompartmentRow*> rows = ShownRows(compartment);
      if (rows.empty() || top >= bottom) continue;
      paint_.Line({box.x, top}, {box.x + box.width, top});
      paint_.Begin("compartment", "", compartment.name, "");
      top += kTextPadding;
      top += paint_.TextLine(compartment.name, {Centre(box).x, top}, canvas::TextAnchor::kMiddle,
                             Italic());
      for (const CompartmentRow* row : rows) {
        if (top >= bottom) break;
        top += paint_.TextLine(row->text, {box.x + kTextPadding, top}, canvas::TextAnchor::kStart,
                               Plain());
      }
      paint_.End();
      top += kTextPadding;
    }
  }

  // Rows of items that are themselves on the diagram are left out when the
  // compartment asks for it.
  std::vector<const CompartmentRow*> ShownRows(const CompartmentData& compartment) const {
    std::vector<const CompartmentRow*> rows;
    for (const CompartmentRow& row : compartment.rows) {
      if (compartment.skip_if_on_diagram && !row.guid.empty() && IsOnDiagram(row.guid)) continue;
      rows.push_back(&row);
    }
    return rows;
  }

  bool IsOnDiagram(const std::string& guid) const {
    return std::any_of(scene_.objects.begin(), scene_.objects.end(),
                       [&guid](const SceneObject& object) { return object.guid == guid; });
  }

  // --- Connectors ------------------------------------------------------------

  static Box AnchorBox(const Box& box, const ObjectLook& look) {
    return {box.x + look.inset_left, box.y + look.inset_top,
            std::max(0.0, box.width - look.inset_left - look.inset_right),
            std::max(0.0, box.height - look.inset_top - look.inset_bottom)};
  }

  // Where links attach: the shape's box, or the box its script moved the
  // anchors to.
  const Box& Anchors(int32_t element_id) const {
    auto moved = anchors_.find(element_id);
    return moved != anchors_.end() ? moved->second : by_id_.at(element_id)->box;
  }

  // The link's points from source to target: its route, or the straight
  // line between the shapes' anchors.
  std::vector<Point> PathOf(const SceneLink& link) const {
    if (link.route.size() >= 2) return link.route;
    const Box& source = Anchors(link.source_id);
    const Box& target = Anchors(link.target_id);
    return {BorderPoint(source, Centre(target)), BorderPoint(target, Centre(source))};
  }

  void DrawLink(const SceneLink& link) {
    const std::vector<Point> path = PathOf(link);
    const Point from = path.front(), to = path.back();
    paint_.Begin("link", link.guid, link.name.empty() ? link.type : link.name, Href(link.guid));
    std::optional<LinkLook> look;
    if (context_.scripts) look = context_.scripts->DrawLink(link, from, to, list_);
    if (!look) paint_.Polyline(path, LinePen(link));
    DrawEnds(link, path, look ? *look : LinkLook{});
    const size_t middle = path.size() / 2;
    DrawLabels(link, path[middle - 1], path[middle], look);
    paint_.End();
  }

  static Pen LinePen(const SceneLink& link) {
    Pen pen;
    static const std::set<std::string> kDashed = {"Dependency", "Realisation", "Realization",
                                                  "Abstraction", "Usage"};
    if (kDashed.contains(link.type)) pen.style = canvas::LineStyle::kDash;
    return pen;
  }

  // The host's decorations at the ends the script left to it: diamonds of
  // aggregations at either end, the rest at the target.
  void DrawEnds(const SceneLink& link, const std::vector<Point>& path, const LinkLook& look) {
    const Point from = path.front(), to = path.back();
    const Point after_source = path[1], before_target = path[path.size() - 2];
    static const std::set<std::string> kAssociations = {"Association", "Aggregation",
                                                        "Composition"};
    static const std::set<std::string> kTriangles = {"Generalization", "Realisation",
                                                     "Realization"};
    static const std::set<std::string> kArrows = {"Dependency", "Abstraction", "Usage",
                                                  "ControlFlow", "ObjectFlow"};
    if (kAssociations.contains(link.type)) {
      if (look.source_end) Diamond(from, after_source, link.source_aggregation);
      if (look.target_end) Diamond(to, before_target, link.target_aggregation);
      return;
    }
    if (!look.target_end) return;
    if (kTriangles.contains(link.type)) Head(to, before_target, kShapeFill, true);
    if (kArrows.contains(link.type)) Head(to, before_target, std::nullopt, false);
    if (link.type == "Nesting") CirclePlus(to, before_target);
  }

  // An arrowhead at `tip` on the line from `tail`: open (two strokes) or a
  // closed triangle with the given fill.
  void Head(Point tip, Point tail, std::optional<canvas::Colour> fill, bool closed) {
    const HeadPoints head = HeadPointsOf(tip, tail, kArrowLength, kArrowHalfWidth);
    if (closed) {
      paint_.Polygon({tip, head.left, head.right}, fill);
    } else {
      paint_.Line(head.left, tip);
      paint_.Line(tip, head.right);
    }
  }

  // A diamond at `tip` for an aggregation: 1 hollow, 2 filled, 0 none.
  void Diamond(Point tip, Point tail, int aggregation) {
    if (aggregation == 0) return;
    const HeadPoints head = HeadPointsOf(tip, tail, kArrowLength, kArrowHalfWidth * 0.8);
    const Point far{tip.x + 2 * (head.back.x - tip.x), tip.y + 2 * (head.back.y - tip.y)};
    paint_.Polygon({tip, head.left, far, head.right},
                   aggregation == 2 ? std::optional(canvas::kBlack) : std::optional(kShapeFill));
  }

  void CirclePlus(Point tip, Point tail) {
    constexpr double kRadius = 6;
    const Point back = HeadPointsOf(tip, tail, kRadius, kRadius).back;
    list_.commands.push_back(canvas::Ellipse{
        {back.x - kRadius, back.y - kRadius, 2 * kRadius, 2 * kRadius}, Pen{}, kShapeFill});
    const double dx = (tip.x - back.x), dy = (tip.y - back.y);
    paint_.Line({back.x - dx, back.y - dy}, {back.x + dx, back.y + dy});
    paint_.Line({back.x - dy, back.y + dx}, {back.x + dy, back.y - dx});
  }

  // The point `length` back from the tip along the line, and the two points
  // `half_width` either side of it.
  struct HeadPoints {
    Point back;
    Point left;
    Point right;
  };
  static HeadPoints HeadPointsOf(Point tip, Point tail, double length, double half_width) {
    const double dx = tail.x - tip.x, dy = tail.y - tip.y;
    const double norm = std::max(std::hypot(dx, dy), 1e-9);
    const double ux = dx / norm, uy = dy / norm;
    const Point back{tip.x + ux * length, tip.y + uy * length};
    return {back,
            {back.x - uy * half_width, back.y + ux * half_width},
            {back.x + uy * half_width, back.y - ux * half_width}};
  }

  // The keyword and name above the middle, roles near the ends.
  void DrawLabels(const SceneLink& link, Point from, Point to,
                  const std::optional<LinkLook>& look) {
    const Point middle{(from.x + to.x) / 2, (from.y + to.y) / 2};
    const double height = paint_.LineHeight(Plain());
    std::string above = link.stereotype.empty() ? "" : Keyword(link.stereotype);
    if (!link.name.empty()) above += (above.empty() ? "" : " ") + link.name;
    if (look && look->middle_top_label) above = *look->middle_top_label;
    if (!above.empty())
      paint_.TextLine(above, {middle.x, middle.y - height - 2}, canvas::TextAnchor::kMiddle,
                      Plain());
    if (look && look->middle_bottom_label && !look->middle_bottom_label->empty())
      paint_.TextLine(*look->middle_bottom_label, {middle.x, middle.y + 2},
                      canvas::TextAnchor::kMiddle, Plain());
    RoleName(link.source_role, from, to);
    RoleName(link.target_role, to, from);
  }

  void RoleName(const std::string& role, Point end, Point other) {
    if (role.empty()) return;
    const Point beside = HeadPointsOf(end, other, 2 * kArrowLength, 2 * kArrowHalfWidth).left;
    paint_.TextLine(role, {beside.x, beside.y - paint_.LineHeight(Plain()) / 2},
                    canvas::TextAnchor::kMiddle, Plain());
  }

  const Scene& scene_;
  const DrawingContext& context_;
  DisplayList& list_;
  Painter paint_;
  std::map<int32_t, const SceneObject*> by_id_;
  std::map<int32_t, Box> anchors_;  // of objects whose scripts moved them
};

// Moves every coordinate by -origin, so that the picture starts at (0, 0).
void MoveToOrigin(DisplayList& list, Point origin) {
  const auto move = [origin](Point& point) { point.x -= origin.x, point.y -= origin.y; };
  const auto move_box = [origin](Box& box) { box.x -= origin.x, box.y -= origin.y; };
  for (canvas::Command& command : list.commands) {
    std::visit(
        [&](auto& item) {
          using Item = std::decay_t<decltype(item)>;
          if constexpr (std::is_same_v<Item, canvas::Rectangle> ||
                        std::is_same_v<Item, canvas::Ellipse>) {
            move_box(item.box);
          } else if constexpr (std::is_same_v<Item, canvas::Path>) {
            for (canvas::PathStep& step : item.steps) move(step.point);
          } else if constexpr (std::is_same_v<Item, canvas::Text>) {
            move(item.at);
          }
        },
        command);
  }
}

constexpr double kPortSize = 16;
constexpr double kControlNodeSize = 24;
constexpr double kMinimumWidth = 120;
constexpr double kMinimumHeight = 60;

// The lines a classifier's shape shows, each with its font.
std::vector<std::pair<std::string, Font>> ShapeLines(const SceneObject& object) {
  std::vector<std::pair<std::string, Font>> lines;
  if (!object.stereotype.empty()) lines.emplace_back(Keyword(object.stereotype), Plain());
  lines.emplace_back(IsPart(object) ? TypedName(object) : object.name, Bold());
  for (const CompartmentData& compartment : object.compartments) {
    if (compartment.rows.empty()) continue;
    lines.emplace_back(compartment.name, Italic());
    for (const CompartmentRow& row : compartment.rows) lines.emplace_back(row.text, Plain());
  }
  return lines;
}

}  // namespace

ShapeSize NaturalSizeOf(const SceneObject& object, const canvas::TextMeasure& measure) {
  if (IsPort(object)) return {kPortSize, kPortSize};
  if (object.type == "ActivityInitial" || object.type == "ActivityFinal" ||
      object.type == "FlowFinal")
    return {kControlNodeSize, kControlNodeSize};
  if (object.type == "Decision" || object.type == "MergeNode")
    return {2 * kControlNodeSize, 2 * kControlNodeSize};
  ShapeSize size{0, 2 * kTextPadding};
  for (const auto& [text, font] : ShapeLines(object)) {
    const canvas::TextExtent extent = measure.Measure(text, font);
    size.width = std::max(size.width, extent.width + 2 * kTextPadding);
    size.height += extent.Height() + kTextPadding;
  }
  return {std::max(size.width, kMinimumWidth), std::max(size.height, kMinimumHeight)};
}

const char* EdgeName(Edge edge) {
  switch (edge) {
    case Edge::kLeft: return "left";
    case Edge::kRight: return "right";
    case Edge::kTop: return "top";
    case Edge::kBottom: return "bottom";
  }
  return "";
}

canvas::DisplayList DrawScene(const Scene& scene, const DrawingContext& context) {
  DisplayList list;
  list.title = scene.name;
  MoveToOrigin(list, SceneDrawer(scene, context, list).Draw());
  return list;
}

}  // namespace orba::diagrams
