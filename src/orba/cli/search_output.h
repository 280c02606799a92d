// How a search result is shown: a text table with aligned columns, or the
// JSON document {"search", "fields", "rows"}.
#pragma once

#include <iosfwd>
#include <nlohmann/json.hpp>

#include "orba/searches/search_runner.h"

namespace orba::cli {

void WriteSearchText(const searches::SearchResult& result, std::ostream& out);
nlohmann::ordered_json SearchJson(const searches::SearchResult& result);

}  // namespace orba::cli
