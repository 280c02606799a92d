// The diagram types a technology document defines (its DiagramProfile):
// each stereotype there is a type named "PROFILE::STEREOTYPE", applied to a
// host diagram kind with properties that say how its frame is labelled.
#pragma once

#include <map>
#include <string>
#include <string_view>

namespace orba::diagrams {

struct DiagramType {
  std::string name;        // "SysML::BlockDefinition"
  std::string stereotype;  // "BlockDefinition"
  std::string base_kind;   // the host's diagram kind: "Diagram_Logical", ...
  std::string alias;
  std::string diagram_id;  // "bdd"
  std::string frame_string;
  std::string frame_replace_list;
};

// Adds the document's diagram types to `types`; a name already there keeps
// its first definition. A text that is not XML adds nothing.
void CollectDiagramTypes(std::string_view document, std::map<std::string, DiagramType>& types);

// The type of a diagram whose type no technology defines: its frame names
// the diagram alone.
DiagramType PlainDiagramType(const std::string& name);

}  // namespace orba::diagrams
