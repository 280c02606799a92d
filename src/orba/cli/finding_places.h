// Where the items of validation findings are, so that a reader (or a
// code-scanning service) can go to them: each item's qualified name in the
// model (Package::Element), and, when the model was read from a source
// document, the line and column where the document defines the item: the
// "key" of a JSON model document's item (an operation: its element's), the
// element with the item's xmi:id in XMI (lines only: libxml2 keeps no
// columns).
#pragma once

#include <string>

#include "orba/store/model_session.h"
#include "orba/validator/validator.h"

namespace orba::cli {

// Fills in the place of the item of every violation and failure. `source`
// is the text of the source document the model was imported from; "" for a
// model file.
void PlaceFindings(store::ModelSession& session, const std::string& source,
                   validator::ValidationResult& result);

}  // namespace orba::cli
