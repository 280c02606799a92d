// The JSON of a search result, written row by row, is the document a JSON
// library makes of the same table: empty lists, a row without fields, a name
// given twice in a row (its first place, its last value), bytes that are no
// UTF-8 (U+FFFD) and characters JSON escapes.
#include "orba/cli/search_output.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <sstream>

namespace orba::cli {
namespace {

using nlohmann::ordered_json;
using searches::SearchResult;

std::string LibraryJson(const SearchResult& result) {
  ordered_json rows = ordered_json::array();
  for (const searches::SearchRow& row : result.table.rows) {
    ordered_json values = ordered_json::object();
    for (const searches::SearchField& field : row) values[field.name] = field.value;
    rows.push_back(std::move(values));
  }
  const ordered_json document = {
      {"search", result.name}, {"fields", result.table.fields}, {"rows", rows}};
  return document.dump(2, ' ', false, ordered_json::error_handler_t::replace) + "\n";
}

TEST(SearchOutputTest, JsonIsTheDocumentOfTheWholeTable) {
  const SearchResult results[] = {
      {"Empty", {}, ""},
      {"No rows", {{"A", "B"}, {}}, ""},
      {"Rows", {{"A"}, {{}, {{"A", "1"}, {"B", "2"}, {"A", "3"}}, {{"B", "x"}}}}, ""},
      {"Te\"xt\n\xff", {{"\x01", "\xc3"}, {{{"\xe2\x82", "\t\\ \xc3\xa9"}}}}, ""},
  };
  for (const SearchResult& result : results) {
    std::ostringstream written;
    WriteSearchJson(result, written);
    EXPECT_EQ(written.str(), LibraryJson(result)) << result.name;
  }
}

}  // namespace
}  // namespace orba::cli
