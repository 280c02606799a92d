// The host's SQL query service: one read-only statement, answered as
// <?xml version="1.0"?><OrbaData><Dataset_0><Data><Row><COL>value</COL>...</Row>
// ...</Data></Dataset_0></OrbaData>.
#pragma once

#include <string>

#include "orba/store/database.h"

namespace orba::store {

// Throws host::Error for a statement that is not exactly one read-only query.
std::string ExecuteReadOnlyQuery(Database& db, const std::string& sql);

}  // namespace orba::store
