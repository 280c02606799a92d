// The diagram profile: one stereotype per SysML diagram type, which the host
// names "SysML::" and the stereotype name.
#include <string_view>

#include "profiles.h"

namespace technology {

// The tables below are kept as rows, one entry to a line or two.
// clang-format off

namespace {

struct DiagramType {
  std::string_view name;
  std::string_view host_diagram_kind;
  std::string_view alias;  // empty: no alias property
  std::string_view diagram_id;
  std::string_view toolbox;  // the profile whose toolbox page the diagram opens
  std::string_view notes;
};

const DiagramType kDiagramTypes[] = {
    {"BlockDefinition", "Diagram_Logical", "SysML Block Definition", "bdd", "SysML Block Definition",
     "SysML Block Definition Diagrams capture the definition of blocks in terms of properties and operations , "
     "and relationships such as a system hierarchy or a system classification tree."},
    {"InternalBlock", "Diagram_CompositeStructure", "SysML Internal Block", "ibd", "SysML Block Internal",
     "SysML Internal Block Diagrams capture the internal structure of a block in terms of properties and "
     "connectors between properties."},
    {"Parametric", "Diagram_Logical", "SysML Parametric", "par", "SysML Parametric",
     "SysML Parametric Diagrams describe the constraints among the properties associated with blocks."},
    {"Activity", "Diagram_Activity", "", "act", "SysML Activity",
     "SysML Activity Diagrams describe low-level system behavior as a sequence of control and object flow "
     "paths."},
    {"Requirement", "Diagram_Custom", "SysML Requirements", "req", "SysML Requirements",
     "SysML Requirements Diagrams specify text-based requirements, and their relationship with other model "
     "elements that satisfy or verify them."},
    {"Package", "Diagram_Package", "", "pkg", "SysML Model Elements",
     "SysML Package Diagrams describe the organization of packages, their elements and their corresponding "
     "relationships."},
    {"Sequence", "Diagram_Sequence", "", "sd", "SysML Interaction",
     "SysML Sequence Diagrams specify element behavior as a sequential series of messages passing back and "
     "forth, against a vertical time scale."},
    {"StateMachine", "Diagram_Statechart", "", "stm", "SysML State",
     "SysML State Machine Diagrams model the internal behavior of an element as a graph of states and "
     "transitions."},
    {"UseCase", "Diagram_Use Case", "", "uc", "SysML Use Case",
     "SysML Use Case Diagrams capture the behavioral requirements of a system using use case elements, and "
     "their interaction with participant actors."},
};

std::vector<Property> DiagramProperties(const DiagramType& diagram) {
  std::vector<Property> properties;
  if (!diagram.alias.empty()) properties.push_back({"alias", std::string(diagram.alias)});
  properties.push_back({"diagramID", std::string(diagram.diagram_id)});
  properties.push_back({"frameReplaceSubStrings", "[],"});
  properties.push_back({"frameString", "#DGMID# [#DGMALIAS#] #DGMOWNERNAME# [#DGMNAME#]"});
  properties.push_back({"frameStringInner", "#DGMSTEREO# #DGMID# #DGMOWNERNAME# [#DGMNAME#]"});
  properties.push_back({"toolbox", std::string(diagram.toolbox)});
  return properties;
}

}  // namespace

Profile DiagramProfile() {
  Profile profile{.id = "3DECCB2D-A", .name = "SysML", .notes = "SysML"};
  for (const DiagramType& diagram : kDiagramTypes) {
    const BaseType apply{BaseType::Kind::kApply, std::string(diagram.host_diagram_kind),
                         DiagramProperties(diagram)};
    profile.stereotypes.push_back(
        {.name = std::string(diagram.name), .notes = std::string(diagram.notes), .base_types = {apply}});
  }
  return profile;
}

// clang-format on

}  // namespace technology
