#include "orba/canvas/pango_text.h"

#include <pango/pangocairo.h>

#include <cmath>
#include <string>

#include "orba/canvas/appearance.h"

namespace orba::canvas {
namespace {

constexpr double kPixelsPerInch = 96;

struct FontDescriptionFree {
  void operator()(PangoFontDescription* description) const {
    pango_font_description_free(description);
  }
};

std::unique_ptr<PangoFontDescription, FontDescriptionFree> DescriptionOf(const Font& font) {
  std::unique_ptr<PangoFontDescription, FontDescriptionFree> description(
      pango_font_description_new());
  const std::string families = font.family + "," + std::string(GenericFamily(font.family));
  pango_font_description_set_family(description.get(), families.c_str());
  pango_font_description_set_size(description.get(),
                                  static_cast<gint>(std::lround(font.size * PANGO_SCALE)));
  pango_font_description_set_weight(description.get(),
                                    font.bold ? PANGO_WEIGHT_BOLD : PANGO_WEIGHT_NORMAL);
  pango_font_description_set_style(description.get(),
                                   font.italic ? PANGO_STYLE_ITALIC : PANGO_STYLE_NORMAL);
  return description;
}

}  // namespace

void ConfigureContext(PangoContext* context) {
  pango_cairo_context_set_resolution(context, kPixelsPerInch);
  cairo_font_options_t* options = cairo_font_options_create();
  cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
  cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
  pango_cairo_context_set_font_options(context, options);
  cairo_font_options_destroy(options);
  pango_context_set_round_glyph_positions(context, FALSE);
}

GObjectPtr<PangoLayout> LineLayout(PangoContext* context, std::string_view text, const Font& font) {
  GObjectPtr<PangoLayout> layout(pango_layout_new(context));
  const std::string line = OneLine(text);
  pango_layout_set_text(layout.get(), line.data(), static_cast<int>(line.size()));
  pango_layout_set_font_description(layout.get(), DescriptionOf(font).get());
  return layout;
}

TextExtent LineExtent(PangoLayout* layout) {
  PangoRectangle logical;
  pango_layout_get_extents(layout, nullptr, &logical);
  const double ascent = pango_units_to_double(pango_layout_get_baseline(layout));
  return {.width = pango_units_to_double(logical.width),
          .ascent = ascent,
          .descent = pango_units_to_double(logical.height) - ascent};
}

}  // namespace orba::canvas
