#include "orba/diagrams/diagram_types.h"

#include <pugixml.hpp>

namespace orba::diagrams {
namespace {

DiagramType ReadDiagramType(const std::string& profile, const pugi::xml_node& stereotype) {
  DiagramType type;
  type.stereotype = stereotype.attribute("name").value();
  type.name = profile + "::" + type.stereotype;
  const pugi::xml_node apply = stereotype.child("AppliesTo").child("Apply");
  type.base_kind = apply.attribute("type").value();
  const std::pair<const char*, std::string*> properties[] = {
      {"alias", &type.alias},
      {"diagramID", &type.diagram_id},
      {"frameString", &type.frame_string},
      {"frameReplaceSubStrings", &type.frame_replace_list}};
  for (const pugi::xml_node& property : apply.children("Property")) {
    for (const auto& [name, value] : properties) {
      if (std::string_view(property.attribute("name").value()) == name)
        *value = property.attribute("value").value();
    }
  }
  return type;
}

}  // namespace

void CollectDiagramTypes(std::string_view document, std::map<std::string, DiagramType>& types) {
  pugi::xml_document xml;
  if (!xml.load_buffer(document.data(), document.size())) return;
  for (const pugi::xml_node& profile :
       xml.child("Quindle.Technology").child("DiagramProfile").children("UMLProfile")) {
    const std::string profile_name = profile.child("Documentation").attribute("name").value();
    for (const pugi::xml_node& stereotype :
         profile.child("Content").child("Stereotypes").children("Stereotype")) {
      DiagramType type = ReadDiagramType(profile_name, stereotype);
      types.try_emplace(type.name, std::move(type));
    }
  }
}

DiagramType PlainDiagramType(const std::string& name) {
  DiagramType type;
  type.name = name;
  type.frame_string = "#DGMNAME#";
  return type;
}

}  // namespace orba::diagrams
