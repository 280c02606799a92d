#include "orba/shape_script/interpreter.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <sstream>
#include <variant>

namespace orba::shape_script {
namespace {

using canvas::PathStep;
using canvas::Point;

// How deep addsubshape may nest: deeper, a shape is adding itself.
constexpr int kMaxSubShapeDepth = 32;

// Where a shape's script coordinates lie on the canvas: the script's point
// (x, y) is origin + x * x_axis + y * y_axis.
struct Frame {
  Point origin;
  Point x_axis;
  Point y_axis;

  Point At(double x, double y) const {
    return {origin.x + x * x_axis.x + y * y_axis.x, origin.y + x * x_axis.y + y * y_axis.y};
  }
  // Whether the axes are the canvas's, so that boxes stay boxes.
  bool Upright() const { return x_axis.y == 0 && y_axis.x == 0; }
  // The box with the corners (x1, y1) and (x2, y2), around them when not upright.
  canvas::Box BoxOf(double x1, double y1, double x2, double y2) const {
    const Point a = At(x1, y1);
    const Point b = At(x2, y2);
    return {std::min(a.x, b.x), std::min(a.y, b.y), std::abs(b.x - a.x), std::abs(b.y - a.y)};
  }
  Frame Scaled(double x_percent, double y_percent) const {
    return {origin,
            {x_axis.x * x_percent / 100, x_axis.y * x_percent / 100},
            {y_axis.x * y_percent / 100, y_axis.y * y_percent / 100}};
  }
};

Frame ElementFrame(const canvas::Box& box) {
  return {{box.x, box.y}, {box.width / 100, 0}, {0, box.height / 100}};
}

// At `end`: x towards `other`, y across to its right, both in px.
Frame EndFrame(Point end, Point other) {
  const double length = std::hypot(other.x - end.x, other.y - end.y);
  const Point along =
      length > 0 ? Point{(other.x - end.x) / length, (other.y - end.y) / length} : Point{1, 0};
  return {end, along, {-along.y, along.x}};
}

// From `source` (x 0) to `target` (x 100), y across in px.
Frame LineFrame(Point source, Point target) {
  const Frame frame = EndFrame(source, target);
  const double length = std::hypot(target.x - source.x, target.y - source.y);
  return {source, {frame.x_axis.x * length / 100, frame.x_axis.y * length / 100}, frame.y_axis};
}

// The pen, fill and alignment a shape draws with; alignments are the
// indexes of left/center/right and top/center/bottom.
struct DrawingState {
  canvas::Pen pen;
  std::optional<canvas::Colour> fill;
  int horizontal_alignment = 0;
  int vertical_alignment = 0;
};

// What every shape of one run shares.
struct Environment {
  const Script& script;
  const Context& context;
  Style style;
  canvas::DisplayList& list;
  Outcome& outcome;
  std::string* label = nullptr;  // set while a label shape runs: where print writes
  int depth = 0;                 // of addsubshape
};

std::string Formatted(double number) {
  std::ostringstream text;
  text << number;
  return text.str();
}

// One run of one shape of the script.
class ShapeRun {
 public:
  using Drawing = void (ShapeRun::*)(const Expression&);
  using Condition = bool (ShapeRun::*)(const Expression&) const;
  using ColourValue = canvas::Colour (ShapeRun::*)(const Expression&) const;
  // A command's role is the kind of its handler: the variant's alternatives
  // are in CommandRole's order.
  struct Command {
    Command(std::variant<Drawing, Condition, ColourValue> handler,
            std::vector<std::string_view> signatures)
        : form{static_cast<CommandRole>(handler.index()), std::move(signatures)}, run(handler) {}
    CommandForm form;
    std::variant<Drawing, Condition, ColourValue> run;
  };

  ShapeRun(Environment& environment, std::vector<const Shape*> path, const Frame& frame,
           const DrawingState& state)
      : environment_(environment),
        shape_path_(std::move(path)),
        frame_(frame),
        state_(state),
        current_point_(frame.At(0, 0)) {}

  void Run() {
    RunStatements(shape_path_.back()->statements);
    FlushLines();
  }

  // clang-format off
  static const std::map<std::string_view, Command>& Commands() {
    static const std::map<std::string_view, Command> kCommands{
        {"rectangle",          {&ShapeRun::DrawRectangle,      {"nnnn"}}},
        {"roundrect",          {&ShapeRun::DrawRoundRectangle, {"nnnnnn"}}},
        {"moveto",             {&ShapeRun::MoveTo,             {"nn"}}},
        {"lineto",             {&ShapeRun::LineTo,             {"nn"}}},
        {"startpath",          {&ShapeRun::StartPath,          {""}}},
        {"endpath",            {&ShapeRun::EndPath,            {""}}},
        {"fillandstrokepath",  {&ShapeRun::FillAndStrokePath,  {""}}},
        {"setfillcolor",       {&ShapeRun::SetFillColour,      {"nnn", "c"}}},
        {"setpencolor",        {&ShapeRun::SetPenColour,       {"nnn", "c"}}},
        {"setlinestyle",       {&ShapeRun::SetLineStyle,       {"s"}}},
        {"print",              {&ShapeRun::Print,              {"s"}}},
        {"addsubshape",        {&ShapeRun::AddSubShape,        {"snn"}}},
        {"drawnativeshape",    {&ShapeRun::DrawNativeShape,    {""}}},
        {"setanchorinset",     {&ShapeRun::SetAnchorInset,     {"sn"}}},
        {"hastag",             {&ShapeRun::HasTag,             {"ss"}}},
        {"hasproperty",        {&ShapeRun::HasProperty,        {"ss"}}},
        {"getuserbordercolor", {&ShapeRun::UserBorderColour,   {""}}}};
    return kCommands;
  }

  static const std::map<std::string_view, Drawing>& Attributes() {
    static const std::map<std::string_view, Drawing> kAttributes{
        {"noshadow", &ShapeRun::SetNoShadow},
        {"h_align",  &ShapeRun::SetHorizontalAlignment},
        {"v_align",  &ShapeRun::SetVerticalAlignment}};
    return kAttributes;
  }
  // clang-format on

 private:
  enum class Flow { kGoOn, kReturn };

  Flow RunStatements(const std::vector<Statement>& statements) {
    for (const Statement& statement : statements) {
      switch (statement.kind) {
        case Statement::Kind::kReturn: return Flow::kReturn;
        case Statement::Kind::kAssignment:
          (this->*Attributes().at(statement.attribute))(statement.expression);
          break;
        case Statement::Kind::kCall: Call(statement.expression); break;
        case Statement::Kind::kIf: {
          const bool holds =
              (this->*Handler<Condition>(statement.expression))(statement.expression);
          if (RunStatements(holds ? statement.then_branch : statement.else_branch) ==
              Flow::kReturn) {
            return Flow::kReturn;
          }
          break;
        }
      }
    }
    return Flow::kGoOn;
  }

  template <typename Kind>
  static Kind Handler(const Expression& call) {
    return std::get<Kind>(Commands().at(call.text).run);
  }

  // Lines run on from move to line until another command draws.
  void Call(const Expression& call) {
    const Drawing run = Handler<Drawing>(call);
    if (run != &ShapeRun::MoveTo && run != &ShapeRun::LineTo) FlushLines();
    (this->*run)(call);
  }

  // --- Shapes ---------------------------------------------------------------
  void DrawRectangle(const Expression& call) { AddRectangle(call, 0); }
  // roundrect's last two arguments are the corner's width and height, in px.
  void DrawRoundRectangle(const Expression& call) {
    AddRectangle(call, std::min(Number(call, 4), Number(call, 5)));
  }
  // An upright frame keeps a rectangle one; on a slanted line it becomes a
  // closed path without rounded corners.
  void AddRectangle(const Expression& call, double corner_radius) {
    const double left = Number(call, 0), top = Number(call, 1);
    const double right = Number(call, 2), bottom = Number(call, 3);
    if (frame_.Upright()) {
      Emit(canvas::Rectangle{frame_.BoxOf(left, top, right, bottom), corner_radius, state_.pen,
                             state_.fill});
      return;
    }
    Emit(canvas::Path{{{PathStep::Kind::kMoveTo, frame_.At(left, top)},
                       {PathStep::Kind::kLineTo, frame_.At(right, top)},
                       {PathStep::Kind::kLineTo, frame_.At(right, bottom)},
                       {PathStep::Kind::kLineTo, frame_.At(left, bottom)},
                       {PathStep::Kind::kClose, {}}},
                      state_.pen,
                      state_.fill,
                      true});
  }

  void DrawNativeShape(const Expression&) {
    environment_.context.DrawNativeShape(frame_.BoxOf(0, 0, 100, 100), environment_.list);
  }

  // --- Lines and paths --------------------------------------------------------
  void MoveTo(const Expression& call) {
    current_point_ = frame_.At(Number(call, 0), Number(call, 1));
    Steps().push_back({PathStep::Kind::kMoveTo, current_point_});
  }
  void LineTo(const Expression& call) {
    if (Steps().empty()) Steps().push_back({PathStep::Kind::kMoveTo, current_point_});
    current_point_ = frame_.At(Number(call, 0), Number(call, 1));
    Steps().push_back({PathStep::Kind::kLineTo, current_point_});
  }
  // Between startpath and endpath moves and lines make the path that
  // fillandstrokepath draws; elsewhere they are stroked.
  std::vector<PathStep>& Steps() { return building_path_ ? path_steps_ : lines_; }
  void StartPath(const Expression&) {
    building_path_ = true;
    path_steps_.clear();
  }
  void EndPath(const Expression& call) {
    if (!building_path_) Fail(call.position, "endpath without startpath");
    building_path_ = false;
  }
  void FillAndStrokePath(const Expression& call) {
    if (building_path_ || path_steps_.empty()) {
      Fail(call.position, "fillandstrokepath without a path made by startpath ... endpath");
    }
    Emit(canvas::Path{path_steps_, state_.pen, state_.fill, true});
  }
  void FlushLines() {
    if (lines_.empty()) return;
    Emit(canvas::Path{lines_, state_.pen, std::nullopt, true});
    lines_.clear();
  }

  // --- Pen and fill -----------------------------------------------------------
  void SetFillColour(const Expression& call) { state_.fill = ColourOf(call); }
  void SetPenColour(const Expression& call) { state_.pen.colour = ColourOf(call); }
  // In the order of canvas::LineStyle.
  void SetLineStyle(const Expression& call) {
    state_.pen.style = static_cast<canvas::LineStyle>(
        Choice(call.arguments[0], {"solid", "dash", "dot", "dashdot"}));
  }
  canvas::Colour ColourOf(const Expression& call) const {
    if (call.arguments.size() == 1) {
      const Expression& colour = call.arguments[0];
      return (this->*Handler<ColourValue>(colour))(colour);
    }
    return {Component(call.arguments[0]), Component(call.arguments[1]),
            Component(call.arguments[2])};
  }
  uint8_t Component(const Expression& number) const {
    if (number.number < 0 || number.number > 255) {
      Fail(number.position, "a colour component is from 0 to 255, not " + Formatted(number.number));
    }
    return static_cast<uint8_t>(std::lround(number.number));
  }
  canvas::Colour UserBorderColour(const Expression&) const {
    return environment_.style.user_border_colour;
  }

  // --- Text ---------------------------------------------------------------
  // Alignment indexes 0, 1, 2 put the text at the start, middle or end of
  // the box, as TextAnchor's order does.
  void Print(const Expression& call) {
    const std::string text = Substituted(call.arguments[0].text);
    if (environment_.label != nullptr) {
      *environment_.label += text;
      return;
    }
    const Style& style = environment_.style;
    const canvas::TextExtent extent = environment_.context.Measure().Measure(text, style.font);
    const canvas::Box box = frame_.BoxOf(0, 0, 100, 100);
    const Point baseline{
        box.x + box.width * state_.horizontal_alignment / 2,
        box.y + (box.height - extent.Height()) * state_.vertical_alignment / 2 + extent.ascent};
    Emit(canvas::Text{baseline, static_cast<canvas::TextAnchor>(state_.horizontal_alignment), text,
                      style.font, style.text_colour});
  }
  // `text` with #NAME#, #PROPERTYTYPE# and #TAG:name# replaced by their
  // values; other text between two "#" stays.
  std::string Substituted(const std::string& text) const {
    std::string result;
    size_t at = 0;
    for (;;) {
      const size_t open = text.find('#', at);
      const size_t close = open == std::string::npos ? open : text.find('#', open + 1);
      if (close == std::string::npos) return result + text.substr(at);
      const std::optional<std::string> value = FieldValue(text.substr(open + 1, close - open - 1));
      result += text.substr(at, (value ? open : close) - at) + value.value_or("");
      at = value ? close + 1 : close;
    }
  }
  std::optional<std::string> FieldValue(const std::string& field) const {
    if (field == "NAME") return environment_.context.Property("name");
    if (field == "PROPERTYTYPE") return environment_.context.Property("type");
    if (field.starts_with("TAG:")) return environment_.context.Tag(field.substr(4));
    return std::nullopt;
  }

  // --- Sub-shapes, anchors, attributes, conditions ------------------------------
  void AddSubShape(const Expression& call) {
    if (++environment_.depth > kMaxSubShapeDepth) {
      Fail(call.position, "sub-shapes nest deeper than " + std::to_string(kMaxSubShapeDepth) +
                              " (does a shape add itself?)");
    }
    ShapeRun(environment_,
             FindSubShape(environment_.script, shape_path_, LowerCase(call.arguments[0].text)),
             frame_.Scaled(Number(call, 1), Number(call, 2)), state_)
        .Run();
    --environment_.depth;
  }
  void SetAnchorInset(const Expression& call) {
    AnchorInsets& insets = environment_.outcome.anchor_insets;
    double* const edges[] = {&insets.top, &insets.left, &insets.right, &insets.bottom};
    *edges[Choice(call.arguments[0], {"top", "left", "right", "bottom"})] = Number(call, 1);
  }
  void SetNoShadow(const Expression& value) {
    environment_.outcome.shadow = Choice(value, {"true", "false"}) == 1;
  }
  void SetHorizontalAlignment(const Expression& value) {
    state_.horizontal_alignment = Choice(value, {"left", "center", "right"});
  }
  void SetVerticalAlignment(const Expression& value) {
    state_.vertical_alignment = Choice(value, {"top", "center", "bottom"});
  }
  bool HasTag(const Expression& call) const {
    return environment_.context.Tag(call.arguments[0].text) == call.arguments[1].text;
  }
  bool HasProperty(const Expression& call) const {
    return environment_.context.Property(call.arguments[0].text) == call.arguments[1].text;
  }

  // --- Helpers ----------------------------------------------------------------
  static double Number(const Expression& call, size_t index) {
    return call.arguments[index].number;
  }
  // The index of the string `value` among `choices`, in any letter case.
  int Choice(const Expression& value, std::initializer_list<std::string_view> choices) const {
    const auto found = std::ranges::find(choices, LowerCase(value.text));
    if (found != choices.end()) return static_cast<int>(found - choices.begin());
    std::string accepted;
    for (std::string_view choice : choices) {
      accepted += (accepted.empty() ? "" : ", ") + std::string(choice);
    }
    Fail(value.position, "\"" + value.text + "\" is not one of " + accepted);
  }
  void Emit(canvas::Command command) { environment_.list.commands.push_back(std::move(command)); }
  [[noreturn]] void Fail(Position position, const std::string& problem) const {
    throw ErrorAt(environment_.script.stereotype, position, problem);
  }

  Environment& environment_;
  std::vector<const Shape*> shape_path_;  // the shape run and those enclosing it
  Frame frame_;
  DrawingState state_;
  Point current_point_;
  std::vector<PathStep> lines_;
  std::vector<PathStep> path_steps_;
  bool building_path_ = false;
};

// Runs the script's top-level shape `name` in `frame`; answers whether the
// script has one.
bool RunTopShape(Environment& environment, std::string_view name, const Frame& frame) {
  std::vector<const Shape*> path = FindSubShape(environment.script, {}, name);
  if (path.empty()) return false;
  const DrawingState state{environment.style.pen, environment.style.fill, 0, 0};
  ShapeRun(environment, std::move(path), frame, state).Run();
  return true;
}

void Append(const canvas::DisplayList& drawn, canvas::DisplayList& list) {
  list.commands.insert(list.commands.end(), drawn.commands.begin(), drawn.commands.end());
}

}  // namespace

Outcome DrawElement(const Script& script, const canvas::Box& box, const Context& context,
                    canvas::DisplayList& list) {
  Outcome outcome;
  canvas::DisplayList drawn;
  Environment environment{script, context, context.DefaultStyle(), drawn, outcome};
  RunTopShape(environment, "main", ElementFrame(box));
  Append(drawn, list);
  return outcome;
}

Outcome DrawConnector(const Script& script, canvas::Point source, canvas::Point target,
                      const Context& context, canvas::DisplayList& list) {
  Outcome outcome;
  canvas::DisplayList drawn;
  Environment environment{script, context, context.DefaultStyle(), drawn, outcome};
  RunTopShape(environment, "main", LineFrame(source, target));
  outcome.host_source_end = !RunTopShape(environment, "source", EndFrame(source, target));
  outcome.host_target_end = !RunTopShape(environment, "target", EndFrame(target, source));
  for (std::string_view label : {"lefttoplabel", "leftbottomlabel", "middletoplabel",
                                 "middlebottomlabel", "righttoplabel", "rightbottomlabel"}) {
    std::string text;
    canvas::DisplayList not_drawn;
    Environment label_run{script, context, environment.style, not_drawn, outcome, &text};
    if (RunTopShape(label_run, label, LineFrame(source, target))) {
      outcome.labels[std::string(label)] = text;
    }
  }
  Append(drawn, list);
  return outcome;
}

const CommandForm* FindCommand(std::string_view name) {
  const auto found = ShapeRun::Commands().find(name);
  return found == ShapeRun::Commands().end() ? nullptr : &found->second.form;
}

bool IsAttribute(std::string_view name) { return ShapeRun::Attributes().contains(name); }

}  // namespace orba::shape_script
