// The About dialog's picture, drawn in code: a stylised SysML block diagram
// (three blocks joined by connectors through ports) on a deep blue to teal
// gradient. Fewer than 256 colours, as the dialog's bitmap has.
#pragma once

#include <cstdint>
#include <vector>

namespace ui {

constexpr int kAboutPictureWidth = 60;
constexpr int kAboutPictureHeight = 165;

// kAboutPictureWidth * kAboutPictureHeight pixels, row by row, 0xRRGGBB each.
std::vector<uint32_t> DrawAboutPicture();

}  // namespace ui
