#include "orba/shape_script/syntax.h"

#include <algorithm>
#include <cctype>

namespace orba::shape_script {

std::string LowerCase(std::string text) {
  std::ranges::transform(text, text.begin(),
                         [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

ShapeScriptError ErrorAt(std::string_view stereotype, Position position, std::string_view problem) {
  return ShapeScriptError("shape script of " + std::string(stereotype) + ", line " +
                          std::to_string(position.line) + ", column " +
                          std::to_string(position.column) + ": " + std::string(problem));
}

std::vector<const Shape*> FindSubShape(const Script& script, const std::vector<const Shape*>& path,
                                       std::string_view name) {
  for (size_t depth = path.size();; --depth) {
    const std::vector<Shape>& candidates = depth == 0 ? script.shapes : path[depth - 1]->shapes;
    for (const Shape& shape : candidates) {
      if (shape.name != name) continue;
      std::vector<const Shape*> found(path.begin(), path.begin() + depth);
      found.push_back(&shape);
      return found;
    }
    if (depth == 0) return {};
  }
}

}  // namespace orba::shape_script
