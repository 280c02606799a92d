#include "orba/store/xml_text.h"

#include <charconv>
#include <cstdint>
#include <utility>

namespace orba::store {
namespace {

constexpr std::string_view kReplacementCharacter = "\xEF\xBF\xBD";  // U+FFFD
constexpr char32_t kNotACharacter = 0xFFFFFFFF;

// Whether XML 1.0 allows the character (its production Char).
bool IsXmlCharacter(char32_t c) {
  return c == '\t' || c == '\n' || c == '\r' || (c >= 0x20 && c <= 0xD7FF) ||
         (c >= 0xE000 && c <= 0xFFFD) || (c >= 0x10000 && c <= 0x10FFFF);
}

// One character of UTF-8 text: its code point and its size in bytes. A byte
// that does not start a well-formed sequence is kNotACharacter of size 1.
struct Utf8Character {
  char32_t code_point;
  size_t size;
};

Utf8Character CharacterAt(std::string_view text, size_t at) {
  constexpr char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};  // by size: no overlong forms
  const auto lead = static_cast<unsigned char>(text[at]);
  if (lead < 0x80) return {lead, 1};
  const size_t size = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
  if (lead < 0xC0 || lead > 0xF4 || text.size() - at < size) return {kNotACharacter, 1};
  char32_t code_point = lead & (0x7F >> size);
  for (size_t next = at + 1; next < at + size; ++next) {
    const auto byte = static_cast<unsigned char>(text[next]);
    if ((byte & 0xC0) != 0x80) return {kNotACharacter, 1};
    code_point = code_point << 6 | (byte & 0x3F);
  }
  if (code_point < kSmallest[size] || code_point > 0x10FFFF) return {kNotACharacter, 1};
  return {code_point, size};
}

// DEL and the C1 controls: XML 1.0 allows them but discourages them, and a
// terminal showing the document would obey them.
bool IsDiscouragedControl(char32_t c) { return c >= 0x7F && c <= 0x9F; }

// A character reference, e.g. "&#xD;" (for characters below U+0100): the
// only way to carry TAB, LF and CR through XML, whose parsers turn raw CR
// into LF and, in attribute values, raw TAB, LF and CR into spaces; and how
// DEL and the C1 controls are carried without ever being raw.
std::string CharacterReference(char32_t c) {
  constexpr const char* kHexDigits = "0123456789ABCDEF";
  std::string reference = "&#x";
  if (c >= 0x10) reference += kHexDigits[c >> 4];
  return reference + kHexDigits[c & 0xF] + ";";
}

// Appends the character at `at` to `out` and moves `at` past it: U+FFFD in
// place of one XML does not allow, a reference in place of DEL or a C1
// control (U+FFFD where no reference can stand: comments, CDATA sections and
// processing instructions).
void CopyXmlCharacter(std::string_view text, size_t& at, std::string& out,
                      bool references_allowed = true) {
  const Utf8Character character = CharacterAt(text, at);
  if (!IsXmlCharacter(character.code_point)) {
    out += kReplacementCharacter;
  } else if (IsDiscouragedControl(character.code_point)) {
    out += references_allowed ? CharacterReference(character.code_point) : kReplacementCharacter;
  } else {
    out += text.substr(at, character.size);
  }
  at += character.size;
}

// How `c` is written in text content or an attribute value; "" when it is
// written as it is.
std::string EscapeOf(char c, bool in_attribute) {
  switch (c) {
    case '&': return "&amp;";
    case '<': return "&lt;";
    case '>': return "&gt;";
    case '"': return in_attribute ? "&quot;" : "";
    case '\r': return CharacterReference(c);
    case '\t':
    case '\n': return in_attribute ? CharacterReference(c) : "";
    default: return "";
  }
}

std::string Escape(std::string_view text, bool in_attribute) {
  std::string escaped;
  escaped.reserve(text.size());
  for (size_t at = 0; at < text.size();) {
    if (const std::string escape = EscapeOf(text[at], in_attribute); !escape.empty()) {
      escaped += escape;
      ++at;
    } else {
      CopyXmlCharacter(text, at, escaped);
    }
  }
  return escaped;
}

// The size of the comment, CDATA section or processing instruction that
// starts at `at` (what looks like a character reference in one is text as
// written); 0 when none starts there.
size_t LiteralSectionSize(std::string_view document, size_t at) {
  constexpr std::pair<std::string_view, std::string_view> kSections[] = {
      {"<!--", "-->"}, {"<![CDATA[", "]]>"}, {"<?", "?>"}};
  for (const auto& [open, close] : kSections) {
    if (!document.substr(at).starts_with(open)) continue;
    const size_t close_at = document.find(close, at + open.size());
    return close_at == std::string_view::npos ? document.size() - at : close_at + close.size() - at;
  }
  return 0;
}

// A character reference ("&#x1B;", "&#27;") at `at`: its size and the
// character it stands for; size 0 when none starts there.
struct Reference {
  size_t size = 0;
  char32_t code_point = 0;
};

Reference ReferenceAt(std::string_view document, size_t at) {
  if (!document.substr(at).starts_with("&#")) return {};
  const bool hex = document.substr(at).starts_with("&#x");
  const char* digits = document.data() + at + (hex ? 3 : 2);
  const char* end = document.data() + document.size();
  uint32_t code_point = 0;
  const auto [after, error] = std::from_chars(digits, end, code_point, hex ? 16 : 10);
  if (after == digits || after == end || *after != ';') return {};
  return {static_cast<size_t>(after + 1 - (document.data() + at)),
          error == std::errc() ? code_point : kNotACharacter};
}

bool IsNameStart(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; }

bool IsNameChar(char c) { return IsNameStart(c) || (c >= '0' && c <= '9') || c == '-' || c == '.'; }

}  // namespace

std::string EscapeXmlText(std::string_view text) { return Escape(text, false); }

std::string EscapeXmlAttribute(std::string_view text) { return Escape(text, true); }

std::string WithXmlCharactersOnly(std::string_view document) {
  while (!document.empty() && document.back() == '\0') document.remove_suffix(1);
  std::string repaired;
  repaired.reserve(document.size());
  for (size_t at = 0; at < document.size();) {
    if (const size_t literal = LiteralSectionSize(document, at)) {
      for (const size_t end = at + literal; at < end;) {
        CopyXmlCharacter(document, at, repaired, false);
      }
    } else if (const Reference reference = ReferenceAt(document, at); reference.size > 0) {
      repaired += IsXmlCharacter(reference.code_point) ? document.substr(at, reference.size)
                                                       : kReplacementCharacter;
      at += reference.size;
    } else {
      CopyXmlCharacter(document, at, repaired);
    }
  }
  return repaired;
}

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
