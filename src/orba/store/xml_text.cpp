#include "orba/store/xml_text.h"

namespace orba::store {
namespace {

// A character reference, e.g. "&#xD;": the only way to carry a control
// character through XML, whose parsers turn raw CR into LF and, in attribute
// values, raw TAB, LF and CR into spaces.
std::string CharacterReference(unsigned char c) {
  constexpr const char* kHexDigits = "0123456789ABCDEF";
  std::string reference = "&#x";
  if (c >= 0x10) reference += kHexDigits[c >> 4];
  return reference + kHexDigits[c & 0xF] + ";";
}

// Whether a control character may stay as it is: text content keeps TAB and LF.
bool KeepsControlCharacter(char c, bool in_attribute) {
  return !in_attribute && (c == '\t' || c == '\n');
}

std::string Escape(std::string_view text, bool in_attribute) {
  std::string escaped;
  escaped.reserve(text.size());
  for (char c : text) {
    switch (c) {
      case '&':
        escaped += "&amp;";
        break;
      case '<':
        escaped += "&lt;";
        break;
      case '>':
        escaped += "&gt;";
        break;
      case '"':
        escaped += in_attribute ? "&quot;" : "\"";
        break;
      default:
        if (static_cast<unsigned char>(c) < 0x20 && !KeepsControlCharacter(c, in_attribute)) {
          escaped += CharacterReference(static_cast<unsigned char>(c));
        } else {
          escaped += c;
        }
    }
  }
  return escaped;
}

bool IsNameStart(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; }

bool IsNameChar(char c) { return IsNameStart(c) || (c >= '0' && c <= '9') || c == '-' || c == '.'; }

}  // namespace

std::string EscapeXmlText(std::string_view text) { return Escape(text, false); }

std::string EscapeXmlAttribute(std::string_view text) { return Escape(text, true); }

std::string ToXmlName(std::string_view name) {
  std::string valid;
  if (name.empty() || !IsNameStart(name.front())) valid += '_';
  for (char c : name) valid += IsNameChar(c) ? c : '_';
  return valid;
}

bool LoadXml(pugi::xml_document& document, std::string_view text) {
  while (!text.empty() && text.back() == '\0') text.remove_suffix(1);
  if (text.find('\0') != std::string_view::npos) return false;  // the parser would stop there
  return document.load_buffer(text.data(), text.size(), pugi::parse_default, pugi::encoding_utf8);
}

}  // namespace orba::store
