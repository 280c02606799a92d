// Splitting of JSON text that is known to be well-formed (a parse accepted
// it) into the texts of its parts, without building any value: the import
// builds one item of a long list at a time from these.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

namespace orba::store {

// A member of an object: its name as written (quoted, escapes kept) and
// the text of its value.
struct JsonMemberText {
  std::string_view name;
  std::string_view value;
};

// `text` from its first character that is not JSON whitespace (nor a
// UTF-8 byte order mark at its very start, which the parser skips too).
std::string_view SkipJsonSpace(std::string_view text);

// The members of the object whose text starts `text`, in the order written;
// the second form fills `members` (emptied first), whose room is reused.
std::vector<JsonMemberText> JsonObjectMembers(std::string_view text);
void JsonObjectMembers(std::string_view text, std::vector<JsonMemberText>& members);

// The items of the array whose text starts `text`, one at a time.
class JsonArrayItems {
 public:
  explicit JsonArrayItems(std::string_view array_text);
  // The next item's text; false after the last.
  bool Next(std::string_view& item);

 private:
  std::string_view text_;
  size_t at_;
};

}  // namespace orba::store
