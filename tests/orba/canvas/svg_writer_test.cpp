// WriteSvg: a sample list with every kind of command against the golden file
// golden/sample.svg, byte for byte; its structure read back with pugixml;
// numbers and refused lists as data. After a deliberate change, rewrite the
// golden file and review its diff:
//   UPDATE_GOLDEN=1 build/bin/orba_canvas_test --gtest_filter='SvgWriter*'
#include "orba/canvas/svg_writer.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <pugixml.hpp>
#include <string>

#include "orba/canvas/canvas_error.h"
#include "support/temp_folder.h"

namespace orba::canvas {
namespace {

const std::filesystem::path kGoldenFile =
    std::filesystem::path(TESSARY_SOURCE_ROOT) / "tests/orba/canvas/golden/sample.svg";

Path Triangle(std::optional<Colour> fill, bool stroke) {
  using enum PathStep::Kind;
  const std::vector<PathStep> steps{
      {kMoveTo, {150, 100}}, {kLineTo, {190, 130.333}}, {kLineTo, {150, 160}}, {kClose, {}}};
  return {steps, {kBlack, 1.5, LineStyle::kDashDot}, fill, stroke};
}

// A block with a linked, named part and its label, a link, and unnamed shapes.
DisplayList SampleList() {
  const Font label{"Liberation Serif", 10.5, true, true};
  const Font mono{"Courier", 9, false, false};
  return {
      .width = 320.5,
      .height = 200,
      .title = "Pumps & <valves>",
      .background = {250, 250, 240},
      .commands = {
          BeginGroup{"object", "{6C1E-01}", "Pump \"P1\"", ""},
          Rectangle{{20, 20, 160, 60}, 6, {}, Colour{255, 255, 204}},
          Text{{100, 50}, TextAnchor::kMiddle, "Pump\nController", label, {0, 0, 128}},
          BeginGroup{"compartment", "{6C1E-02}", "", "https://example.org/p?a=1&b=2"},
          Text{{24.125, 70}, TextAnchor::kStart, "a<b>&\"c\" \x01\xff", mono, kBlack},
          EndGroup{},
          EndGroup{},
          BeginGroup{"link", "", "", ""},
          Triangle(Colour{200, 255, 200}, true),
          EndGroup{},
          Ellipse{{20, 100, 120, 60}, {kBlack, 2, LineStyle::kDash}, std::nullopt},
          Triangle(std::nullopt, true),
          Triangle(Colour{200, 255, 200}, false),
          Rectangle{{200, 100, 100, 60}, 0, {kBlack, 0.5, LineStyle::kDot}, Colour{1, 2, 3}},
          Text{{300, 190}, TextAnchor::kEnd, "end", {"Liberation Sans", 7, false, false}, kBlack},
      }};
}

TEST(SvgWriterTest, TheSampleMatchesTheGoldenFile) {
  const std::string svg = WriteSvg(SampleList());
  if (std::getenv("UPDATE_GOLDEN") != nullptr) {
    std::ofstream(kGoldenFile, std::ios::binary) << svg;
    GTEST_SKIP() << "rewrote " << kGoldenFile;
  }
  EXPECT_EQ(svg, testing_support::FileBytes(kGoldenFile)) << "differs from " << kGoldenFile;
}

pugi::xml_document Parsed(const std::string& svg) {
  pugi::xml_document document;
  const pugi::xml_parse_result result = document.load_string(svg.c_str());
  EXPECT_TRUE(result) << result.description() << " at " << result.offset;
  return document;
}

TEST(SvgWriterTest, GroupsCarryTheItemsKindGuidNameAndLink) {
  const pugi::xml_document document = Parsed(WriteSvg(SampleList()));
  const pugi::xml_node svg = document.child("svg");
  EXPECT_STREQ(svg.attribute("viewBox").value(), "0 0 320.5 200");
  EXPECT_STREQ(svg.child_value("title"), "Pumps & <valves>");
  const pugi::xml_node pump = svg.find_child_by_attribute("g", "data-guid", "{6C1E-01}");
  EXPECT_STREQ(pump.attribute("class").value(), "object");
  EXPECT_STREQ(pump.child_value("title"), "Pump \"P1\"");
  const pugi::xml_node link = pump.child("a");
  EXPECT_STREQ(link.attribute("href").value(), "https://example.org/p?a=1&b=2");
  EXPECT_STREQ(link.attribute("xlink:href").value(), "https://example.org/p?a=1&b=2");
  const pugi::xml_node part = link.child("g");
  EXPECT_STREQ(part.attribute("data-guid").value(), "{6C1E-02}");
  EXPECT_TRUE(part.child("title").empty()) << "no name, no title";
  const pugi::xml_node unnamed = svg.find_child_by_attribute("g", "class", "link");
  EXPECT_TRUE(unnamed.attribute("data-guid").empty());
  EXPECT_TRUE(unnamed.child("path"));
}

TEST(SvgWriterTest, TextIsRealTextOnItsBaselineAndShapesArePainted) {
  const pugi::xml_document document = Parsed(WriteSvg(SampleList()));
  const pugi::xml_node label = document.select_node("//g[@class='object']/text").node();
  EXPECT_STREQ(label.child_value(), "Pump Controller");
  EXPECT_STREQ(label.attribute("y").value(), "50");
  EXPECT_STREQ(label.attribute("text-anchor").value(), "middle");
  EXPECT_STREQ(label.attribute("font-family").value(), "'Liberation Serif', serif");
  EXPECT_STREQ(label.attribute("font-size").value(), "14px");
  EXPECT_STREQ(label.attribute("font-weight").value(), "bold");
  const pugi::xml_node escaped = document.select_node("//a//text").node();
  EXPECT_STREQ(escaped.child_value(), "a<b>&\"c\" \xEF\xBF\xBD\xEF\xBF\xBD");
  EXPECT_STREQ(escaped.attribute("font-family").value(), "'Courier', monospace");
  EXPECT_EQ(document.select_nodes("//text").size(), 3u);
  EXPECT_EQ(document.select_nodes("//path").size(), 3u) << "text is never outlines";
  EXPECT_STREQ(document.select_node("//ellipse/@fill").attribute().value(), "none");
  EXPECT_STREQ(document.select_node("//ellipse/@stroke-dasharray").attribute().value(), "8 6");
}

// At most two decimals, no trailing zeros, never "-0".
TEST(SvgWriterTest, WritesNumbersWithAtMostTwoDecimals) {
  const std::pair<double, const char*> numbers[] = {{1, "2"},          {0.5, "1.5"},
                                                    {1.0 / 3, "1.33"}, {-1.004, "0"},
                                                    {-3.25, "-2.25"},  {999999, "1000000"}};
  for (const auto& [value, text] : numbers) {
    const DisplayList list{10, 10, "", kWhite, {Ellipse{{value, 0, 2, 2}, {}, {}}}};
    const pugi::xml_document document = Parsed(WriteSvg(list));
    EXPECT_STREQ(document.select_node("//ellipse/@cx").attribute().value(), text) << value;
  }
}

struct RefusedCase {
  std::string problem;
  std::function<void(DisplayList&)> spoil;
};

void PrintTo(const RefusedCase& refused, std::ostream* out) { *out << refused.problem; }

class RefusedListTest : public testing::TestWithParam<RefusedCase> {};

TEST_P(RefusedListTest, IsRefusedWithItsProblem) {
  DisplayList list = SampleList();
  GetParam().spoil(list);
  EXPECT_THAT([&] { WriteSvg(list); }, testing::ThrowsMessage<CanvasError>(GetParam().problem));
}

template <class T>
T& At(DisplayList& list, size_t index) {
  return std::get<T>(list.commands[index]);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Cases, RefusedListTest, testing::Values(
    RefusedCase{"the display list's width is 0, not a positive size the canvas draws",
                [](DisplayList& list) { list.width = 0; }},
    RefusedCase{"the display list's command 2 (a rectangle): its x is nan, not a number the "
                "canvas draws (up to 1e+06)",
                [](DisplayList& list) { At<Rectangle>(list, 1).box.x = std::nan(""); }},
    RefusedCase{"the display list's command 2 (a rectangle): its corner radius is negative, -6",
                [](DisplayList& list) { At<Rectangle>(list, 1).corner_radius = -6; }},
    RefusedCase{"the display list's command 12 (a path): its y is 2e+06, not a number the "
                "canvas draws (up to 1e+06)",
                [](DisplayList& list) { At<Path>(list, 11).steps[2].point.y = 2e6; }},
    RefusedCase{"the display list's command 12 (a path): it does not start with a move",
                [](DisplayList& list) { At<Path>(list, 11).steps[0].kind = PathStep::Kind::kLineTo; }},
    RefusedCase{"the display list's command 3 (a text): its font size is 0, not positive",
                [](DisplayList& list) { At<Text>(list, 2).font.size = 0; }},
    RefusedCase{"the display list's command 6 (an EndGroup): it ends no group",
                [](DisplayList& list) { list.commands.erase(list.commands.begin()); }},
    RefusedCase{"the display list has 1 BeginGroup without its EndGroup",
                [](DisplayList& list) { list.commands.pop_back(), list.commands.push_back(BeginGroup{}); }}));
// clang-format on

}  // namespace
}  // namespace orba::canvas
