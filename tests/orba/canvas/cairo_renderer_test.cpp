// WritePng and WritePdf with the real cairo and Pango: the PNG read back
// with cairo, pixel by pixel; the PDF's header and its one page; and what a
// failed write leaves: the old file as it was, a message naming the file.
#include "orba/canvas/cairo_renderer.h"

#include <cairo.h>
#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <limits>
#include <memory>
#include <string>

#include "orba/canvas/canvas_error.h"
#include "orba/canvas/text_measure.h"
#include "support/failing_file_system.h"
#include "support/temp_folder.h"

namespace orba::canvas {

namespace {

using testing::HasSubstr;
using testing::ThrowsMessage;
using testing_support::FileBytes;

constexpr Colour kGrey{200, 200, 200};
constexpr Colour kRed{255, 0, 0};
constexpr Colour kBlue{0, 0, 255};

// A PNG file read back with cairo.
struct Picture {
  explicit Picture(const std::filesystem::path& file)
      : surface(cairo_image_surface_create_from_png(file.c_str()), cairo_surface_destroy),
        width(cairo_image_surface_get_width(surface.get())),
        height(cairo_image_surface_get_height(surface.get())) {}
  Colour At(int x, int y) const {
    const unsigned char* row = cairo_image_surface_get_data(surface.get()) +
                               y * cairo_image_surface_get_stride(surface.get());
    const uint32_t pixel = reinterpret_cast<const uint32_t*>(row)[x];
    return {uint8_t(pixel >> 16), uint8_t(pixel >> 8), uint8_t(pixel)};
  }
  std::unique_ptr<cairo_surface_t, decltype(&cairo_surface_destroy)> surface;
  int width, height;
};

DisplayList List(double width, double height, std::vector<Command> commands) {
  return {.width = width, .height = height, .title = "", .background = kGrey, .commands = commands};
}

// On grey, a red box from (10, 10) to (30, 20) with rounded black corners, and
// a blue triangle in a group.
DisplayList Box() {
  using enum PathStep::Kind;
  const std::vector<PathStep> steps{
      {kMoveTo, {32, 2}}, {kLineTo, {38, 2}}, {kLineTo, {38, 8}}, {kClose, {}}};
  return List(40, 30,
              {Rectangle{{10, 10, 20, 10}, 3, {kBlack, 2, {}}, kRed}, BeginGroup{},
               Path{steps, {}, kBlue, false}, EndGroup{}});
}

class PngScaleTest : public testing::TestWithParam<double> {};

TEST_P(PngScaleTest, IsThePictureAtItsScale) {
  const testing_support::TempFolder folder;
  const double scale = GetParam();
  WritePng(Box(), folder.path() / "box.png", scale);
  const Picture picture(folder.path() / "box.png");
  EXPECT_EQ(picture.width, std::ceil(40 * scale));
  EXPECT_EQ(picture.height, std::ceil(30 * scale));
  auto at = [&](double x, double y) { return picture.At(int(x * scale), int(y * scale)); };
  EXPECT_EQ(at(20, 15), kRed) << "inside";
  EXPECT_EQ(at(10, 15), kBlack) << "on the outline";
  EXPECT_NE(at(10, 10), kBlack) << "the corner is rounded";
  EXPECT_EQ(at(37, 3), kBlue) << "inside the triangle";
  EXPECT_EQ(at(35, 25), kGrey) << "outside";
}

INSTANTIATE_TEST_SUITE_P(Scales, PngScaleTest, testing::Values(1.0, 2.0, 0.75));

// Where text's ink is in the PNG: the box of its pixels that are not grey.
struct Ink {
  int left = 1 << 30, right = -1, top = 1 << 30, bottom = -1;
};

Ink InkOf(const Picture& picture) {
  Ink ink;
  for (int y = 0; y < picture.height; ++y) {
    for (int x = 0; x < picture.width; ++x) {
      if (picture.At(x, y).red > 100) continue;
      ink = {std::min(ink.left, x), std::max(ink.right, x + 1), std::min(ink.top, y),
             std::max(ink.bottom, y + 1)};
    }
  }
  return ink;
}

struct AnchorCase {
  TextAnchor anchor;
  double share_before;  // of the text's width, before its anchor point
};

void PrintTo(const AnchorCase& anchor, std::ostream* out) {
  *out << anchor.share_before << " of the text before its anchor";
}

class PngTextTest : public testing::TestWithParam<AnchorCase> {};

// "HHH" has no descender and nearly no side bearings: its ink ends on the
// baseline and spans about its measured width, placed by its anchor.
TEST_P(PngTextTest, SitsOnItsBaselineAtItsAnchor) {
  const testing_support::TempFolder folder;
  const Font font{"Liberation Sans", 18, false, false};
  WritePng(List(200, 60, {Text{{100, 40}, GetParam().anchor, "HHH", font, kBlack}}),
           folder.path() / "t.png");
  const Ink ink = InkOf(Picture(folder.path() / "t.png"));
  const double width = PangoTextMeasure().Measure("HHH", font).width;
  const double start = 100 - width * GetParam().share_before;
  EXPECT_NEAR(ink.bottom, 40, 1);
  EXPECT_NEAR(ink.top, 40 - 0.73 * 24, 1.5) << "capitals are 0.73 of the font's size high";
  EXPECT_NEAR(ink.left, start, 3);
  EXPECT_NEAR(ink.right, start + width, 3);
}

INSTANTIATE_TEST_SUITE_P(Anchors, PngTextTest,
                         testing::Values(AnchorCase{TextAnchor::kStart, 0},
                                         AnchorCase{TextAnchor::kMiddle, 0.5},
                                         AnchorCase{TextAnchor::kEnd, 1}));

TEST(PdfTest, IsOnePageThePicturesSizeTitledAsTheList) {
  const testing_support::TempFolder folder;
  DisplayList list = Box();
  list.title = "Pumps";
  list.commands.push_back(Ellipse{{0, 0, 40, 0}, {}, kRed});
  list.commands.push_back(Text{{0, 20}, TextAnchor::kEnd, "Pump", Font(), kBlack});
  WritePdf(list, folder.path() / "box.pdf");
  const std::string pdf = FileBytes(folder.path() / "box.pdf");
  EXPECT_TRUE(pdf.starts_with("%PDF-1.")) << pdf.substr(0, 8);
  EXPECT_THAT(pdf, HasSubstr("/Count 1\n"));
  EXPECT_THAT(pdf, HasSubstr("/MediaBox [ 0 0 30 22.5 ]")) << "40 by 30 px in points";
  EXPECT_THAT(pdf, HasSubstr("/Title (Pumps)"));
}

// A folder where no file can be made, as one is to a user without the right.
class UnwritableFolder : public testing_support::FailingFileSystem {
  int Open(const char* path, int flags, mode_t mode) override {
    if (flags & O_CREAT) return errno = EACCES, -1;
    return FailingFileSystem::Open(path, flags, mode);
  }
};

// Parameter: whether the file written is the PDF rather than the PNG.
class CanvasFileTest : public testing::TestWithParam<bool> {
 protected:
  void Write(const std::filesystem::path& file, base::FileSystem& fs = base::OperatingSystem(),
             const DisplayList& list = Box()) {
    GetParam() ? WritePdf(list, file, fs) : WritePng(list, file, 1, fs);
  }
  std::string Named(const std::filesystem::path& file) const {
    return "cannot write " + std::string(GetParam() ? "PDF" : "PNG") + " file " + file.string() +
           ": ";
  }
  testing_support::TempFolder folder_;
  std::filesystem::path file_ = folder_.path() / "out";
};

TEST_P(CanvasFileTest, AFailedWriteLeavesTheOldFileAndNamesIt) {
  std::ofstream(file_) << "old";
  testing_support::FailingFileSystem fs;
  const std::vector<std::string> messages = testing_support::FailEachCallInTurn<CanvasError>(
      fs, [&] { Write(file_, fs); },
      [&](const std::string& message) {
        if (message.empty()) {
          EXPECT_TRUE(FileBytes(file_).starts_with(GetParam() ? "%PDF" : "\x89PNG"));
        } else {
          EXPECT_THAT(message, HasSubstr(Named(file_)));
          EXPECT_EQ(FileBytes(file_), "old");
        }
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder_.path()), {}), 1);
        std::ofstream(file_) << "old";
      });
  EXPECT_GE(messages.size(), 3u);
}

TEST_P(CanvasFileTest, AFileThatCannotBeWrittenIsNamedWithTheReason) {
  std::ofstream(file_) << "old";
  UnwritableFolder unwritable;
  EXPECT_THAT([&] { Write(file_, unwritable); },
              ThrowsMessage<CanvasError>(Named(file_) + "Permission denied"));
  EXPECT_EQ(FileBytes(file_), "old");
  const std::filesystem::path missing = folder_.path() / "missing" / "out";
  EXPECT_THAT([&] { Write(missing); },
              ThrowsMessage<CanvasError>(Named(missing) + "No such file or directory"));
  EXPECT_THAT([&] { Write(folder_.path()); },
              ThrowsMessage<CanvasError>(Named(folder_.path()) + "it is a folder"));
  DisplayList refused = Box();
  refused.commands.push_back(EndGroup{});
  EXPECT_THAT([&] { Write(file_, base::OperatingSystem(), refused); },
              ThrowsMessage<CanvasError>(
                  Named(file_) + "the display list's command 5 (an EndGroup): it ends no group"));
  EXPECT_EQ(FileBytes(file_), "old");
}

INSTANTIATE_TEST_SUITE_P(PngAndPdf, CanvasFileTest, testing::Values(false, true),
                         [](const testing::TestParamInfo<bool>& info) {
                           return info.param ? "Pdf" : "Png";
                         });

TEST(PngTest, AScaleThatGivesNoPictureIsRefused) {
  const testing_support::TempFolder folder;
  const std::filesystem::path file = folder.path() / "x.png";
  const std::pair<double, std::string> refused[] = {
      {0, "the scale is 0, not a positive number"},
      {std::numeric_limits<double>::quiet_NaN(), "the scale is nan, not a positive number"},
      {1000, "at scale 1000 the picture is 40000 pixels a side, more than cairo's 32767"}};
  for (const auto& [scale, reason] : refused) {
    const auto write = [&, scale = scale] { WritePng(Box(), file, scale); };
    EXPECT_THAT(write, ThrowsMessage<CanvasError>("cannot write PNG file " + file.string() + ": " +
                                                  reason));
  }
}

}  // namespace
}  // namespace orba::canvas
