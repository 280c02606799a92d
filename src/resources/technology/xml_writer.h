// Writes XML in the technology document's layout: one element, end tag or
// comment per line, one tab per nesting level, CR LF line ends, plain ASCII.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace technology {

class XmlWriter {
 public:
  using Attributes = std::vector<std::pair<std::string_view, std::string_view>>;

  void Open(std::string_view name, const Attributes& attributes = {});
  void Close();  // the innermost open element
  void Empty(std::string_view name, const Attributes& attributes = {});
  // An element holding `text`, written as it stands: it must need no escaping.
  void TextElement(std::string_view name, const Attributes& attributes, std::string_view text);
  void Comment(std::string_view text);

  // The document so far. Throws std::logic_error while an element is still open.
  const std::string& Text() const;

 private:
  void StartTag(std::string_view name, const Attributes& attributes);
  void EndLine();

  std::string text_;
  std::vector<std::string> open_elements_;
};

}  // namespace technology
