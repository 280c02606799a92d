#include "helper_funcs/helper_funcs.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace HelperFuncs {
namespace {

constexpr std::array<std::string_view, 7> kRequirementMetatypes = {
    "Requirement",           "DesignRequirement",    "ExtendedRequirement",
    "FunctionalRequirement", "InterfaceRequirement", "PerformanceRequirement",
    "PhysicalRequirement",
};

// Replaces every occurrence of `from` (not empty) by `to`, left to right.
std::string ReplaceAll(std::string text, std::string_view from, std::string_view to) {
  for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
    text.replace(at, from.size(), to);
  }
  return text;
}

}  // namespace

std::string GetXmlAttribute(const platform::XmlNode& Node, const std::string& AttributeName) {
  const platform::XmlAttribute attribute = Node.attributes().getNamedItem(AttributeName);
  return attribute ? attribute.text() : "";
}

std::string GetTaggedValue(const host::ElementPtr& Element, const std::string& TagName) {
  if (!Element || TagName.empty()) return "";
  for (const host::TaggedValuePtr& tag : Element->TaggedValueList()->Items()) {
    if (tag->Name() == TagName) return tag->Value();
  }
  return "";
}

std::string EscapeCompartmentText(const std::string& Text, bool Strip) {
  const std::string commas_escaped = ReplaceAll(Text, ",", "&_c_^");
  if (Strip) return ReplaceAll(ReplaceAll(commas_escaped, ";", ""), "=", "");
  return ReplaceAll(ReplaceAll(commas_escaped, ";", "&_sc_^"), "=", "&_eq_^");
}

bool IsRequirementMetatype(const std::string& Metatype) {
  return std::ranges::find(kRequirementMetatypes, Metatype) != kRequirementMetatypes.end();
}

std::string GetModelItemAttribute(const host::RepositoryPtr& Repository, const std::string& GUID,
                                  const std::string& AttributeName) {
  if (!Repository) return "";
  try {
    platform::XmlDocument document;
    if (!document.loadXML(Repository->GetModelItemXml(GUID))) return "";
    const platform::XmlNode item = document.selectSingleNode("//ModelItem");
    if (!item) return "";
    return GetXmlAttribute(item, AttributeName);
  } catch (...) {
    // Whatever went wrong, the answer is simply "no value".
    return "";
  }
}

}  // namespace HelperFuncs
