#include "base/utf8.h"

#include <stdexcept>

namespace base {

Utf8Character DecodeUtf8At(std::string_view text, size_t at) {
  constexpr char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};  // by size: no overlong forms
  const auto lead = static_cast<unsigned char>(text[at]);
  if (lead < 0x80) return {lead, 1};
  const size_t size = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
  if (lead < 0xC0 || lead > 0xF4 || text.size() - at < size) return {kNotACharacter, 1};
  char32_t code_point = lead & (0x7F >> size);
  for (size_t next = at + 1; next < at + size; ++next) {
    if (!IsUtf8Continuation(text[next])) return {kNotACharacter, 1};
    code_point = code_point << 6 | (static_cast<unsigned char>(text[next]) & 0x3F);
  }
  const bool surrogate = code_point >= 0xD800 && code_point <= 0xDFFF;
  if (code_point < kSmallest[size] || code_point > 0x10FFFF || surrogate) {
    return {kNotACharacter, 1};
  }
  return {code_point, size};
}

std::u32string DecodeUtf8(std::string_view text) {
  std::u32string code_points;
  for (size_t at = 0; at < text.size();) {
    const Utf8Character character = DecodeUtf8At(text, at);
    if (character.code_point == kNotACharacter) {
      throw std::runtime_error("invalid UTF-8 at byte " + std::to_string(at));
    }
    code_points += character.code_point;
    at += character.size;
  }
  return code_points;
}

void AppendUtf8(std::string& out, char32_t code_point) {
  if (code_point < 0x80) {
    out += static_cast<char>(code_point);
    return;
  }
  const int continuation_bytes = code_point < 0x800 ? 1 : code_point < 0x10000 ? 2 : 3;
  constexpr unsigned char kLead[] = {0, 0xC0, 0xE0, 0xF0};
  out += static_cast<char>(kLead[continuation_bytes] | (code_point >> (6 * continuation_bytes)));
  for (int shift = 6 * (continuation_bytes - 1); shift >= 0; shift -= 6) {
    out += static_cast<char>(0x80 | ((code_point >> shift) & 0x3F));
  }
}

}  // namespace base
