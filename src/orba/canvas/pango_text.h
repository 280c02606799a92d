// The Pango set-up that the text measure and the cairo renderer share, so
// that text is drawn at exactly the size it was measured.
#pragma once

#include <pango/pango.h>

#include <memory>
#include <string_view>

#include "orba/canvas/display_list.h"
#include "orba/canvas/text_measure.h"

namespace orba::canvas {

struct GObjectUnref {
  void operator()(gpointer object) const { g_object_unref(object); }
};
template <class T>
using GObjectPtr = std::unique_ptr<T, GObjectUnref>;

// Lays text out at 96 units an inch (1 unit = 1 px, 1 pt = 96/72 px), with
// neither hinted metrics nor rounded glyph positions, so that a line has the
// same size at every scale and on every surface.
void ConfigureContext(PangoContext* context);

// A layout of `text` as one line (OneLine) in `font`, with the font's
// family followed by its generic family.
GObjectPtr<PangoLayout> LineLayout(PangoContext* context, std::string_view text, const Font& font);

// The extent of a layout of one line.
TextExtent LineExtent(PangoLayout* layout);

}  // namespace orba::canvas
