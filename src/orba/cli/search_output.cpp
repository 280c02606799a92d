#include "orba/cli/search_output.h"

#include <algorithm>
#include <ostream>
#include <string>
#include <vector>

#include "base/text.h"
#include "base/utf8.h"

namespace orba::cli {
namespace {

// The number of characters (code points) of a UTF-8 text.
size_t Width(const std::string& text) {
  return static_cast<size_t>(
      std::ranges::count_if(text, [](char byte) { return !base::IsUtf8Continuation(byte); }));
}

using TextRow = std::vector<std::string>;

// The cells as shown: each on one line, and no text from the model can drive
// the terminal, as control characters are shown as escapes.
TextRow Shown(TextRow cells) {
  for (std::string& cell : cells) cell = base::EscapeControlCharacters(cell);
  return cells;
}

std::vector<TextRow> TextRows(const searches::SearchResult& result) {
  std::vector<TextRow> rows = {Shown(result.table.fields)};
  for (const searches::SearchRow& row : result.table.rows) {
    TextRow cells;
    for (const std::string& field : result.table.fields) {
      cells.push_back(searches::ValueOf(row, field));
    }
    rows.push_back(Shown(std::move(cells)));
  }
  return rows;
}

void WriteRow(const TextRow& cells, const std::vector<size_t>& widths, std::ostream& out) {
  std::string line;
  for (size_t column = 0; column < cells.size(); ++column) {
    line += cells[column];
    if (column + 1 < cells.size())
      line += std::string(widths[column] - Width(cells[column]) + 2, ' ');
  }
  out << line << "\n";
}

}  // namespace

void WriteSearchText(const searches::SearchResult& result, std::ostream& out) {
  const std::vector<TextRow> rows = TextRows(result);
  std::vector<size_t> widths(result.table.fields.size(), 0);
  for (const TextRow& row : rows) {
    for (size_t column = 0; column < row.size(); ++column) {
      widths[column] = std::max(widths[column], Width(row[column]));
    }
  }
  out << base::EscapeControlCharacters(result.name) << ": " << result.table.rows.size()
      << (result.table.rows.size() == 1 ? " row" : " rows") << "\n";
  for (const TextRow& row : rows) WriteRow(row, widths, out);
}

nlohmann::ordered_json SearchJson(const searches::SearchResult& result) {
  nlohmann::ordered_json rows = nlohmann::ordered_json::array();
  for (const searches::SearchRow& row : result.table.rows) {
    nlohmann::ordered_json values = nlohmann::ordered_json::object();
    for (const searches::SearchField& field : row) values[field.name] = field.value;
    rows.push_back(std::move(values));
  }
  return {{"search", result.name}, {"fields", result.table.fields}, {"rows", rows}};
}

}  // namespace orba::cli
