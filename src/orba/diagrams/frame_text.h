// The text in the name box of a diagram's frame, from its diagram type's
// frame string: "#DGMID#", "#DGMALIAS#", "#DGMOWNERNAME#", "#DGMNAME#" and
// "#DGMSTEREO#" are replaced by the fields, then every substring listed in
// the type's replace list (comma-separated; "[]," for the SysML types) is
// removed and runs of spaces collapse, so that an activity diagram without
// alias reads "act Owner [Name]".
#pragma once

#include <string>

namespace orba::diagrams {

struct FrameFields {
  std::string diagram_id;  // the type's short id: "bdd", "ibd", ...
  std::string alias;       // the type's alias; often empty
  std::string owner_name;  // the owning package's (or element's) name
  std::string diagram_name;
  std::string stereotype;  // the diagram type's stereotype: "BlockDefinition", ...
};

std::string FrameText(const std::string& frame_string, const std::string& replace_list,
                      const FrameFields& fields);

}  // namespace orba::diagrams
