// Small text helpers every layer shares: text shown on a terminal or in a
// log (whatever a model holds, one text stays on one line and cannot drive
// the terminal), ASCII letter case, and whole numbers written as text.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace base {

// `text` with every control character shown as an escape: C0 characters
// (TAB and LF included) and DEL as \xNN, C1 characters (U+0080..U+009F) as
// \u00NN. Everything else, invalid UTF-8 included, is kept as it is.
std::string EscapeControlCharacters(std::string_view text);

// True when `text` holds a C0 control character or DEL.
bool HasControlCharacter(std::string_view text);

// `text` with the ASCII letters A-Z (a-z) changed; every other byte is kept,
// so UTF-8 text stays valid.
std::string AsciiLowerCase(std::string_view text);
std::string AsciiUpperCase(std::string_view text);

// `text` without the spaces and tabs at its ends.
std::string TrimSpaces(std::string_view text);

// The integer a text of decimal digits spells ("8abc" spells none); nullopt
// for any other text.
std::optional<int64_t> IntegerOfText(std::string_view text);

}  // namespace base
