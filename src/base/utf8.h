// UTF-8, the encoding of every text the system holds: reading it character
// by character, and writing code points.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace base {

// What DecodeUtf8At answers for a byte that does not start a well-formed
// sequence.
constexpr char32_t kNotACharacter = 0xFFFFFFFF;

// U+FFFD, which stands in for what is no character, in UTF-8.
constexpr std::string_view kReplacementCharacter = "\xEF\xBF\xBD";

// One character of UTF-8 text: its code point and its size in bytes.
struct Utf8Character {
  char32_t code_point;
  size_t size;
};

// The character that starts at byte `at` (< text.size()). A byte that does
// not start a well-formed sequence (a stray continuation byte, a truncated
// or overlong sequence, a surrogate, a code point above U+10FFFF) is
// kNotACharacter of size 1, so a reader can go on after it.
Utf8Character DecodeUtf8At(std::string_view text, size_t at);

// True for the bytes 0x80..0xBF, which continue a sequence.
inline bool IsUtf8Continuation(char byte) {
  return (static_cast<unsigned char>(byte) & 0xC0) == 0x80;
}

// The code points of `text`. Throws std::runtime_error naming the byte where
// `text` stops being well-formed UTF-8.
std::u32string DecodeUtf8(std::string_view text);

// Appends `code_point` (at most U+10FFFF) to `out` in UTF-8.
void AppendUtf8(std::string& out, char32_t code_point);

}  // namespace base
