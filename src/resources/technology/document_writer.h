// Lays the technology out as the document the host loads.
#pragma once

#include <map>
#include <string>

#include "technology_model.h"

namespace technology {

// The shape scripts' texts (UTF-8) by the names the stereotypes give.
using ShapeScripts = std::map<std::string, std::string>;

// The whole resource: the XML document, CR LF after the root's end tag, then
// three zero bytes. Throws std::runtime_error for a shape script not in `shape_scripts`.
std::string WriteTechnologyDocument(const Technology& technology,
                                    const ShapeScripts& shape_scripts);

}  // namespace technology
