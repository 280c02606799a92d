#include "ui/about_picture.h"

#include <iterator>
#include <utility>

namespace ui {
namespace {

constexpr uint32_t kGradientTop = 0x0B2A5B;
constexpr uint32_t kGradientBottom = 0x1F8A8A;
constexpr uint32_t kOutline = 0xFFFFFF;
constexpr uint32_t kHeader = 0xF5B942;
constexpr uint32_t kBody = 0xE8F1FA;
constexpr uint32_t kInk = 0x0B2A5B;
constexpr uint32_t kFeature = 0x7A8CA5;

// The blocks: left, top, width, height; stacked in the middle of the picture.
constexpr int kBlockLeft = 10;
constexpr int kBlockWidth = 40;
constexpr int kBlockHeight = 34;
constexpr int kBlockTops[] = {14, 66, 118};
constexpr int kHeaderHeight = 11;
constexpr int kPortSize = 5;

class Canvas {
 public:
  Canvas() : pixels_(kAboutPictureWidth * kAboutPictureHeight) {}

  void Fill(int left, int top, int width, int height, uint32_t colour) {
    for (int y = top; y < top + height; ++y) {
      for (int x = left; x < left + width; ++x) pixels_[y * kAboutPictureWidth + x] = colour;
    }
  }
  void Outline(int left, int top, int width, int height, uint32_t colour) {
    Fill(left, top, width, 1, colour);
    Fill(left, top + height - 1, width, 1, colour);
    Fill(left, top, 1, height, colour);
    Fill(left + width - 1, top, 1, height, colour);
  }
  std::vector<uint32_t> Take() { return std::move(pixels_); }

 private:
  std::vector<uint32_t> pixels_;
};

uint32_t Mix(uint32_t from, uint32_t to, int step, int steps) {
  uint32_t mixed = 0;
  for (int shift : {16, 8, 0}) {
    const int a = static_cast<int>((from >> shift) & 0xFF);
    const int b = static_cast<int>((to >> shift) & 0xFF);
    mixed |= static_cast<uint32_t>(a + (b - a) * step / steps) << shift;
  }
  return mixed;
}

void DrawGradient(Canvas& canvas) {
  for (int y = 0; y < kAboutPictureHeight; ++y) {
    canvas.Fill(0, y, kAboutPictureWidth, 1,
                Mix(kGradientTop, kGradientBottom, y, kAboutPictureHeight - 1));
  }
}

// A block: a name compartment over a compartment of two features.
void DrawBlock(Canvas& canvas, int top) {
  canvas.Fill(kBlockLeft, top, kBlockWidth, kHeaderHeight, kHeader);
  canvas.Fill(kBlockLeft, top + kHeaderHeight, kBlockWidth, kBlockHeight - kHeaderHeight, kBody);
  canvas.Fill(kBlockLeft + 10, top + 4, kBlockWidth - 20, 3, kInk);
  canvas.Fill(kBlockLeft + 5, top + kHeaderHeight + 6, kBlockWidth - 14, 2, kFeature);
  canvas.Fill(kBlockLeft + 5, top + kHeaderHeight + 13, kBlockWidth - 20, 2, kFeature);
  canvas.Fill(kBlockLeft, top + kHeaderHeight, kBlockWidth, 1, kInk);
  canvas.Outline(kBlockLeft, top, kBlockWidth, kBlockHeight, kOutline);
}

// A port centred on the block's top or bottom edge at `edge`.
void DrawPort(Canvas& canvas, int edge) {
  const int left = kBlockLeft + (kBlockWidth - kPortSize) / 2;
  canvas.Fill(left, edge - kPortSize / 2, kPortSize, kPortSize, kHeader);
  canvas.Outline(left, edge - kPortSize / 2, kPortSize, kPortSize, kOutline);
}

// The connector from the bottom of the block at `upper_top` to the top of the next one.
void DrawConnector(Canvas& canvas, int upper_top, int lower_top) {
  const int from = upper_top + kBlockHeight - 1;
  canvas.Fill(kBlockLeft + kBlockWidth / 2 - 1, from, 2, lower_top - from, kOutline);
  DrawPort(canvas, from);
  DrawPort(canvas, lower_top);
}

}  // namespace

std::vector<uint32_t> DrawAboutPicture() {
  Canvas canvas;
  DrawGradient(canvas);
  for (int top : kBlockTops) DrawBlock(canvas, top);
  for (size_t i = 0; i + 1 < std::size(kBlockTops); ++i) {
    DrawConnector(canvas, kBlockTops[i], kBlockTops[i + 1]);
  }
  return canvas.Take();
}

}  // namespace ui
