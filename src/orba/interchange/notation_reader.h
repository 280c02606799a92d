// The diagrams of a GMF notation file, as Papyrus writes one beside a model
// (Model.notation beside Model.uml): each notation:Diagram becomes a diagram
// of the JSON model document, with the shapes (their bounds, made absolute)
// and edges that show items the document holds.
#pragma once

#include <nlohmann/json.hpp>
#include <string>
#include <string_view>

#include "orba/interchange/import_report.h"

namespace orba::interchange {

// Adds the diagrams of `notation` to `document` (whose items' keys are the
// model's xmi:ids). Shapes of items the document lacks are counted in the
// report's warnings. Throws XmiError naming `path` when it is not XML.
void AddNotationDiagrams(std::string_view notation, const std::string& path,
                         nlohmann::json& document, ImportReport& report);

// The notation file beside a model file: the same name ending ".notation".
std::string NotationFileOf(const std::string& model_path);

}  // namespace orba::interchange
