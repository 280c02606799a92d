#include "platform/xml_dom.h"

#include <pugixml.hpp>

namespace platform {
namespace {

// What a DOM reader sees: the declaration, processing instructions and
// comments are nodes; whitespace-only text counts only when it is an element's
// sole content (a value of blanks), not as indentation between elements.
// Parsing as a fragment keeps stray top-level text, so that it can be refused.
constexpr unsigned int kParseOptions = pugi::parse_default | pugi::parse_declaration |
                                       pugi::parse_pi | pugi::parse_comments |
                                       pugi::parse_ws_pcdata_single | pugi::parse_fragment;

// A well-formed document has exactly one document element and no text beside it.
bool HasOneDocumentElement(const pugi::xml_document& document) {
  int elements = 0;
  for (const pugi::xml_node& child : document.children()) {
    if (child.type() == pugi::node_pcdata || child.type() == pugi::node_cdata) return false;
    if (child.type() == pugi::node_element) ++elements;
  }
  return elements == 1;
}

void AppendText(const pugi::xml_node& node, std::string& text) {
  if (node.type() == pugi::node_pcdata || node.type() == pugi::node_cdata) text += node.value();
  for (const pugi::xml_node& child : node.children()) AppendText(child, text);
}

pugi::xml_attribute ExistingAttribute(pugi::xml_attribute_struct* attribute) {
  if (!attribute) throw XmlError("the attribute does not exist");
  return pugi::xml_attribute(attribute);
}

}  // namespace

std::string XmlAttribute::text() const { return ExistingAttribute(attribute_).value(); }

std::string XmlAttribute::nodeValue() const { return ExistingAttribute(attribute_).value(); }

XmlAttribute XmlAttributeMap::getNamedItem(const std::string& name) const {
  return XmlAttribute(pugi::xml_node(node_).attribute(name.c_str()).internal_object());
}

std::string XmlNode::nodeName() const { return pugi::xml_node(node_).name(); }

std::string XmlNode::text() const {
  std::string text;
  AppendText(pugi::xml_node(node_), text);
  return text;
}

XmlNode XmlNode::firstChild() const {
  return XmlNode(pugi::xml_node(node_).first_child().internal_object());
}

XmlNode XmlNode::nextSibling() const {
  return XmlNode(pugi::xml_node(node_).next_sibling().internal_object());
}

std::vector<XmlNode> XmlNode::childNodes() const {
  std::vector<XmlNode> children;
  for (const pugi::xml_node& child : pugi::xml_node(node_).children()) {
    children.emplace_back(child.internal_object());
  }
  return children;
}

XmlNode XmlNode::selectSingleNode(const std::string& xpath) const {
  return XmlNode(pugi::xml_node(node_).select_node(xpath.c_str()).node().internal_object());
}

std::vector<XmlNode> XmlNode::selectNodes(const std::string& xpath) const {
  pugi::xpath_node_set selected = pugi::xml_node(node_).select_nodes(xpath.c_str());
  selected.sort();
  std::vector<XmlNode> nodes;
  for (const pugi::xpath_node& item : selected) {
    if (item.node()) nodes.emplace_back(item.node().internal_object());
  }
  return nodes;
}

XmlDocument::XmlDocument() : document_(std::make_unique<pugi::xml_document>()) {}

XmlDocument::~XmlDocument() = default;

bool XmlDocument::loadXML(const std::string& text) {
  const bool parsed =
      document_->load_buffer(text.data(), text.size(), kParseOptions, pugi::encoding_utf8);
  std::string().swap(text_);  // frees what an earlier text held
  return Loaded(parsed);
}

bool XmlDocument::loadXML(std::string&& text) {
  document_->reset();
  text_ = std::move(text);
  return Loaded(document_->load_buffer_inplace(text_.data(), text_.size(), kParseOptions,
                                               pugi::encoding_utf8));
}

bool XmlDocument::Loaded(bool parsed) {
  const bool loaded = parsed && HasOneDocumentElement(*document_);
  // A failed parse leaves what was read before the error; a DOM keeps nothing.
  if (!loaded) {
    document_->reset();
    std::string().swap(text_);
  }
  return loaded;
}

XmlNode XmlDocument::node() const { return XmlNode(document_->internal_object()); }

}  // namespace platform
