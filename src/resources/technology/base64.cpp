#include "base64.h"

#include <algorithm>
#include <stdexcept>

namespace technology {
namespace {

const char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

int SextetOf(char digit) {
  for (int value = 0; value < 64; ++value) {
    if (kAlphabet[value] == digit) return value;
  }
  throw std::runtime_error(std::string("not a Base64 digit: '") + digit + "'");
}

}  // namespace

std::string Base64Encode(std::string_view bytes) {
  std::string text;
  for (size_t at = 0; at < bytes.size(); at += 3) {
    const size_t count = std::min<size_t>(3, bytes.size() - at);
    unsigned group = 0;
    for (size_t i = 0; i < 3; ++i) {
      group = (group << 8) | (i < count ? static_cast<unsigned char>(bytes[at + i]) : 0u);
    }
    for (size_t i = 0; i < 4; ++i) {
      text += i <= count ? kAlphabet[(group >> (18 - 6 * i)) & 0x3F] : '=';
    }
  }
  return text;
}

std::string Base64Decode(std::string_view text) {
  std::string digits;
  for (char c : text) {
    if (c != '\r' && c != '\n') digits += c;
  }
  if (digits.size() % 4 != 0)
    throw std::runtime_error("Base64 text of a length that is not a multiple of 4");
  const size_t padding = digits.ends_with("==") ? 2 : digits.ends_with('=') ? 1 : 0;
  const size_t digit_count = digits.size() - padding;
  std::string bytes;
  for (size_t at = 0; at < digits.size(); at += 4) {
    unsigned group = 0;
    for (size_t i = at; i < at + 4; ++i) {
      group = (group << 6) | (i < digit_count ? static_cast<unsigned>(SextetOf(digits[i])) : 0u);
    }
    for (int shift = 16; shift >= 0; shift -= 8)
      bytes += static_cast<char>((group >> shift) & 0xFF);
  }
  bytes.resize(bytes.size() - padding);
  return bytes;
}

}  // namespace technology
