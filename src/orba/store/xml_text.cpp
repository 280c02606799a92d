#include "orba/store/xml_text.h"

#include <charconv>
#include <cstdint>
#include <utility>

#include "base/utf8.h"
#include "base/xml_escape.h"

namespace orba::store {
namespace {

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
          error == std::errc() ? code_point : base::kNotACharacter};
}

bool IsNameStart(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; }

bool IsNameChar(char c) { return IsNameStart(c) || (c >= '0' && c <= '9') || c == '-' || c == '.'; }

// Whether `document` is printable ASCII, tabs and line ends, without a
// character reference: what every answer of ASCII names is, and what needs
// no change.
bool IsPlainAscii(std::string_view document) {
  for (const char c : document) {
    if ((c < 0x20 || c > 0x7E) && c != '\t' && c != '\n' && c != '\r') return false;
  }
  return document.find("&#") == std::string_view::npos;
}

}  // namespace

std::string WithXmlCharactersOnly(std::string text) {
  if (IsPlainAscii(text)) return text;
  std::string_view document = text;
  while (!document.empty() && document.back() == '\0') document.remove_suffix(1);
  std::string repaired;
  repaired.reserve(document.size());
  for (size_t at = 0; at < document.size();) {
    if (const size_t literal = LiteralSectionSize(document, at)) {
      for (const size_t end = at + literal; at < end;) {
        base::CopyXmlCharacter(document, at, repaired, false);
      }
    } else if (const Reference reference = ReferenceAt(document, at); reference.size > 0) {
      repaired += base::IsXmlCharacter(reference.code_point) ? document.substr(at, reference.size)
                                                             : base::kReplacementCharacter;
      at += reference.size;
    } else {
      base::CopyXmlCharacter(document, at, repaired);
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
