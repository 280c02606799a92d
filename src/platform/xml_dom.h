// The XML DOM the add-in reads host documents with: a document loaded from
// text, nodes reached by XPath or by walking first child / next sibling, and
// attributes looked up by name. A thin wrapper over pugixml.
//
// Nodes and attributes are handles into their document: they stay valid while
// the document lives and is not reloaded. A null handle ("nothing") converts
// to false; walking from a null node gives null nodes again.
#pragma once

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace pugi {
class xml_document;
struct xml_node_struct;
struct xml_attribute_struct;
}  // namespace pugi

namespace platform {

// Reading the value of an attribute that is not there.
class XmlError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class XmlAttribute {
 public:
  XmlAttribute() = default;
  explicit XmlAttribute(pugi::xml_attribute_struct* attribute) : attribute_(attribute) {}
  explicit operator bool() const { return attribute_ != nullptr; }

  // The attribute's value. Both throw XmlError on a null attribute.
  std::string text() const;
  std::string nodeValue() const;

 private:
  pugi::xml_attribute_struct* attribute_ = nullptr;
};

// A node's attributes, looked up by name.
class XmlAttributeMap {
 public:
  explicit XmlAttributeMap(pugi::xml_node_struct* node) : node_(node) {}
  // The attribute of that exact name, or a null attribute.
  XmlAttribute getNamedItem(const std::string& name) const;

 private:
  pugi::xml_node_struct* node_;
};

class XmlNode {
 public:
  XmlNode() = default;
  explicit XmlNode(pugi::xml_node_struct* node) : node_(node) {}
  explicit operator bool() const { return node_ != nullptr; }

  // The element's name; "xml" for the XML declaration; "" for text.
  std::string nodeName() const;
  // The text of every text and CDATA node below this one, joined in document order.
  std::string text() const;
  XmlNode firstChild() const;
  XmlNode nextSibling() const;
  std::vector<XmlNode> childNodes() const;
  XmlAttributeMap attributes() const { return XmlAttributeMap(node_); }

  // XPath selection relative to this node, in document order.
  XmlNode selectSingleNode(const std::string& xpath) const;
  std::vector<XmlNode> selectNodes(const std::string& xpath) const;

 private:
  pugi::xml_node_struct* node_ = nullptr;
};

class XmlDocument {
 public:
  XmlDocument();
  ~XmlDocument();
  XmlDocument(const XmlDocument&) = delete;
  XmlDocument& operator=(const XmlDocument&) = delete;

  // Replaces the content with the parsed text. On a parse error the document
  // is left empty (no nodes at all) and the answer is false. The XML
  // declaration, processing instructions and comments are kept as nodes;
  // whitespace between elements is not.
  bool loadXML(const std::string& text);
  // The same for a text the caller gives up: the nodes are made in the
  // text itself, sparing a copy of a large answer.
  bool loadXML(std::string&& text);

  // The document node, the parent of the declaration and the document element.
  XmlNode node() const;
  XmlNode firstChild() const { return node().firstChild(); }
  XmlNode selectSingleNode(const std::string& xpath) const {
    return node().selectSingleNode(xpath);
  }

 private:
  bool Loaded(bool parsed);

  std::unique_ptr<pugi::xml_document> document_;
  std::string text_;  // what the nodes of a text given up point into
};

}  // namespace platform
