#include "orba/canvas/cairo_renderer.h"

#include <cairo-pdf.h>
#include <cairo.h>
#include <pango/pangocairo.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>
#include <variant>

#include "base/error.h"
#include "base/files.h"
#include "orba/canvas/appearance.h"
#include "orba/canvas/canvas_error.h"
#include "orba/canvas/pango_text.h"
#include "orba/canvas/validation.h"

namespace orba::canvas {
namespace {

constexpr double kPdfPointsPerPixel = 72.0 / 96.0;
constexpr double kLargestPngSide = 32767;  // cairo's limit on an image surface
// The miter limit of SVG, so that corners of paths look alike in every output.
constexpr double kMiterLimit = 4;
// How far a cubic Bézier's control points lie along the tangents, as a
// share of the radius, to draw a quarter of an ellipse.
constexpr double kQuarterArc = 0.5522847498307936;

using Surface = std::unique_ptr<cairo_surface_t, decltype(&cairo_surface_destroy)>;
using Context = std::unique_ptr<cairo_t, decltype(&cairo_destroy)>;

void SetColour(cairo_t* cairo, const Colour& colour) {
  cairo_set_source_rgb(cairo, colour.red / 255.0, colour.green / 255.0, colour.blue / 255.0);
}

// Fills the current path when there is a fill, strokes it with `pen` when
// `stroke` is set, and clears it.
void Paint(cairo_t* cairo, const std::optional<Colour>& fill, const Pen& pen, bool stroke = true) {
  if (fill) {
    SetColour(cairo, *fill);
    cairo_fill_preserve(cairo);
  }
  if (stroke && pen.width > 0) {
    SetColour(cairo, pen.colour);
    cairo_set_line_width(cairo, pen.width);
    const std::vector<double> dashes = DashPattern(pen);
    cairo_set_dash(cairo, dashes.data(), static_cast<int>(dashes.size()), 0);
    cairo_stroke_preserve(cairo);
  }
  cairo_new_path(cairo);
}

void RoundedRectangle(cairo_t* cairo, const Box& box, double radius) {
  // As SVG does, a radius larger than half a side is taken as half of it.
  const double r = std::min({radius, box.width / 2, box.height / 2});
  const double right = box.x + box.width;
  const double bottom = box.y + box.height;
  cairo_new_sub_path(cairo);
  cairo_arc(cairo, right - r, box.y + r, r, -M_PI / 2, 0);
  cairo_arc(cairo, right - r, bottom - r, r, 0, M_PI / 2);
  cairo_arc(cairo, box.x + r, bottom - r, r, M_PI / 2, M_PI);
  cairo_arc(cairo, box.x + r, box.y + r, r, M_PI, 3 * M_PI / 2);
  cairo_close_path(cairo);
}

// An ellipse of four Bézier quarters, which needs no scaled matrix, so a
// box of no width or height is drawn as the line it is.
void EllipsePath(cairo_t* cairo, const Box& box) {
  const double rx = box.width / 2, ry = box.height / 2;
  const double cx = box.x + rx, cy = box.y + ry;
  const double kx = kQuarterArc * rx, ky = kQuarterArc * ry;
  cairo_move_to(cairo, cx + rx, cy);
  cairo_curve_to(cairo, cx + rx, cy + ky, cx + kx, cy + ry, cx, cy + ry);
  cairo_curve_to(cairo, cx - kx, cy + ry, cx - rx, cy + ky, cx - rx, cy);
  cairo_curve_to(cairo, cx - rx, cy - ky, cx - kx, cy - ry, cx, cy - ry);
  cairo_curve_to(cairo, cx + kx, cy - ry, cx + rx, cy - ky, cx + rx, cy);
  cairo_close_path(cairo);
}

double AnchorShare(TextAnchor anchor) {
  switch (anchor) {
    case TextAnchor::kStart: return 0;
    case TextAnchor::kMiddle: return 0.5;
    case TextAnchor::kEnd: return 1;
  }
  return 0;
}

// Draws each command on a cairo context whose user space is the list's px.
class Painter {
 public:
  explicit Painter(cairo_t* cairo) : cairo_(cairo), pango_(pango_cairo_create_context(cairo)) {
    ConfigureContext(pango_.get());
    cairo_set_miter_limit(cairo, kMiterLimit);
  }

  void operator()(const Rectangle& rectangle) {
    if (rectangle.corner_radius > 0) {
      RoundedRectangle(cairo_, rectangle.box, rectangle.corner_radius);
    } else {
      const Box& box = rectangle.box;
      cairo_rectangle(cairo_, box.x, box.y, box.width, box.height);
    }
    Paint(cairo_, rectangle.fill, rectangle.pen);
  }
  void operator()(const Ellipse& ellipse) {
    EllipsePath(cairo_, ellipse.box);
    Paint(cairo_, ellipse.fill, ellipse.pen);
  }
  void operator()(const Path& path) {
    for (const PathStep& step : path.steps) {
      switch (step.kind) {
        case PathStep::Kind::kMoveTo: cairo_move_to(cairo_, step.point.x, step.point.y); break;
        case PathStep::Kind::kLineTo: cairo_line_to(cairo_, step.point.x, step.point.y); break;
        case PathStep::Kind::kClose: cairo_close_path(cairo_); break;
      }
    }
    Paint(cairo_, path.fill, path.pen, path.stroke);
  }
  // The layout's top left is put so that its baseline passes through `at`
  // and `at` is its start, middle or end.
  void operator()(const Text& text) {
    const GObjectPtr<PangoLayout> layout = LineLayout(pango_.get(), text.text, text.font);
    const TextExtent extent = LineExtent(layout.get());
    SetColour(cairo_, text.colour);
    cairo_move_to(cairo_, text.at.x - AnchorShare(text.anchor) * extent.width,
                  text.at.y - extent.ascent);
    pango_cairo_show_layout(cairo_, layout.get());
    cairo_new_path(cairo_);
  }
  // Groups only structure the SVG; they draw nothing.
  void operator()(const BeginGroup&) {}
  void operator()(const EndGroup&) {}

 private:
  cairo_t* cairo_;
  GObjectPtr<PangoContext> pango_;
};

void Draw(cairo_t* cairo, const DisplayList& list) {
  SetColour(cairo, list.background);
  cairo_paint(cairo);
  Painter painter(cairo);
  for (const Command& command : list.commands) std::visit(painter, command);
  if (cairo_status(cairo) != CAIRO_STATUS_SUCCESS) {
    throw CanvasError(cairo_status_to_string(cairo_status(cairo)));
  }
}

cairo_status_t AppendToString(void* closure, const unsigned char* data, unsigned int length) {
  static_cast<std::string*>(closure)->append(reinterpret_cast<const char*>(data), length);
  return CAIRO_STATUS_SUCCESS;
}

void CheckStatus(cairo_status_t status) {
  if (status != CAIRO_STATUS_SUCCESS) throw CanvasError(cairo_status_to_string(status));
}

int PixelCount(double length, double scale) {
  const double pixels = std::ceil(length * scale);
  if (pixels > kLargestPngSide) {
    throw CanvasError("at scale " + NumberText(scale) + " the picture is " + NumberText(pixels) +
                      " pixels a side, more than cairo's " + NumberText(kLargestPngSide));
  }
  return static_cast<int>(pixels);
}

std::string PngBytes(const DisplayList& list, double scale) {
  if (!std::isfinite(scale) || !(scale > 0)) {
    throw CanvasError("the scale is " + NumberText(scale) + ", not a positive number");
  }
  Surface surface(cairo_image_surface_create(CAIRO_FORMAT_RGB24, PixelCount(list.width, scale),
                                             PixelCount(list.height, scale)),
                  cairo_surface_destroy);
  const Context cairo(cairo_create(surface.get()), cairo_destroy);
  cairo_scale(cairo.get(), scale, scale);
  Draw(cairo.get(), list);
  std::string bytes;
  CheckStatus(cairo_surface_write_to_png_stream(surface.get(), AppendToString, &bytes));
  return bytes;
}

std::string PdfBytes(const DisplayList& list) {
  std::string bytes;
  Surface surface(
      cairo_pdf_surface_create_for_stream(AppendToString, &bytes, list.width * kPdfPointsPerPixel,
                                          list.height * kPdfPointsPerPixel),
      cairo_surface_destroy);
  if (!list.title.empty()) {
    cairo_pdf_surface_set_metadata(surface.get(), CAIRO_PDF_METADATA_TITLE,
                                   OneLine(list.title).c_str());
  }
  {
    const Context cairo(cairo_create(surface.get()), cairo_destroy);
    cairo_scale(cairo.get(), kPdfPointsPerPixel, kPdfPointsPerPixel);
    Draw(cairo.get(), list);
  }
  cairo_surface_finish(surface.get());
  CheckStatus(cairo_surface_status(surface.get()));
  return bytes;
}

// Draws with `render`, then writes what it gave; every failure is a
// CanvasError that names the file.
template <class Render>
void WriteFile(base::FileSystem& fs, const std::filesystem::path& file, const char* what,
               const DisplayList& list, Render render) {
  std::string bytes;
  try {
    ValidateDisplayList(list);
    bytes = render();
  } catch (const CanvasError& error) {
    throw CanvasError("cannot write " + std::string(what) + " " + file.string() + ": " +
                      error.what());
  }
  base::ReportedAs<CanvasError>([&] { base::WriteFileAtomically(fs, file, bytes, what); });
}

}  // namespace

void WritePng(const DisplayList& list, const std::filesystem::path& file, double scale,
              base::FileSystem& fs) {
  WriteFile(fs, file, "PNG file", list, [&] { return PngBytes(list, scale); });
}

void WritePdf(const DisplayList& list, const std::filesystem::path& file, base::FileSystem& fs) {
  WriteFile(fs, file, "PDF file", list, [&] { return PdfBytes(list); });
}

}  // namespace orba::canvas
