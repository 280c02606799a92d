// TechnologyShapeScripts: the shape scripts of the installed technologies,
// read and parsed once, drawing the scene items whose stereotypes have one.
// A script that cannot be read, parsed or run is named on the diagnostics
// stream (script, line, column) and its items get the plain shape.
#pragma once

#include <map>
#include <ostream>
#include <string>
#include <vector>

#include "orba/diagrams/notation.h"
#include "orba/shape_script/syntax.h"

namespace orba::diagrams {

class TechnologyShapeScripts : public ScriptedShapes {
 public:
  // `scripts`: the script text by stereotype (ScriptsOfTechnologies).
  TechnologyShapeScripts(const std::map<std::string, std::string>& scripts,
                         const canvas::TextMeasure& measure, std::ostream& diagnostics);

  std::optional<ObjectLook> DrawObject(const SceneObject& object, std::optional<Edge> edge,
                                       canvas::DisplayList& list) override;
  std::optional<LinkLook> DrawLink(const SceneLink& link, canvas::Point from, canvas::Point to,
                                   canvas::DisplayList& list) override;

 private:
  const shape_script::Script* ScriptOf(const std::string& stereotype) const;

  const canvas::TextMeasure& measure_;
  std::ostream& diagnostics_;
  std::map<std::string, shape_script::Script> scripts_;  // by stereotype
};

// The shape scripts of the technology documents, by stereotype (the first
// technology to define one keeps it).
std::map<std::string, std::string> ScriptsOfTechnologies(const std::vector<std::string>& documents,
                                                         std::ostream& diagnostics);

}  // namespace orba::diagrams
