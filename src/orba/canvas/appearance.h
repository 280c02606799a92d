// What the SVG and cairo renderers share about how a command looks, so that
// both draw the same picture: dashes, font families and the line of text.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "orba/canvas/display_list.h"

namespace orba::canvas {

// Dash and gap lengths in px, alternating, for the pen's line style, in
// proportion to its width; empty for a solid line.
std::vector<double> DashPattern(const Pen& pen);

// The generic family that stands in for `family` where it is missing:
// "monospace", "serif" or "sans-serif", after the family's name.
std::string_view GenericFamily(std::string_view family);

// `text` as the one line of valid UTF-8 a renderer draws: each line break
// (LF, CR, CR LF) and TAB a space; a byte that is not part of a UTF-8
// character, and a character XML does not allow, U+FFFD.
std::string OneLine(std::string_view text);

}  // namespace orba::canvas
