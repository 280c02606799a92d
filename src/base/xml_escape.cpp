#include "base/xml_escape.h"

#include <cstdio>

#include "base/utf8.h"

namespace base {
namespace {

bool IsDiscouragedControl(char32_t c) { return c >= 0x7F && c <= 0x9F; }

// The markup characters' entities; "" for any other character.
std::string_view EntityOf(char32_t c, bool in_attribute) {
  switch (c) {
    case '&': return "&amp;";
    case '<': return "&lt;";
    case '>': return "&gt;";
    case '"': return in_attribute ? "&quot;" : "";
    default: return "";
  }
}

std::string MarkupOnly(std::string_view text) {
  std::string escaped;
  for (char c : text) {
    const bool markup = c == '&' || c == '<' || c == '"';
    escaped += markup ? EntityOf(c, true) : std::string_view(&c, 1);
  }
  return escaped;
}

std::string AsciiAttribute(std::string_view text) {
  std::string escaped;
  for (char32_t c : DecodeUtf8(text)) {
    if (const std::string_view entity = EntityOf(c, true); !entity.empty()) {
      escaped += entity;
    } else if (c < 0x20 || c > 0x7E) {
      escaped += XmlCharacterReference(c);
    } else {
      escaped += static_cast<char>(c);
    }
  }
  return escaped;
}

// Printable ASCII without markup, as most names and every GUID are, is kept
// as it is.
bool NeedsNoEscaping(std::string_view text, bool in_attribute) {
  for (const char c : text) {
    if (c < 0x20 || c > 0x7E || c == '&' || c == '<' || c == '>' || (in_attribute && c == '"'))
      return false;
  }
  return true;
}

std::string XmlSafe(std::string_view text, bool in_attribute) {
  if (NeedsNoEscaping(text, in_attribute)) return std::string(text);
  std::string escaped;
  escaped.reserve(text.size());
  for (size_t at = 0; at < text.size();) {
    const char c = text[at];
    if (const std::string_view entity = EntityOf(c, in_attribute); !entity.empty()) {
      escaped += entity, ++at;
    } else if (c == '\r' || (in_attribute && (c == '\t' || c == '\n'))) {
      escaped += XmlCharacterReference(c), ++at;
    } else {
      CopyXmlCharacter(text, at, escaped);
    }
  }
  return escaped;
}

}  // namespace

std::string EscapeXml(std::string_view text, XmlEscaping escaping) {
  switch (escaping) {
    case XmlEscaping::kMarkupOnly: return MarkupOnly(text);
    case XmlEscaping::kText: return XmlSafe(text, false);
    case XmlEscaping::kAttribute: return XmlSafe(text, true);
    case XmlEscaping::kAsciiAttribute: return AsciiAttribute(text);
  }
  return std::string(text);
}

std::string XmlCharacterReference(char32_t code_point) {
  char reference[16];
  std::snprintf(reference, sizeof reference, "&#x%X;", static_cast<unsigned>(code_point));
  return reference;
}

bool IsXmlCharacter(char32_t c) {
  return c == '\t' || c == '\n' || c == '\r' || (c >= 0x20 && c <= 0xD7FF) ||
         (c >= 0xE000 && c <= 0xFFFD) || (c >= 0x10000 && c <= 0x10FFFF);
}

void CopyXmlCharacter(std::string_view text, size_t& at, std::string& out,
                      bool references_allowed) {
  const Utf8Character character = DecodeUtf8At(text, at);
  if (!IsXmlCharacter(character.code_point)) {
    out += kReplacementCharacter;
  } else if (IsDiscouragedControl(character.code_point)) {
    out += references_allowed ? XmlCharacterReference(character.code_point)
                              : std::string(kReplacementCharacter);
  } else {
    out += text.substr(at, character.size);
  }
  at += character.size;
}

}  // namespace base
