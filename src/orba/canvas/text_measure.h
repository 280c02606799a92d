// TextMeasure: how large a line of text is in a font, as every renderer
// will draw it (Pango, with the fonts of this machine). Notation and shape
// scripts place text with it before it goes into a DisplayList.
#pragma once

#include <string>
#include <vector>

#include "orba/canvas/display_list.h"

namespace orba::canvas {

struct TextExtent {
  double width = 0;    // advance of the whole line
  double ascent = 0;   // from the top of the line to its baseline
  double descent = 0;  // from the baseline to the bottom of the line
  double Height() const { return ascent + descent; }
};

class TextMeasure {
 public:
  virtual ~TextMeasure() = default;
  // One line of UTF-8 text (a line break in it is measured as a space).
  virtual TextExtent Measure(const std::string& text, const Font& font) const = 0;
};

// The measure of Pango with its cairo font map, as the renderers draw.
class PangoTextMeasure : public TextMeasure {
 public:
  PangoTextMeasure();
  ~PangoTextMeasure() override;
  PangoTextMeasure(const PangoTextMeasure&) = delete;
  PangoTextMeasure& operator=(const PangoTextMeasure&) = delete;
  TextExtent Measure(const std::string& text, const Font& font) const override;

 private:
  struct Context;
  Context* context_;
};

// The lines of `text` broken to fit `max_width`: at its own line breaks,
// then between words; a word wider than max_width stands alone on its line.
// Spaces inside a line are kept; those at a break or at a line's ends are not.
std::vector<std::string> WrapText(const TextMeasure& measure, const std::string& text,
                                  const Font& font, double max_width);

}  // namespace orba::canvas
