// Reading UTF-8 text code point by code point.
#pragma once

#include <string>
#include <string_view>

namespace technology {

// The code points of `text`. Throws std::runtime_error when it is not valid UTF-8.
std::u32string DecodeUtf8(std::string_view text);

}  // namespace technology
