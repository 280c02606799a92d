#include "orba/store/json_split.h"

#include <cstring>

namespace orba::store {
namespace {

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

size_t SkipSpace(std::string_view text, size_t at) {
  while (at < text.size() && IsSpace(text[at])) ++at;
  return at;
}

// The end of the string whose opening quote is at `at`: the place after its
// closing quote, the first one not escaped by an odd run of backslashes.
size_t StringEnd(std::string_view text, size_t at) {
  const char* begin = text.data();
  for (size_t from = at + 1;;) {
    const void* found = std::memchr(begin + from, '"', text.size() - from);
    const auto quote = static_cast<size_t>(static_cast<const char*>(found) - begin);
    size_t backslashes = 0;
    while (begin[quote - 1 - backslashes] == '\\') ++backslashes;
    if (backslashes % 2 == 0) return quote + 1;
    from = quote + 1;
  }
}

// The end of the value whose text starts at `at`.
size_t ValueEnd(std::string_view text, size_t at) {
  const char first = text[at];
  if (first == '"') return StringEnd(text, at);
  if (first != '{' && first != '[') {  // a number, true, false or null
    while (at < text.size() && !IsSpace(text[at]) && text[at] != ',' && text[at] != ']' &&
           text[at] != '}')
      ++at;
    return at;
  }
  size_t depth = 0;
  while (true) {
    const char c = text[at];
    if (c == '"') {
      at = StringEnd(text, at);
      continue;
    }
    if (c == '{' || c == '[') {
      ++depth;
    } else if ((c == '}' || c == ']') && --depth == 0) {
      return at + 1;
    }
    ++at;
  }
}

}  // namespace

std::string_view SkipJsonSpace(std::string_view text) {
  if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
  return text.substr(SkipSpace(text, 0));
}

std::vector<JsonMemberText> JsonObjectMembers(std::string_view text) {
  std::vector<JsonMemberText> members;
  JsonObjectMembers(text, members);
  return members;
}

void JsonObjectMembers(std::string_view text, std::vector<JsonMemberText>& members) {
  members.clear();
  size_t at = SkipSpace(text, 1);  // after the "{"
  while (text[at] == '"') {
    const size_t name_end = StringEnd(text, at);
    const size_t value_start = SkipSpace(text, SkipSpace(text, name_end) + 1);  // after the ":"
    const size_t value_end = ValueEnd(text, value_start);
    members.push_back(
        {text.substr(at, name_end - at), text.substr(value_start, value_end - value_start)});
    at = SkipSpace(text, value_end);
    if (text[at] == ',') at = SkipSpace(text, at + 1);
  }
}

JsonArrayItems::JsonArrayItems(std::string_view array_text)
    : text_(array_text), at_(SkipSpace(array_text, 1)) {}

bool JsonArrayItems::Next(std::string_view& item) {
  if (text_[at_] == ']') return false;
  const size_t end = ValueEnd(text_, at_);
  item = text_.substr(at_, end - at_);
  at_ = SkipSpace(text_, end);
  if (text_[at_] == ',') at_ = SkipSpace(text_, at_ + 1);
  return true;
}

}  // namespace orba::store
