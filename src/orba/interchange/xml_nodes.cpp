#include "orba/interchange/xml_nodes.h"

#include <libxml/parser.h>
#include <libxml/xmlerror.h>

#include <climits>
#include <map>
#include <regex>
#include <sstream>

#include "base/text.h"

namespace orba::interchange {
namespace {

std::string Text(const xmlChar* text) { return text ? reinterpret_cast<const char*>(text) : ""; }

std::string Href(const xmlNs* ns) { return ns ? Text(ns->href) : ""; }

std::string AttributeValue(const xmlAttr* attribute) {
  xmlChar* value = xmlNodeListGetString(attribute->doc, attribute->children, 1);
  std::string text = Text(value);
  xmlFree(value);
  return text;
}

std::vector<std::string> SplitIds(const std::string& list) {
  std::istringstream words(list);
  std::vector<std::string> ids;
  for (std::string id; words >> id;) ids.push_back(id);
  return ids;
}

// The metaclass an element of the UML's XMI stands for when it carries no
// xmi:type (older files leave out the type a property implies).
const std::map<std::string, std::string, std::less<>>& KindsByElementName() {
  static const std::map<std::string, std::string, std::less<>> kinds = {
      {"generalization", "Generalization"},
      {"ownedComment", "Comment"},
      {"packageImport", "PackageImport"},
      {"elementImport", "ElementImport"},
      {"profileApplication", "ProfileApplication"},
      {"region", "Region"},
      {"ownedParameter", "Parameter"},
      {"ownedOperation", "Operation"},
      {"ownedLiteral", "EnumerationLiteral"},
      {"end", "ConnectorEnd"},
      {"ownedRule", "Constraint"},
      {"subvertex", "State"},
      {"transition", "Transition"},
      {"ownedAttribute", "Property"},
      {"ownedEnd", "Property"},
      {"ownedConnector", "Connector"},
      {"eAnnotations", ""}};
  return kinds;
}

struct FirstError {
  bool recorded = false;
  int line = 0;
  int column = 0;
  std::string message;
};

void RecordFirstError(void* user_data, xmlError* error) {
  auto* first = static_cast<FirstError*>(static_cast<xmlParserCtxt*>(user_data)->_private);
  if (first->recorded || error->level != XML_ERR_FATAL) return;
  first->recorded = true;
  first->line = error->line;
  first->column = error->int2;
  first->message = error->message ? error->message : "";
  while (!first->message.empty() &&
         (first->message.back() == '\n' || first->message.back() == ' ')) {
    first->message.pop_back();
  }
}

}  // namespace

XmlDocument ParseXml(std::string_view text, const std::string& path) {
  if (text.size() > static_cast<size_t>(INT_MAX)) {
    throw XmiError(path + ": the file is too large to read as XML");
  }
  xmlParserCtxt* context = xmlNewParserCtxt();
  if (!context) throw XmiError(path + ": out of memory while reading XML");
  // The first error names the place where the document stops being well
  // formed; later ones follow from it.
  FirstError first;
  context->_private = &first;
  context->sax->serror = RecordFirstError;
  // No XML_PARSE_NOENT (entities stay unexpanded), no DTD loading, no network.
  const int options = XML_PARSE_NONET | XML_PARSE_HUGE | XML_PARSE_BIG_LINES | XML_PARSE_NOERROR |
                      XML_PARSE_NOWARNING;
  XmlDocument document(xmlCtxtReadMemory(context, text.data(), static_cast<int>(text.size()),
                                         path.c_str(), nullptr, options));
  const bool well_formed = document && context->wellFormed;
  xmlFreeParserCtxt(context);
  if (!well_formed) {
    if (!first.recorded) first.message = "no document";
    throw XmiError(path + ":" + std::to_string(first.line) + ":" + std::to_string(first.column) +
                   ": XML is not well formed: " + first.message);
  }
  return document;
}

bool IsXmiNamespace(const xmlNs* ns) {
  const std::string href = Href(ns);
  return href.find("/XMI") != std::string::npos;
}

bool IsUmlNamespace(const xmlNs* ns) {
  static const std::regex kUml(
      R"(http://www\.eclipse\.org/uml2/[0-9.]+/UML|http://(www|schema)\.omg\.org/spec/UML/[0-9.]+)");
  const std::string href = Href(ns);
  return std::regex_match(href, kUml);
}

std::vector<xmlNode*> ChildElements(const xmlNode* node) {
  std::vector<xmlNode*> children;
  for (xmlNode* child = node->children; child; child = child->next) {
    if (child->type == XML_ELEMENT_NODE) children.push_back(child);
  }
  return children;
}

std::string LocalName(const xmlNode* node) { return Text(node->name); }

std::optional<std::string> PlainAttribute(const xmlNode* node, const char* name) {
  for (const xmlAttr* attribute = node->properties; attribute; attribute = attribute->next) {
    if (!attribute->ns && Text(attribute->name) == name) return AttributeValue(attribute);
  }
  return std::nullopt;
}

std::optional<std::string> PlainAttributeIgnoringCase(const xmlNode* node, std::string_view name) {
  const std::string wanted = base::AsciiLowerCase(name);
  for (const xmlAttr* attribute = node->properties; attribute; attribute = attribute->next) {
    if (!attribute->ns && base::AsciiLowerCase(Text(attribute->name)) == wanted)
      return AttributeValue(attribute);
  }
  return std::nullopt;
}

std::optional<std::string> XmiAttribute(const xmlNode* node, const char* name) {
  for (const xmlAttr* attribute = node->properties; attribute; attribute = attribute->next) {
    if (IsXmiNamespace(attribute->ns) && Text(attribute->name) == name)
      return AttributeValue(attribute);
  }
  return std::nullopt;
}

std::string XmiId(const xmlNode* node) { return XmiAttribute(node, "id").value_or(""); }

std::string UmlKind(const xmlNode* node, bool* foreign) {
  if (foreign) *foreign = false;
  std::optional<std::string> type = XmiAttribute(node, "type");
  for (const xmlAttr* attribute = node->properties; !type && attribute;
       attribute = attribute->next) {
    if (Text(attribute->name) == "type" &&
        Href(attribute->ns) == "http://www.w3.org/2001/XMLSchema-instance") {
      type = AttributeValue(attribute);
    }
  }
  if (type) {
    const size_t colon = type->find(':');
    if (colon == std::string::npos) return *type;
    if (foreign && type->substr(0, colon) != "uml") *foreign = true;
    return type->substr(colon + 1);
  }
  if (IsUmlNamespace(node->ns)) return LocalName(node);
  const auto implied = KindsByElementName().find(LocalName(node));
  return implied == KindsByElementName().end() ? "" : implied->second;
}

bool IsReferenceElement(const xmlNode* node) {
  if (XmiAttribute(node, "id")) return false;
  return XmiAttribute(node, "idref").has_value() || PlainAttribute(node, "href").has_value();
}

bool IsXmiExtension(const xmlNode* node) {
  return IsXmiNamespace(node->ns) && LocalName(node) == "Extension";
}

std::vector<Reference> ReferencesOf(const xmlNode* node, const char* name) {
  std::vector<Reference> references;
  if (std::optional<std::string> ids = PlainAttribute(node, name)) {
    for (std::string& id : SplitIds(*ids)) references.push_back(Reference{std::move(id), ""});
  }
  for (const xmlNode* child : ChildElements(node)) {
    if (LocalName(child) != name) continue;
    if (std::optional<std::string> id = XmiAttribute(child, "idref")) {
      references.push_back(Reference{*id, ""});
    } else if (std::optional<std::string> href = PlainAttribute(child, "href")) {
      references.push_back(Reference{"", *href});
    }
  }
  return references;
}

std::optional<std::string> ChildText(const xmlNode* node, const char* name) {
  for (const xmlNode* child : ChildElements(node)) {
    if (LocalName(child) != name) continue;
    xmlChar* content = xmlNodeGetContent(child);
    std::string text = Text(content);
    xmlFree(content);
    return text;
  }
  return std::nullopt;
}

}  // namespace orba::interchange
