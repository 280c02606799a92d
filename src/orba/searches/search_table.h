// SearchTable: the answer of a model search as the host shows it, a list of
// declared fields and the rows found; and the host's report-table document,
// ReportViewData, from which an add-in's answer is read.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "host/error.h"

namespace orba::searches {

// A report-table document that cannot be read.
class SearchError : public host::Error {
 public:
  using host::Error::Error;
};

struct SearchField {
  std::string name;
  std::string value;
  friend bool operator==(const SearchField&, const SearchField&) = default;
};

// The fields of one row, in the row's own order (which need not be the
// order of the declarations).
using SearchRow = std::vector<SearchField>;

struct SearchTable {
  std::vector<std::string> fields;
  std::vector<SearchRow> rows;
};

// The value of `field` in `row`; the empty string when the row has none.
std::string ValueOf(const SearchRow& row, std::string_view field);

// Reads <ReportViewData><Fields><Field name=".."/>...</Fields><Rows><Row>
// <Field name=".." value=".."/>...</Row>...</Rows></ReportViewData>.
// Throws SearchError naming the problem when the text is not such a document.
SearchTable ParseReportViewData(std::string_view document);

// The table as a report-table document, in the layout add-ins write.
std::string WriteReportViewData(const SearchTable& table);

}  // namespace orba::searches
