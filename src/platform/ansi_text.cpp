#include "platform/ansi_text.h"

#include <cstdint>

#include "base/utf8.h"

namespace platform {
namespace {

// Code points of Windows-1252 bytes 0x80..0x9F; the five bytes the code page
// leaves undefined map to the C1 control of the same number.
constexpr char16_t kHighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

}  // namespace

std::string AnsiToText(std::string_view bytes) {
  std::string text;
  text.reserve(bytes.size());
  for (char c : bytes) {
    const uint8_t byte = static_cast<uint8_t>(c);
    if (byte < 0x80) {
      text += c;
    } else if (byte < 0xA0) {
      base::AppendUtf8(text, kHighControls[byte - 0x80]);
    } else {
      base::AppendUtf8(text, byte);
    }
  }
  return text;
}

}  // namespace platform
