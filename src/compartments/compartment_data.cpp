#include <string_view>

#include "base/utf8.h"
#include "compartments/compartments.h"
#include "helper_funcs/helper_funcs.h"
#include "platform/xml_dom.h"

namespace compartments {
namespace {

using HelperFuncs::EscapeCompartmentText;
using HelperFuncs::GetTaggedValue;
using HelperFuncs::GetXmlAttribute;

// The option SkipIfOnDiagram=1, escaped; no ";" follows this field.
constexpr char kOptionsField[] = "Options=SkipIfOnDiagram&_eq_^1&_sc_^";
// Every row ends with an escaped ";" and a plain ",".
constexpr char kRowEnd[] = "&_sc_^,";

// Compartments that list the element's owned items of one metatype.
struct OwnedItemCompartment {
  std::string_view name;
  std::string_view metatype;
};

constexpr OwnedItemCompartment kOwnedItemCompartments[] = {
    {"parts", "BlockProperty"},
    {"flow ports", "FlowPort"},
    {"parameters", "InternalProperty"},
};

// Requirement properties read from tagged values, after the notes.
struct TaggedProperty {
  const char* tag;
  const char* label;
};

constexpr TaggedProperty kTrailingTaggedProperties[] = {
    {"risk", "Risk: "},
    {"source", "Source: "},
    {"verifyMethod", "VerifyMethod: "},
};

constexpr size_t kMaxTextCharacters = 50;
constexpr size_t kCutTextCharacters = 47;

// Texts are measured in wide (UTF-16) characters, as the host counts them: a
// character beyond U+FFFF (a four-byte UTF-8 sequence) counts as two.
size_t WideCharactersOf(char lead_byte) {
  return static_cast<unsigned char>(lead_byte) >= 0xF0 ? 2 : 1;
}

size_t WideCharacterCount(std::string_view text) {
  size_t count = 0;
  for (char byte : text) count += base::IsUtf8Continuation(byte) ? 0 : WideCharactersOf(byte);
  return count;
}

// The longest start of UTF-8 text that holds at most `limit` wide characters;
// a character whose two halves would straddle the limit is left out whole.
std::string_view FirstWideCharacters(std::string_view text, size_t limit) {
  size_t seen = 0;
  for (size_t at = 0; at < text.size(); ++at) {
    if (base::IsUtf8Continuation(text[at])) continue;
    seen += WideCharactersOf(text[at]);
    if (seen > limit) return text.substr(0, at);
  }
  return text;
}

std::string Row(std::string_view label, std::string_view value) {
  return "Data&_eq_^" + std::string(label) + std::string(value) + kRowEnd;
}

std::string OwnedItemRows(const platform::XmlNode& element, std::string_view metatype) {
  const std::string path = "ModelItem[@Metatype=\"" + std::string(metatype) + "\"]";
  std::string rows;
  for (const platform::XmlNode& item : element.selectNodes(path)) {
    // Reading a missing Name or GUID throws, which empties the whole answer.
    rows += "Data&_eq_^" + item.attributes().getNamedItem("Name").nodeValue() + "&_sc_^";
    rows += "GUID&_eq_^" + item.attributes().getNamedItem("GUID").nodeValue() + kRowEnd;
  }
  return rows;
}

// The row for a tagged value, or "" when its escaped value is empty.
std::string TaggedValueRow(const host::ElementPtr& element, const char* tag, const char* label) {
  const std::string value = EscapeCompartmentText(GetTaggedValue(element, tag), true);
  return value.empty() ? "" : Row(label, value);
}

// The notes row; long notes are cut on the escaped text to 47 characters and "...".
std::string NotesRow(const std::string& notes) {
  if (notes.empty()) return "";
  const std::string value = EscapeCompartmentText(notes, true);
  if (WideCharacterCount(value) <= kMaxTextCharacters) return Row("Text: ", value);
  return Row("Text: ", std::string(FirstWideCharacters(value, kCutTextCharacters)) + "...");
}

std::string RequirementRows(host::Repository& repository, const platform::XmlNode& element_node) {
  if (!HelperFuncs::IsRequirementMetatype(GetXmlAttribute(element_node, "Metatype"))) return "";
  const host::ElementPtr element =
      repository.GetElementByGUID(GetXmlAttribute(element_node, "GUID"));
  if (!element) return "";
  std::string rows = TaggedValueRow(element, "Id", "Id: ");
  rows += NotesRow(element->Notes());
  for (const TaggedProperty& property : kTrailingTaggedProperties) {
    rows += TaggedValueRow(element, property.tag, property.label);
  }
  return rows;
}

std::string Rows(host::Repository& repository, const platform::XmlNode& element_node,
                 const std::string& sCompartment) {
  for (const OwnedItemCompartment& compartment : kOwnedItemCompartments) {
    if (sCompartment == compartment.name) return OwnedItemRows(element_node, compartment.metatype);
  }
  if (sCompartment == "requirements") return RequirementRows(repository, element_node);
  // "allocatedTo", "allocatedFrom" and unknown names have no rows.
  return "";
}

std::string CompartmentDataOrThrow(host::Repository& repository, const std::string& sCompartment,
                                   const std::string& sGUID) {
  platform::XmlDocument document;
  // A document that did not load has no nodes, so the selection below finds nothing.
  document.loadXML(repository.GetModelItemXml(sGUID));
  const platform::XmlNode element_node = document.selectSingleNode("//ModelItem");
  if (!element_node) return "";
  const std::string rows = Rows(repository, element_node, sCompartment);
  if (rows.empty()) return "";
  return "Name=" + sCompartment + ";" + "OwnerGUID=" + sGUID + ";" + kOptionsField +
         "CompartmentData=" + rows + ";";
}

}  // namespace

std::string CompartmentData(host::Repository& repository, const std::string& sCompartment,
                            const std::string& sGUID) {
  try {
    return CompartmentDataOrThrow(repository, sCompartment, sGUID);
  } catch (...) {
    // Every failure after the document exists answers "no compartment".
    return "";
  }
}

}  // namespace compartments
