#include "orba/store/technology_document.h"

#include "orba/store/xml_text.h"

namespace orba::store {

std::optional<std::string> TechnologyIdOf(std::string_view document) {
  pugi::xml_document xml;
  if (!LoadXml(xml, document)) return std::nullopt;
  pugi::xml_node root = xml.document_element();
  if (std::string_view(root.name()) != "Quindle.Technology") return std::nullopt;
  pugi::xml_attribute id = root.child("Documentation").attribute("id");
  if (!id || std::string_view(id.value()).empty()) return std::nullopt;
  return id.value();
}

void CollectStereotypeMetatypes(std::string_view document,
                                std::map<std::string, std::string>& metatypes) {
  pugi::xml_document xml;
  if (!LoadXml(xml, document)) return;
  for (const pugi::xpath_node& found : xml.select_nodes("//UMLProfiles//Stereotype[@metatype]")) {
    pugi::xml_node stereotype = found.node();
    std::string metatype = stereotype.attribute("metatype").value();
    if (metatype.empty()) continue;
    metatypes.emplace(stereotype.attribute("name").value(), metatype);
  }
}

}  // namespace orba::store
