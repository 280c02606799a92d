// Running a model search by name: the host's own "Requirements" search, or a
// search an add-in registered (RegisterSearches) and answers itself: for
// CustomSearch "1" with AddinAndMethodName "SysML.AllocationSearch" the host
// calls the operation AllocationSearch of the add-in "SysML" with
// (Repository, term, result) and reads the report table written to result.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "automation/object.h"
#include "orba/searches/search_table.h"
#include "orba/store/model_repository.h"

namespace orba::searches {

struct SearchResult {
  std::string name;
  SearchTable table;
  // The report-table document: the add-in's exactly as it answered it when
  // that is XML 1.0, else with each character XML 1.0 forbids (raw, or as a
  // character reference) replaced by U+FFFD; the host's own for its own searches.
  std::string document;
};

// The add-in the host knows by `name`; null when none is loaded.
using AddinLookup = std::function<automation::ObjectPtr(const std::string& name)>;

// Every search that can be run now: the host's own, then the registered ones.
std::vector<std::string> AvailableSearches(const store::ModelRepository& repository);

// Throws SearchError for an unknown search, a failed add-in call or an
// answer that is not a report table.
SearchResult RunSearch(const store::ModelRepositoryPtr& repository, const AddinLookup& addins,
                       const std::string& name, const std::string& term);

}  // namespace orba::searches
