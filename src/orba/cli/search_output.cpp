#include "orba/cli/search_output.h"

#include <algorithm>
#include <nlohmann/json.hpp>
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

// A row's fields with each name once: where the first of a name stands,
// with the last value given for it.
searches::SearchRow FieldsOnce(const searches::SearchRow& row) {
  searches::SearchRow fields;
  for (const searches::SearchField& field : row) {
    auto same = std::ranges::find(fields, field.name, &searches::SearchField::name);
    if (same == fields.end()) {
      fields.push_back(field);
    } else {
      same->value = field.value;
    }
  }
  return fields;
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

void WriteSearchJson(const searches::SearchResult& result, std::ostream& out) {
  // Written row by row rather than built as one JSON value: a search can
  // answer a million rows. The layout is the one every JSON output has.
  const auto text = [](const std::string& value) {
    return nlohmann::json(value).dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
  };
  out << "{\n  \"search\": " << text(result.name) << ",\n  \"fields\": [";
  const char* separator = "\n    ";
  for (const std::string& field : result.table.fields) {
    out << separator << text(field);
    separator = ",\n    ";
  }
  out << (result.table.fields.empty() ? "]" : "\n  ]") << ",\n  \"rows\": [";
  separator = "\n    ";
  for (const searches::SearchRow& row : result.table.rows) {
    out << separator << "{";
    const char* field_separator = "\n      ";
    for (const searches::SearchField& field : FieldsOnce(row)) {
      out << field_separator << text(field.name) << ": " << text(field.value);
      field_separator = ",\n      ";
    }
    out << (row.empty() ? "}" : "\n    }");
    separator = ",\n    ";
  }
  out << (result.table.rows.empty() ? "]" : "\n  ]") << "\n}\n";
}

}  // namespace orba::cli
