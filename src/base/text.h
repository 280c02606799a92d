// Text shown on a terminal or in a log: whatever a model holds, one text
// stays on one line and cannot drive the terminal.
#pragma once

#include <string>
#include <string_view>

namespace base {

// `text` with every control character shown as an escape: C0 characters
// (TAB and LF included) and DEL as \xNN, C1 characters (U+0080..U+009F) as
// \u00NN. Everything else, invalid UTF-8 included, is kept as it is.
std::string EscapeControlCharacters(std::string_view text);

}  // namespace base
