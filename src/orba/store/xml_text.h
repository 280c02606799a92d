// XML text helpers of the host's documents.
#pragma once

#include <pugixml.hpp>
#include <string>
#include <string_view>

namespace orba::store {

// The host's XML never holds a character that XML 1.0 does not allow, nor a
// raw one a terminal would obey: text written into it is escaped with
// base::EscapeXml (XmlEscaping::kText or kAttribute).

// `document` (from an add-in) held to the same rules: raw characters anywhere
// and character references in text and attribute values that XML 1.0 does
// not allow become U+FFFD, raw DEL and C1 controls become references (U+FFFD
// in comments, CDATA sections and processing instructions, which hold no
// references). Trailing NUL characters are dropped. A document that needs
// none of this comes back unchanged.
std::string WithXmlCharactersOnly(std::string document);
// A valid XML element name made from `name`: other characters become "_", and
// a name that does not start with a letter or "_" gets a "_" in front.
std::string ToXmlName(std::string_view name);
// Parses a document; trailing NUL characters (the padding of documents kept
// as resources) are ignored, any other NUL is refused. Answers whether the
// text is well-formed XML.
bool LoadXml(pugi::xml_document& document, std::string_view text);

}  // namespace orba::store
