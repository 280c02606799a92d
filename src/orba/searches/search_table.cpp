#include "orba/searches/search_table.h"

#include <pugixml.hpp>

#include "base/xml_escape.h"
#include "orba/store/xml_text.h"

namespace orba::searches {
namespace {

// The `name` attribute of a Field element; a Field without one is refused.
std::string FieldName(const pugi::xml_node& field, const char* where) {
  const pugi::xml_attribute name = field.attribute("name");
  if (!name) throw SearchError(std::string("report table: a Field in ") + where + " has no name");
  return name.value();
}

std::vector<std::string> ReadDeclarations(const pugi::xml_node& fields) {
  std::vector<std::string> names;
  for (const pugi::xml_node& field : fields.children("Field")) {
    names.push_back(FieldName(field, "Fields"));
  }
  return names;
}

SearchRow ReadRow(const pugi::xml_node& row) {
  SearchRow values;
  for (const pugi::xml_node& field : row.children("Field")) {
    values.push_back(SearchField{FieldName(field, "a Row"), field.attribute("value").value()});
  }
  return values;
}

}  // namespace

std::string ValueOf(const SearchRow& row, std::string_view field) {
  for (const SearchField& value : row) {
    if (value.name == field) return value.value;
  }
  return "";
}

SearchTable ParseReportViewData(std::string_view document) {
  pugi::xml_document xml;
  if (!store::LoadXml(xml, document)) {
    throw SearchError("report table: the search answered text that is not well-formed XML");
  }
  const pugi::xml_node root = xml.document_element();
  if (std::string_view(root.name()) != "ReportViewData") {
    throw SearchError("report table: expected the element ReportViewData, found '" +
                      std::string(root.name()) + "'");
  }
  SearchTable table;
  table.fields = ReadDeclarations(root.child("Fields"));
  for (const pugi::xml_node& row : root.child("Rows").children("Row")) {
    table.rows.push_back(ReadRow(row));
  }
  return table;
}

std::string WriteReportViewData(const SearchTable& table) {
  std::string document = "<ReportViewData><Fields>";
  for (const std::string& field : table.fields) {
    document += "<Field name=\"" + base::EscapeXml(field, base::XmlEscaping::kAttribute) + "\"/>";
  }
  document += "</Fields><Rows>";
  for (const SearchRow& row : table.rows) {
    document += "<Row>";
    for (const SearchField& field : row) {
      document += "<Field name=\"" + base::EscapeXml(field.name, base::XmlEscaping::kAttribute) +
                  "\" value=\"" + base::EscapeXml(field.value, base::XmlEscaping::kAttribute) +
                  "\" />";
    }
    document += "</Row>";
  }
  document += "</Rows></ReportViewData>";
  return document;
}

}  // namespace orba::searches
