// How a search result is shown: a text table with aligned columns, or the
// JSON document {"search", "fields", "rows"}.
#pragma once

#include <iosfwd>

#include "orba/searches/search_runner.h"

namespace orba::cli {

void WriteSearchText(const searches::SearchResult& result, std::ostream& out);
void WriteSearchJson(const searches::SearchResult& result, std::ostream& out);

}  // namespace orba::cli
