#include "orba/searches/search_runner.h"

#include <algorithm>

#include "automation/dispatch.h"
#include "orba/searches/requirements_search.h"
#include "orba/session/addins.h"
#include "orba/store/xml_text.h"

namespace orba::searches {
namespace {

std::string Joined(const std::vector<std::string>& names) {
  std::string text;
  for (const std::string& name : names) text += (text.empty() ? "\"" : ", \"") + name + "\"";
  return text;
}

const store::RegisteredSearch& FindRegistered(const store::ModelRepository& repository,
                                              const std::string& name) {
  const auto& searches = repository.RegisteredSearches();
  auto found = std::ranges::find(searches, name, &store::RegisteredSearch::name);
  if (found == searches.end()) {
    throw SearchError("no search named \"" + name +
                      "\"; available: " + Joined(AvailableSearches(repository)));
  }
  return *found;
}

// "SysML.AllocationSearch" -> {"SysML", "AllocationSearch"}.
std::pair<std::string, std::string> SplitAddinAndMethod(const store::RegisteredSearch& search) {
  const std::string& text = search.addin_and_method_name;
  const size_t dot = text.find('.');
  if (dot == std::string::npos || dot == 0 || dot + 1 == text.size()) {
    throw SearchError("search \"" + search.name + "\": AddinAndMethodName \"" + text +
                      "\" is not ADDIN.OPERATION");
  }
  return {text.substr(0, dot), text.substr(dot + 1)};
}

SearchResult RunAddinSearch(const store::ModelRepositoryPtr& repository, const AddinLookup& addins,
                            const store::RegisteredSearch& search, const std::string& term) {
  if (!search.custom_search) {
    throw SearchError("search \"" + search.name +
                      "\" is not answered by an add-in, and this host runs no other kind");
  }
  const auto [addin_name, operation] = SplitAddinAndMethod(search);
  const automation::ObjectPtr addin = addins(addin_name);
  if (!addin) {
    throw SearchError("search \"" + search.name + "\": add-in " + addin_name + " is not loaded");
  }
  std::vector<automation::Variant> args = {repository, term, std::string()};
  const automation::CallResult result = automation::Call(*addin, operation, args);
  if (!result.ok) throw SearchError(session::AddinFailure(addin_name, operation, result.error));
  // A model can hold a character XML 1.0 forbids (an old file, a name set
  // through SQL); the add-in copies it into the answer, which then costs that
  // one value, not the whole table.
  std::string document = store::WithXmlCharactersOnly(std::move(args[2]).ToString());
  return SearchResult{search.name, ParseReportViewData(document), std::move(document)};
}

}  // namespace

std::vector<std::string> AvailableSearches(const store::ModelRepository& repository) {
  std::vector<std::string> names = {kRequirementsSearch};
  for (const store::RegisteredSearch& search : repository.RegisteredSearches()) {
    names.push_back(search.name);
  }
  return names;
}

SearchResult RunSearch(const store::ModelRepositoryPtr& repository, const AddinLookup& addins,
                       const std::string& name, const std::string& term) {
  if (name == kRequirementsSearch) {
    SearchTable table = FindRequirements(*repository);
    std::string document = WriteReportViewData(table);
    return SearchResult{name, std::move(table), std::move(document)};
  }
  return RunAddinSearch(repository, addins, FindRegistered(*repository, name), term);
}

}  // namespace orba::searches
