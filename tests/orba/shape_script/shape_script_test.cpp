// The shape scripts: the real ones, read from the technology document in the
// example model the built add-in made (the document exactly as the host got
// it and stored it), and the cases of cases/*.txt (formats at their tops).
//
// A drawing is checked as text: each command of the display list, then
// what the outcome says beyond its defaults, joined by " | ":
//   rectangle X,Y WxH [radius R] pen R,G,B STYLE [fill R,G,B]
//   path pen R,G,B STYLE [fill R,G,B]: FIGURE, ...   the FIGUREs sorted, each
//     "line" (two points), "head DIRECTION" (an arrowhead or triangle: the
//     way its apex points, left/right/up/down) or "N points"
//   text "TEXT" at X,Y start|middle|end
//   native X,Y WxH                 (drawnativeshape: the host's own shape)
//   no shadow | insets T,L,R,B | label NAME "TEXT" | label NAME hidden |
//   no host source end | no host target end
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "orba/shape_script/interpreter.h"
#include "orba/shape_script/parser.h"
#include "orba/shape_script/technology_scripts.h"
#include "orba/store/model_repository.h"

namespace orba::shape_script {
namespace {

using canvas::Point;

// A fixed measure: the module places text, the fonts are not its concern.
class FixedWidthMeasure : public canvas::TextMeasure {
 public:
  canvas::TextExtent Measure(const std::string& text, const canvas::Font& font) const override {
    const auto characters = std::ranges::count_if(text, [](char c) { return (c & 0xC0) != 0x80; });
    return {0.6 * font.size * static_cast<double>(characters), 0.8 * font.size, 0.2 * font.size};
  }
};

class CaseItem : public Context {
 public:
  std::string Tag(const std::string& name) const override { return ValueIn(tags, name); }
  std::string Property(const std::string& name) const override { return ValueIn(properties, name); }
  void DrawNativeShape(const canvas::Box& box, canvas::DisplayList& list) const override {
    list.commands.push_back(canvas::Ellipse{box, {}, {}});
  }
  const canvas::TextMeasure& Measure() const override { return measure_; }
  Style DefaultStyle() const override {
    return {canvas::Pen{}, canvas::kWhite, canvas::Font{}, canvas::kBlack, {10, 20, 30}};
  }
  std::map<std::string, std::string> tags;
  std::map<std::string, std::string> properties;

 private:
  static std::string ValueIn(const std::map<std::string, std::string>& values,
                             const std::string& name) {
    const auto found = values.find(name);
    return found == values.end() ? "" : found->second;
  }
  FixedWidthMeasure measure_;
};

std::string Text(double number) {
  std::ostringstream text;
  text << number;
  return text.str();
}
std::string Text(Point point) { return Text(point.x) + "," + Text(point.y); }
std::string Text(canvas::Colour colour) {
  return std::to_string(colour.red) + "," + std::to_string(colour.green) + "," +
         std::to_string(colour.blue);
}
std::string Text(const canvas::Box& box) {
  return Text(Point{box.x, box.y}) + " " + Text(box.width) + "x" + Text(box.height);
}
std::string Text(const canvas::Pen& pen, const std::optional<canvas::Colour>& fill) {
  static const char* const kStyles[] = {"solid", "dash", "dot", "dashdot"};
  return "pen " + Text(pen.colour) + " " + kStyles[static_cast<int>(pen.style)] +
         (fill ? " fill " + Text(*fill) : "");
}

// Which way a three-cornered figure points: from the middle of its base to
// the corner as far from both other corners (the apex).
std::string HeadDirection(const std::vector<Point>& corners) {
  const auto distance = [](Point a, Point b) { return std::hypot(a.x - b.x, a.y - b.y); };
  for (size_t apex = 0; apex < 3; ++apex) {
    const Point a = corners[(apex + 1) % 3], b = corners[(apex + 2) % 3], top = corners[apex];
    if (std::abs(distance(top, a) - distance(top, b)) > 1e-9) continue;
    const double dx = top.x - (a.x + b.x) / 2, dy = top.y - (a.y + b.y) / 2;
    if (std::abs(dx) > std::abs(dy)) return dx < 0 ? "head left" : "head right";
    return dy < 0 ? "head up" : "head down";
  }
  return "3 points";
}

std::string Figures(const std::vector<canvas::PathStep>& steps) {
  std::vector<std::vector<Point>> figures;
  for (const canvas::PathStep& step : steps) {
    if (step.kind == canvas::PathStep::Kind::kMoveTo) figures.emplace_back();
    const Point point =
        step.kind == canvas::PathStep::Kind::kClose ? figures.back().front() : step.point;
    figures.back().push_back(point);
  }
  std::vector<std::string> names;
  for (std::vector<Point>& corners : figures) {
    if (corners.size() > 3 && corners.back() == corners.front()) corners.pop_back();
    names.push_back(corners.size() == 2   ? "line"
                    : corners.size() == 3 ? HeadDirection(corners)
                                          : std::to_string(corners.size()) + " points");
  }
  std::ranges::sort(names);  // in an order of their own, not the script's
  std::string text;
  for (const std::string& name : names) text += (text.empty() ? ": " : ", ") + name;
  return text;
}

std::string Describe(const canvas::Command& command) {
  if (const auto* rectangle = std::get_if<canvas::Rectangle>(&command)) {
    return "rectangle " + Text(rectangle->box) +
           (rectangle->corner_radius > 0 ? " radius " + Text(rectangle->corner_radius) : "") + " " +
           Text(rectangle->pen, rectangle->fill);
  }
  if (const auto* path = std::get_if<canvas::Path>(&command)) {
    return "path " + Text(path->pen, path->fill) + Figures(path->steps);
  }
  if (const auto* text = std::get_if<canvas::Text>(&command)) {
    static const char* const kAnchors[] = {"start", "middle", "end"};
    return "text \"" + text->text + "\" at " + Text(text->at) + " " +
           kAnchors[static_cast<int>(text->anchor)];
  }
  return "native " + Text(std::get<canvas::Ellipse>(command).box);
}

std::string Describe(const canvas::DisplayList& list, const Outcome& outcome) {
  std::vector<std::string> parts;
  for (const canvas::Command& command : list.commands) parts.push_back(Describe(command));
  if (!outcome.shadow) parts.push_back("no shadow");
  const AnchorInsets& insets = outcome.anchor_insets;
  if (insets != AnchorInsets{}) {
    parts.push_back("insets " + Text(insets.top) + "," + Text(insets.left) + "," +
                    Text(insets.right) + "," + Text(insets.bottom));
  }
  for (const auto& [name, text] : outcome.labels) {
    parts.push_back("label " + name + (text.empty() ? " hidden" : " \"" + text + "\""));
  }
  if (!outcome.host_source_end) parts.push_back("no host source end");
  if (!outcome.host_target_end) parts.push_back("no host target end");
  std::string description;
  for (const std::string& part : parts) description += (description.empty() ? "" : " | ") + part;
  return description;
}

// The shape scripts of every technology the example model holds.
const std::map<std::string, std::string>& ExampleModelScripts() {
  static const std::map<std::string, std::string> kScripts = [] {
    store::ModelRepository repository;
    repository.Open(TESSARY_BUILD_BIN_DIR "/SysML Example.obx",
                    store::ModelRepository::Access::kReadOnly);
    std::map<std::string, std::string> scripts;
    for (const std::string& id : repository.TechnologyIds()) {
      scripts.merge(ShapeScriptsOf(repository.TechnologyDocument(id)));
    }
    return scripts;
  }();
  return kScripts;
}

std::string FileText(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path.string());
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// The lines of cases/NAME.txt that are neither blank nor comments.
std::vector<std::string> CaseLines(const std::string& name) {
  std::istringstream in(FileText(TESSARY_SOURCE_ROOT "/tests/orba/shape_script/cases/" + name));
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && !line.starts_with("#")) lines.push_back(line);
  }
  return lines;
}

// `text` with "\n" read as a line break.
std::string Unescaped(std::string text) {
  for (size_t at = text.find("\\n"); at != std::string::npos; at = text.find("\\n", at)) {
    text.replace(at, 2, "\n");
  }
  return text;
}

struct Case {
  std::string name;
  std::string input;
  std::string expected;
  friend void PrintTo(const Case& c, std::ostream* out) { *out << c.name; }
};

// "NAME INPUT => EXPECTED" lines of a case file.
std::vector<Case> Cases(const std::string& file) {
  std::vector<Case> cases;
  for (const std::string& line : CaseLines(file)) {
    if (line.starts_with("script ")) continue;  // a script the drawings use
    const size_t space = line.find(' '), arrow = line.rfind(" => ");
    cases.push_back(
        {line.substr(0, space), line.substr(space + 1, arrow - space - 1), line.substr(arrow + 4)});
  }
  return cases;
}

std::string CaseName(const ::testing::TestParamInfo<Case>& info) { return info.param.name; }

TEST(ShapeScriptTest, EveryScriptOfTheExampleModelsTechnologyIsReadParsedAndDrawn) {
  const std::map<std::string, std::string>& scripts = ExampleModelScripts();
  std::vector<std::string> stereotypes;
  for (const auto& [stereotype, text] : scripts) stereotypes.push_back(stereotype);
  EXPECT_THAT(stereotypes, ::testing::UnorderedElementsAre("PackageImport", "flowPort", "itemFlow",
                                                           "internalProperty", "constraintProperty",
                                                           "objectFlow"));
  // Each one read is one of the add-in's script sources, letter for letter.
  std::vector<std::string> sources;
  for (const auto& file : std::filesystem::directory_iterator(
           TESSARY_SOURCE_ROOT "/src/resources/technology/scripts")) {
    sources.push_back(FileText(file.path()));
  }
  for (const auto& [stereotype, text] : scripts) {
    EXPECT_THAT(sources, ::testing::Contains(text)) << stereotype;
    const Script script = ParseScript(stereotype, text);
    canvas::DisplayList element, connector;
    DrawElement(script, {0, 0, 40, 20}, CaseItem(), element);
    DrawConnector(script, {0, 0}, {100, 0}, CaseItem(), connector);
    EXPECT_FALSE(element.commands.empty()) << stereotype;
    EXPECT_FALSE(connector.commands.empty()) << stereotype;
  }
}

// cases/drawings.txt: "NAME SCRIPT; PLACE; FACT; ... => DRAWING".
class DrawingTest : public ::testing::TestWithParam<Case> {};

TEST_P(DrawingTest, DrawsAsTheCaseSays) {
  std::map<std::string, std::string> scripts = ExampleModelScripts();
  for (const std::string& line : CaseLines("drawings.txt")) {
    const size_t colon = line.find(": ");
    if (line.starts_with("script ")) scripts[line.substr(7, colon - 7)] = line.substr(colon + 2);
  }
  std::vector<std::string> fields;
  std::istringstream input(GetParam().input);
  for (std::string field; std::getline(input, field, ';');) {
    fields.push_back(field.substr(field.find_first_not_of(' ')));
  }
  CaseItem item;
  for (size_t at = 2; at < fields.size(); ++at) {
    const size_t space = fields[at].find(' '), equals = fields[at].find('=');
    auto& facts = fields[at].starts_with("tag ") ? item.tags : item.properties;
    facts[fields[at].substr(space + 1, equals - space - 1)] = fields[at].substr(equals + 1);
  }
  Point first, second;  // of "box X,Y W,H" or "line X1,Y1 X2,Y2"
  char comma;
  std::istringstream place(fields.at(1).substr(fields[1].find(' ')));
  place >> first.x >> comma >> first.y >> second.x >> comma >> second.y;
  canvas::DisplayList list{1, 2, "untouched", canvas::kWhite, {canvas::EndGroup{}}};
  std::string drawing;
  try {
    const Script script = ParseScript(fields[0], scripts.at(fields[0]));
    const Outcome outcome =
        fields[1].starts_with("box")
            ? DrawElement(script, {first.x, first.y, second.x, second.y}, item, list)
            : DrawConnector(script, first, second, item, list);
    EXPECT_TRUE(std::holds_alternative<canvas::EndGroup>(list.commands.front()));  // kept first
    list.commands.erase(list.commands.begin());
    drawing = Describe(list, outcome);
  } catch (const ShapeScriptError& error) {
    EXPECT_EQ(list.commands.size(), 1u);  // nothing half drawn
    drawing = std::string("error: ") + error.what();
  }
  EXPECT_EQ(drawing, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, DrawingTest, ::testing::ValuesIn(Cases("drawings.txt")), CaseName);

// cases/script_errors.txt: "NAME SCRIPT => MESSAGE".
class ScriptErrorTest : public ::testing::TestWithParam<Case> {};

TEST_P(ScriptErrorTest, IsRefusedNamingTheLineAndColumn) {
  try {
    ParseScript("broken", Unescaped(GetParam().input));
    ADD_FAILURE() << "parsed";
  } catch (const ShapeScriptError& error) {
    EXPECT_EQ(error.what(), GetParam().expected);
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, ScriptErrorTest, ::testing::ValuesIn(Cases("script_errors.txt")),
                         CaseName);

// cases/payloads.txt: "NAME STEREOTYPES => SCRIPTS OR MESSAGE".
class PayloadTest : public ::testing::TestWithParam<Case> {};

TEST_P(PayloadTest, IsReadOrRefusedNamingTheStereotypeAndTheProblem) {
  const std::string document =
      "<Quindle.Technology><UMLProfiles><UMLProfile><Content><Stereotypes>" + GetParam().input +
      "</Stereotypes></Content></UMLProfile></UMLProfiles></Quindle.Technology>";
  std::string read;
  try {
    for (const auto& [stereotype, text] : ShapeScriptsOf(document))
      read += stereotype + ": " + text;
  } catch (const ShapeScriptError& error) {
    read = error.what();
  }
  const std::string& expected = GetParam().expected;
  if (expected.ends_with(" ...")) {
    EXPECT_THAT(read, ::testing::StartsWith(expected.substr(0, expected.size() - 4)));
  } else {
    EXPECT_EQ(read, expected);
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, PayloadTest, ::testing::ValuesIn(Cases("payloads.txt")), CaseName);

}  // namespace
}  // namespace orba::shape_script
