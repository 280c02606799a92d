#include "xml_writer.h"

#include <stdexcept>

#include "base/xml_escape.h"

namespace technology {
void XmlWriter::Open(std::string_view name, const Attributes& attributes) {
  StartTag(name, attributes);
  text_ += '>';
  EndLine();
  open_elements_.emplace_back(name);
}

void XmlWriter::Close() {
  if (open_elements_.empty()) throw std::logic_error("no element is open");
  const std::string name = std::move(open_elements_.back());
  open_elements_.pop_back();
  text_.append(open_elements_.size(), '\t');
  text_ += "</" + name + ">";
  EndLine();
}

void XmlWriter::Empty(std::string_view name, const Attributes& attributes) {
  StartTag(name, attributes);
  text_ += "/>";
  EndLine();
}

void XmlWriter::TextElement(std::string_view name, const Attributes& attributes,
                            std::string_view text) {
  StartTag(name, attributes);
  text_ += '>';
  text_ += text;
  text_ += "</";
  text_ += name;
  text_ += '>';
  EndLine();
}

void XmlWriter::Comment(std::string_view text) {
  text_.append(open_elements_.size(), '\t');
  text_ += "<!--";
  text_ += text;
  text_ += "-->";
  EndLine();
}

const std::string& XmlWriter::Text() const {
  if (!open_elements_.empty())
    throw std::logic_error("element " + open_elements_.back() + " is still open");
  return text_;
}

void XmlWriter::StartTag(std::string_view name, const Attributes& attributes) {
  text_.append(open_elements_.size(), '\t');
  text_ += '<';
  text_ += name;
  for (const auto& [attribute, value] : attributes) {
    text_ += ' ';
    text_ += attribute;
    text_ += "=\"";
    text_ += base::EscapeXml(value, base::XmlEscaping::kAsciiAttribute);
    text_ += '"';
  }
}

void XmlWriter::EndLine() { text_ += "\r\n"; }

}  // namespace technology
