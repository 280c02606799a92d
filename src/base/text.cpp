#include "base/text.h"

#include <algorithm>
#include <charconv>
#include <cstdio>

namespace base {

std::string EscapeControlCharacters(std::string_view text) {
  std::string shown;
  shown.reserve(text.size());
  for (size_t at = 0; at < text.size(); ++at) {
    const auto byte = static_cast<unsigned char>(text[at]);
    char escape[8];
    if (byte < 0x20 || byte == 0x7F) {
      std::snprintf(escape, sizeof escape, "\\x%02X", byte);
      shown += escape;
    } else if (byte == 0xC2 && at + 1 < text.size() &&
               static_cast<unsigned char>(text[at + 1]) >= 0x80 &&
               static_cast<unsigned char>(text[at + 1]) <= 0x9F) {
      std::snprintf(escape, sizeof escape, "\\u00%02X", static_cast<unsigned char>(text[++at]));
      shown += escape;
    } else {
      shown += static_cast<char>(byte);
    }
  }
  return shown;
}

bool HasControlCharacter(std::string_view text) {
  return std::ranges::any_of(text, [](unsigned char c) { return c < 0x20 || c == 0x7F; });
}

std::string AsciiLowerCase(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return lower;
}

std::string AsciiUpperCase(std::string_view text) {
  std::string upper(text);
  for (char& c : upper) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return upper;
}

std::string TrimSpaces(std::string_view text) {
  const size_t begin = text.find_first_not_of(" \t");
  if (begin == std::string_view::npos) return "";
  return std::string(text.substr(begin, text.find_last_not_of(" \t") - begin + 1));
}

std::optional<int64_t> IntegerOfText(std::string_view text) {
  int64_t value = 0;
  const auto [stop, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc{} || stop != text.data() + text.size()) return std::nullopt;
  return value;
}

}  // namespace base
