// PangoTextMeasure with the fonts of this machine (Liberation Sans comes with
// the project's packages), and WrapText breaking text with it. Wrapping cases
// give the widest line that must fit as a text, so that they hold whatever
// the exact widths of the font's letters.
#include "orba/canvas/text_measure.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace orba::canvas {
namespace {

const TextMeasure& Pango() {
  static const PangoTextMeasure measure;
  return measure;
}

Font Sized(double points, bool bold = false) { return {"Liberation Sans", points, bold, false}; }

TEST(PangoTextMeasureTest, MeasuresInPixelsAFontSizedInPoints) {
  const TextExtent extent = Pango().Measure("Pump Controller", Sized(9));
  // 9 pt is 12 px; Liberation Sans rises 0.905 of its size and falls 0.212.
  EXPECT_NEAR(extent.ascent, 0.905 * 12, 0.05);
  EXPECT_NEAR(extent.descent, 0.212 * 12, 0.05);
  const TextExtent doubled = Pango().Measure("Pump Controller", Sized(18));
  EXPECT_NEAR(doubled.width, 2 * extent.width, 0.01) << "metrics are not hinted";
  EXPECT_NEAR(doubled.Height(), 2 * extent.Height(), 0.01);
  EXPECT_GT(Pango().Measure("Pump Controller", Sized(9, true)).width, extent.width);
}

TEST(PangoTextMeasureTest, MeasuresALineBreakAsASpaceAndNoTextAsAnEmptyLine) {
  const Font font = Sized(9);
  EXPECT_EQ(Pango().Measure("in\nout", font).width, Pango().Measure("in out", font).width);
  EXPECT_EQ(Pango().Measure("in\r\nout", font).width, Pango().Measure("in out", font).width);
  const TextExtent empty = Pango().Measure("", font);
  EXPECT_EQ(empty.width, 0);
  EXPECT_DOUBLE_EQ(empty.Height(), Pango().Measure("x", font).Height());
}

struct WrapCase {
  std::string behaviour;
  std::string text;
  std::string widest_fitting;  // max_width is its width
  std::vector<std::string> lines;
};

void PrintTo(const WrapCase& wrap, std::ostream* out) { *out << wrap.behaviour; }

class WrapTextTest : public testing::TestWithParam<WrapCase> {};

TEST_P(WrapTextTest, BreaksTextIntoLinesThatFit) {
  const WrapCase& wrap = GetParam();
  const Font font;
  EXPECT_EQ(WrapText(Pango(), wrap.text, font, Pango().Measure(wrap.widest_fitting, font).width),
            wrap.lines);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Cases, WrapTextTest, testing::Values(
    WrapCase{"a text that fits is one line", "alpha beta gamma", "alpha beta gamma",
             {"alpha beta gamma"}},
    WrapCase{"breaks between words", "alpha beta gamma", "alpha beta", {"alpha beta", "gamma"}},
    WrapCase{"a word to a line", "alpha beta gamma", "alpha", {"alpha", "beta", "gamma"}},
    WrapCase{"a word wider than the limit stands alone", "a extraordinarily b", "a b",
             {"a", "extraordinarily", "b"}},
    WrapCase{"no room leaves a word to a line", "alpha beta", "", {"alpha", "beta"}},
    WrapCase{"keeps the text's own line breaks", "one\ntwo three\r\nfour\rfive", "two three",
             {"one", "two three", "four", "five"}},
    WrapCase{"keeps empty lines", "one\n\ntwo", "one", {"one", "", "two"}},
    WrapCase{"keeps the spaces inside a line, drops those at breaks and ends",
             "  alpha  beta   gamma ", "alpha  beta", {"alpha  beta", "gamma"}},
    WrapCase{"an empty text is one empty line", "", "", {""}}));
// clang-format on

}  // namespace
}  // namespace orba::canvas
