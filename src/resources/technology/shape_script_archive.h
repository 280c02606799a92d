// Shape scripts as the document's Image elements carry them: the script text
// in UTF-16LE without a byte-order mark, as the one deflated member "str.dat"
// of a ZIP archive, in Base64 lines of 72 characters separated by CR LF.
#pragma once

#include <string>
#include <string_view>

namespace technology {

inline constexpr char kShapeScriptMember[] = "str.dat";
inline constexpr size_t kImageLineWidth = 72;

// The UTF-16LE bytes of UTF-8 `text`. Throws std::runtime_error on invalid UTF-8.
std::string Utf16LeOf(std::string_view text);

// A ZIP archive holding `content` as its one deflated member `member_name`.
// The same input always gives the same bytes: the member's time stamp and the
// compression level are fixed.
std::string ZipWithOneMember(std::string_view member_name, std::string_view content);

// The text of an Image element for the script `utf8_script`.
std::string ShapeScriptImage(std::string_view utf8_script);

}  // namespace technology
