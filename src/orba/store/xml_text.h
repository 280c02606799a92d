// XML text helpers of the host's documents.
#pragma once

#include <pugixml.hpp>
#include <string>
#include <string_view>

namespace orba::store {

// Escapes text content: & < >, and control characters other than TAB and LF
// as character references ("&#xD;"), so that a parser gives back the text exactly.
std::string EscapeXmlText(std::string_view text);
// Escapes an attribute value in double quotes: & < > ", and every control
// character (TAB, LF and CR included) as a character reference.
std::string EscapeXmlAttribute(std::string_view text);
// A valid XML element name made from `name`: other characters become "_", and
// a name that does not start with a letter or "_" gets a "_" in front.
std::string ToXmlName(std::string_view name);
// Parses a document; trailing NUL characters (the padding of documents kept
// as resources) are ignored, any other NUL is refused. Answers whether the
// text is well-formed XML.
bool LoadXml(pugi::xml_document& document, std::string_view text);

}  // namespace orba::store
