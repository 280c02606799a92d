// Base64 (RFC 4648, with padding), as the document's Image elements use it.
#pragma once

#include <string>
#include <string_view>

namespace technology {

std::string Base64Encode(std::string_view bytes);

// Decodes Base64 text; CR and LF between the groups are skipped. Throws
// std::runtime_error on any other character outside the alphabet or a bad length.
std::string Base64Decode(std::string_view text);

}  // namespace technology
