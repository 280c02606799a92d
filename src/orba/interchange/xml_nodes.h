// Reading XMI with libxml2: parsing without network or external entities,
// and the attributes, kinds, ids and references of XMI elements.
#pragma once

#include <libxml/tree.h>

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "orba/interchange/xmi_error.h"

namespace orba::interchange {

struct XmlDocumentDeleter {
  void operator()(xmlDoc* document) const { xmlFreeDoc(document); }
};
using XmlDocument = std::unique_ptr<xmlDoc, XmlDocumentDeleter>;

// Parses `text`; throws XmiError "PATH:LINE:COLUMN: XML is not well formed: ..."
// when it is not. Never reads the network, loads no DTD and expands no
// external entity.
XmlDocument ParseXml(std::string_view text, const std::string& path);

// A reference from one XMI element to another: an xmi:id of the same file,
// or an href ("file#fragment", "#fragment", "pathmap://...#fragment").
struct Reference {
  std::string id;
  std::string href;
};

bool IsXmiNamespace(const xmlNs* ns);
bool IsUmlNamespace(const xmlNs* ns);

// The element children of `node`, in document order.
std::vector<xmlNode*> ChildElements(const xmlNode* node);
std::string LocalName(const xmlNode* node);
// An attribute without namespace; nullopt when absent.
std::optional<std::string> PlainAttribute(const xmlNode* node, const char* name);
// The same, the name compared ignoring letter case (stereotype properties
// are written "Id" by some tools and "id" by others).
std::optional<std::string> PlainAttributeIgnoringCase(const xmlNode* node, std::string_view name);
// An attribute in the XMI namespace (xmi:id, xmi:type, xmi:idref).
std::optional<std::string> XmiAttribute(const xmlNode* node, const char* name);
std::string XmiId(const xmlNode* node);
// The UML metaclass: xmi:type (or xsi:type) without its prefix, else the
// element's own name for an element of the UML namespace (uml:Model), else
// what the element's name implies in the UML's XMI (ownedComment: Comment);
// "" for anything else. `foreign` is set when the type has a prefix other
// than UML's (ecore:EAnnotation).
std::string UmlKind(const xmlNode* node, bool* foreign = nullptr);
// Whether the element only refers to another one (xmi:idref or href, no xmi:id).
bool IsReferenceElement(const xmlNode* node);
bool IsXmiExtension(const xmlNode* node);

// The references named `name`: an attribute holding space-separated ids, and
// child elements `name` with xmi:idref or href.
std::vector<Reference> ReferencesOf(const xmlNode* node, const char* name);
// The text of the child element `name` (<body>...</body>); nullopt when absent.
std::optional<std::string> ChildText(const xmlNode* node, const char* name);

}  // namespace orba::interchange
