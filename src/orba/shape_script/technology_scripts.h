// The shape scripts of a technology document: the Image elements of type
// "OrbaShapeScript 1.0" under its stereotypes. Each holds Base64 (any line
// breaks) of a ZIP archive whose member "str.dat" is the script in UTF-16LE.
#pragma once

#include <map>
#include <string>
#include <string_view>

namespace orba::shape_script {

// The scripts by stereotype name, as UTF-8 text. Throws ShapeScriptError
// naming the stereotype and the problem when a payload is not Base64, not a
// ZIP archive, holds no readable str.dat, or str.dat is not UTF-16LE; and
// when the document is not XML or gives one stereotype two scripts.
std::map<std::string, std::string> ShapeScriptsOf(std::string_view technology_document);

}  // namespace orba::shape_script
