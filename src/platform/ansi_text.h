// Resource bytes to text, one byte to one character through the ANSI code
// page (Windows-1252), written as UTF-8. ASCII and zero bytes stay as they are.
#pragma once

#include <string>
#include <string_view>

namespace platform {

std::string AnsiToText(std::string_view bytes);

}  // namespace platform
