#include "orba/report/matrix_data.h"

namespace orba::report {
namespace {

std::string NameOf(const ModelIndex& model, int32_t element_id) {
  const IndexedElement* element = model.Element(element_id);
  return element ? element->row.name : "";
}

std::string CellText(const std::vector<TraceEnd>& ends, const ModelIndex& model) {
  std::string text;
  for (const TraceEnd& end : ends) {
    if (!text.empty()) text += "; ";
    text += (end.requirement_is_client ? "-> " : "<- ") + NameOf(model, end.element_id);
  }
  return text;
}

std::string CsvField(const std::string& text) {
  if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
  std::string quoted = "\"";
  for (const char c : text) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
  return quoted + "\"";
}

void AppendCsvLine(const std::vector<std::string>& fields, std::string& csv) {
  for (size_t at = 0; at < fields.size(); ++at) csv += (at ? "," : "") + CsvField(fields[at]);
  csv += "\r\n";
}

}  // namespace

DataTable TraceabilityTable(const TraceabilityMatrix& matrix, const ModelIndex& model) {
  DataTable table{{"Requirement", "GUID", "Kind"}, {}};
  for (const TraceRelation& relation : TraceRelations()) table.columns.push_back(relation.column);
  table.columns.insert(table.columns.end(), {"Satisfied", "Verified"});
  for (const RequirementTrace& trace : matrix.rows) {
    const IndexedElement& requirement = *model.Element(trace.requirement_id);
    std::vector<std::string> row = {requirement.row.name, requirement.row.guid,
                                    requirement.metatype};
    for (const std::vector<TraceEnd>& cell : trace.cells) row.push_back(CellText(cell, model));
    row.push_back(trace.satisfied ? "yes" : "no");
    row.push_back(trace.verified ? "yes" : "no");
    table.rows.push_back(std::move(row));
  }
  return table;
}

DataTable AllocationTable(const AllocationMatrix& matrix) {
  DataTable table{{"From"}, {}};
  for (const AllocationEnd& to : matrix.to) table.columns.push_back(LabelOf(to));
  for (size_t row = 0; row < matrix.from.size(); ++row) {
    std::vector<std::string> cells = {LabelOf(matrix.from[row])};
    for (size_t column = 0; column < matrix.to.size(); ++column) {
      const auto count = matrix.counts.find({row, column});
      cells.push_back(count == matrix.counts.end() ? "" : std::to_string(count->second));
    }
    table.rows.push_back(std::move(cells));
  }
  return table;
}

std::string CsvText(const DataTable& table, bool bom) {
  std::string csv = bom ? "\xEF\xBB\xBF" : "";
  AppendCsvLine(table.columns, csv);
  for (const std::vector<std::string>& row : table.rows) AppendCsvLine(row, csv);
  return csv;
}

nlohmann::ordered_json TableJson(const std::string& matrix_name, const DataTable& table) {
  return {{"matrix", matrix_name}, {"columns", table.columns}, {"rows", table.rows}};
}

nlohmann::ordered_json CoverageJson(const TraceabilityMatrix& matrix) {
  const size_t requirements = matrix.rows.size();
  return {{"requirements", requirements},
          {"satisfied", matrix.satisfied},
          {"verified", matrix.verified},
          {"satisfiedPercent", Percent(matrix.satisfied, requirements)},
          {"verifiedPercent", Percent(matrix.verified, requirements)}};
}

}  // namespace orba::report
