#include "orba/canvas/appearance.h"

#include <algorithm>
#include <cctype>

#include "base/utf8.h"
#include "base/xml_escape.h"

namespace orba::canvas {
namespace {

bool Contains(std::string_view lower_text, std::string_view word) {
  return lower_text.find(word) != std::string_view::npos;
}

}  // namespace

std::vector<double> DashPattern(const Pen& pen) {
  // A hairline dashes as a pen of 1 px would, so its dashes stay visible.
  const double unit = std::max(pen.width, 1.0);
  switch (pen.style) {
    case LineStyle::kSolid: return {};
    case LineStyle::kDash: return {4 * unit, 3 * unit};
    case LineStyle::kDot: return {unit, 2 * unit};
    case LineStyle::kDashDot: return {4 * unit, 2 * unit, unit, 2 * unit};
  }
  return {};
}

std::string_view GenericFamily(std::string_view family) {
  std::string lower(family);
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](unsigned char c) { return std::tolower(c); });
  if (Contains(lower, "mono") || Contains(lower, "courier")) return "monospace";
  if ((Contains(lower, "serif") && !Contains(lower, "sans")) || Contains(lower, "times")) {
    return "serif";
  }
  return "sans-serif";
}

std::string OneLine(std::string_view text) {
  std::string line;
  line.reserve(text.size());
  for (size_t at = 0; at < text.size();) {
    if (text.substr(at, 2) == "\r\n") ++at;  // one line break: its LF makes the space
    const base::Utf8Character character = base::DecodeUtf8At(text, at);
    const char32_t c = character.code_point;
    if (c == '\n' || c == '\r' || c == '\t') {
      line += ' ';
    } else if (c == base::kNotACharacter || !base::IsXmlCharacter(c)) {
      line += base::kReplacementCharacter;
    } else {
      line += text.substr(at, character.size);
    }
    at += character.size;
  }
  return line;
}

}  // namespace orba::canvas
