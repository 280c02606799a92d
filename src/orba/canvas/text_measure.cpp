#include "orba/canvas/text_measure.h"

#include <pango/pangocairo.h>

#include <algorithm>
#include <string_view>

#include "orba/canvas/pango_text.h"

namespace orba::canvas {

struct PangoTextMeasure::Context {
  GObjectPtr<PangoFontMap> font_map{pango_cairo_font_map_new()};
  GObjectPtr<PangoContext> pango{pango_font_map_create_context(font_map.get())};
};

PangoTextMeasure::PangoTextMeasure() : context_(new Context) {
  ConfigureContext(context_->pango.get());
}

PangoTextMeasure::~PangoTextMeasure() { delete context_; }

TextExtent PangoTextMeasure::Measure(const std::string& text, const Font& font) const {
  return LineExtent(LineLayout(context_->pango.get(), text, font).get());
}

namespace {

// The paragraphs of `text`: its parts between line breaks (LF, CR LF, CR).
std::vector<std::string_view> Paragraphs(std::string_view text) {
  std::vector<std::string_view> paragraphs;
  for (;;) {
    const size_t end = text.find_first_of("\r\n");
    paragraphs.push_back(text.substr(0, end));
    if (end == std::string_view::npos) return paragraphs;
    text.remove_prefix(end + (text.substr(end, 2) == "\r\n" ? 2 : 1));
  }
}

struct Word {
  size_t begin;
  size_t end;
};

std::vector<Word> WordsOf(std::string_view paragraph) {
  std::vector<Word> words;
  for (size_t at = paragraph.find_first_not_of(" \t"); at != std::string_view::npos;) {
    const size_t end = std::min(paragraph.find_first_of(" \t", at), paragraph.size());
    words.push_back({at, end});
    at = paragraph.find_first_not_of(" \t", end);
  }
  return words;
}

// Appends the lines of one paragraph: as many words to a line as fit, with
// the spaces between them as they were; the spaces where it breaks dropped.
void WrapParagraph(const TextMeasure& measure, std::string_view paragraph, const Font& font,
                   double max_width, std::vector<std::string>& lines) {
  const std::vector<Word> words = WordsOf(paragraph);
  if (words.empty()) {
    lines.emplace_back();
    return;
  }
  auto span = [&](size_t first, size_t last) {
    return std::string(paragraph.substr(words[first].begin, words[last].end - words[first].begin));
  };
  size_t first = 0;
  for (size_t next = 1; next <= words.size(); ++next) {
    if (next < words.size() && measure.Measure(span(first, next), font).width <= max_width) {
      continue;
    }
    lines.push_back(span(first, next - 1));
    first = next;
  }
}

}  // namespace

std::vector<std::string> WrapText(const TextMeasure& measure, const std::string& text,
                                  const Font& font, double max_width) {
  std::vector<std::string> lines;
  for (std::string_view paragraph : Paragraphs(text)) {
    WrapParagraph(measure, paragraph, font, max_width, lines);
  }
  return lines;
}

}  // namespace orba::canvas
