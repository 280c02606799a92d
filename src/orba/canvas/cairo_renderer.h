// Drawing a display list with cairo into a PNG picture or a one-page PDF
// document, text laid out by Pango exactly as TextMeasure measured it.
//
// The file is written whole or not at all (base::WriteFileAtomically): the
// picture is drawn in memory, written to a temporary file beside the target
// and renamed into place, so a failure leaves an existing file as it was.
// Every failure throws CanvasError naming the file and the reason: a list
// ValidateDisplayList refuses, a picture too large for cairo, a cairo error
// or a file that cannot be written.
#pragma once

#include <filesystem>

#include "base/file_system.h"
#include "orba/canvas/display_list.h"

namespace orba::canvas {

// A PNG of ceil(width * scale) by ceil(height * scale) pixels; `scale` is
// pixels per px of the list (2 for a picture twice as large each way).
void WritePng(const DisplayList& list, const std::filesystem::path& file, double scale = 1,
              base::FileSystem& fs = base::OperatingSystem());

// A PDF of one page the size of the picture (1 px = 1/96 inch), the list's
// title as the document's title.
void WritePdf(const DisplayList& list, const std::filesystem::path& file,
              base::FileSystem& fs = base::OperatingSystem());

}  // namespace orba::canvas
