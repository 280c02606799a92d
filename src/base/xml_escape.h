// Text written into XML documents, escaped as each document needs it, and
// the character rules of XML 1.0 for repairing documents.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace base {

enum class XmlEscaping {
  // An attribute value in a document whose bytes its format fixes: "&", "<"
  // and '"' are replaced, every other byte is kept as it is.
  kMarkupOnly,
  // Text content that a parser gives back exactly: "&", "<", ">", and CR as
  // a character reference ("&#xD;"); a character XML 1.0 does not allow (a
  // C0 control other than TAB, LF and CR, U+FFFE, U+FFFF, a byte that is not
  // part of a UTF-8 character) becomes U+FFFD, and DEL and the C1 controls
  // (allowed, but discouraged: a terminal would obey them) references.
  kText,
  // An attribute value in double quotes, as kText, and '"', TAB and LF as
  // references (attribute parsing turns raw TAB, LF and CR into spaces).
  kAttribute,
  // An attribute value in a plain ASCII document: "&", "<", ">", '"' and
  // every character outside printable ASCII as references. Throws
  // std::runtime_error for text that is not UTF-8.
  kAsciiAttribute,
};

std::string EscapeXml(std::string_view text, XmlEscaping escaping);

// A hexadecimal character reference, e.g. "&#x9B;".
std::string XmlCharacterReference(char32_t code_point);

// Whether XML 1.0 allows the character (its production Char).
bool IsXmlCharacter(char32_t code_point);

// Appends the UTF-8 character at `at` to `out` and moves `at` past it, held
// to kText's rules: U+FFFD in place of one XML does not allow, a reference
// in place of DEL or a C1 control (U+FFFD when `references_allowed` is
// false: comments, CDATA sections and processing instructions hold none).
void CopyXmlCharacter(std::string_view text, size_t& at, std::string& out,
                      bool references_allowed = true);

}  // namespace base
