// Writes a model as XMI 2.5.1 of the UML 2.5.1 with the SysML 1.6 profile,
// in the OMG's canonical namespaces, so that other SysML tools (and our own
// XMI import) can read it. The source is a JSON model document (what `orba
// export` writes), so every field the host keeps reaches the writer.
#pragma once

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "orba/interchange/xmi_error.h"

namespace orba::interchange {

struct XmiExport {
  std::string text;  // the XMI document
  // What the XMI import will not give back, one line per item and field
  // ("element \"Car\" (car): tag \"risk\" kept in the item's xmi:Extension").
  std::vector<std::string> not_carried;
};

// Writes `document`. An item's xmi:id is its "xmiId" when it has a usable one
// (non-empty, no blanks, not taken), else one made from its GUID. Throws
// XmiError naming the place of a document it cannot write (a list or field of
// the wrong JSON type, a key that names no item, a loop of owners).
XmiExport WriteXmi(const nlohmann::json& document);

}  // namespace orba::interchange
