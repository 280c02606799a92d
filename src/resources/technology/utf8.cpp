#include "utf8.h"

#include <stdexcept>

namespace technology {
namespace {

// How many bytes a sequence has, judged by its lead byte; 0 for a byte that cannot lead.
size_t SequenceLength(unsigned char lead) {
  if (lead < 0x80) return 1;
  if ((lead & 0xE0) == 0xC0) return 2;
  if ((lead & 0xF0) == 0xE0) return 3;
  if ((lead & 0xF8) == 0xF0) return 4;
  return 0;
}

bool IsContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// The smallest code point that needs a sequence of `length` bytes (overlong forms are invalid).
char32_t SmallestOfLength(size_t length) {
  static const char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
  return kSmallest[length];
}

}  // namespace

std::u32string DecodeUtf8(std::string_view text) {
  std::u32string code_points;
  size_t at = 0;
  while (at < text.size()) {
    const auto lead = static_cast<unsigned char>(text[at]);
    const size_t length = SequenceLength(lead);
    if (length == 0 || at + length > text.size()) {
      throw std::runtime_error("invalid UTF-8 at byte " + std::to_string(at));
    }
    char32_t code_point = length == 1 ? lead : lead & (0x7F >> length);
    for (size_t i = 1; i < length; ++i) {
      const auto byte = static_cast<unsigned char>(text[at + i]);
      if (!IsContinuation(byte))
        throw std::runtime_error("invalid UTF-8 at byte " + std::to_string(at + i));
      code_point = (code_point << 6) | (byte & 0x3F);
    }
    if (code_point < SmallestOfLength(length) || code_point > 0x10FFFF ||
        (code_point >= 0xD800 && code_point <= 0xDFFF)) {
      throw std::runtime_error("invalid UTF-8 at byte " + std::to_string(at));
    }
    code_points += code_point;
    at += length;
  }
  return code_points;
}

}  // namespace technology
