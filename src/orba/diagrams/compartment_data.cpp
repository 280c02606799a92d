#include "orba/diagrams/compartment_data.h"

#include <string_view>

namespace orba::diagrams {
namespace {

constexpr std::string_view kEquals = "&_eq_^";
constexpr std::string_view kSemicolon = "&_sc_^";
constexpr std::string_view kRowEnd = "&_sc_^,";
constexpr std::string_view kGuidField = "&_sc_^GUID&_eq_^";
constexpr std::string_view kDataField = "Data&_eq_^";

[[noreturn]] void Fail(const std::string& problem) {
  throw CompartmentDataError("the compartment data cannot be read: " + problem);
}

// Takes "KEY=" and the value up to `end` (exclusive) from the front of `text`.
std::string TakeField(std::string_view& text, std::string_view key, std::string_view end) {
  if (text.substr(0, key.size()) != key) Fail("expected \"" + std::string(key) + "\"");
  text.remove_prefix(key.size());
  const size_t stop = text.find(end);
  if (stop == std::string_view::npos) Fail("\"" + std::string(key) + "\" has no end");
  std::string value(text.substr(0, stop));
  text.remove_prefix(stop + end.size());
  return value;
}

// "KEY&_eq_^VALUE&_sc_^" pairs; true when SkipIfOnDiagram is 1.
bool SkipsWhatIsOnTheDiagram(std::string_view options) {
  while (!options.empty()) {
    const size_t equals = options.find(kEquals);
    const size_t end = options.find(kSemicolon);
    if (equals == std::string_view::npos || end == std::string_view::npos || end < equals)
      Fail("an option is not KEY=VALUE;");
    const std::string_view key = options.substr(0, equals);
    const std::string_view value =
        options.substr(equals + kEquals.size(), end - equals - kEquals.size());
    if (key == "SkipIfOnDiagram") return value == "1";
    options.remove_prefix(end + kSemicolon.size());
  }
  return false;
}

// One row without its closing "&_sc_^,": "Data&_eq_^TEXT" and, for a row
// that shows an item, "&_sc_^GUID&_eq_^GUID".
CompartmentRow ReadRow(std::string_view row) {
  if (row.substr(0, kDataField.size()) != kDataField) Fail("a row does not begin with Data=");
  row.remove_prefix(kDataField.size());
  const size_t guid = row.rfind(kGuidField);
  if (guid == std::string_view::npos) return {UnescapeCompartmentText(std::string(row)), ""};
  return {UnescapeCompartmentText(std::string(row.substr(0, guid))),
          std::string(row.substr(guid + kGuidField.size()))};
}

std::vector<CompartmentRow> ReadRows(std::string_view rows) {
  std::vector<CompartmentRow> read;
  while (!rows.empty()) {
    const size_t end = rows.find(kRowEnd);
    if (end == std::string_view::npos) Fail("a row is not closed by \"&_sc_^,\"");
    read.push_back(ReadRow(rows.substr(0, end)));
    rows.remove_prefix(end + kRowEnd.size());
  }
  return read;
}

}  // namespace

std::string UnescapeCompartmentText(std::string text) {
  const std::pair<std::string_view, char> escapes[] = {
      {kEquals, '='}, {kSemicolon, ';'}, {"&_c_^", ','}};
  for (const auto& [escape, character] : escapes) {
    for (size_t at = text.find(escape); at != std::string::npos; at = text.find(escape, at + 1))
      text.replace(at, escape.size(), 1, character);
  }
  return text;
}

std::optional<CompartmentData> ParseCompartmentData(const std::string& data) {
  if (data.empty()) return std::nullopt;
  std::string_view text = data;
  CompartmentData compartment;
  compartment.name = TakeField(text, "Name=", ";");
  compartment.owner_guid = TakeField(text, "OwnerGUID=", ";");
  compartment.skip_if_on_diagram =
      SkipsWhatIsOnTheDiagram(TakeField(text, "Options=", "CompartmentData="));
  if (text.empty() || text.back() != ';') Fail("CompartmentData is not closed by \";\"");
  text.remove_suffix(1);
  compartment.rows = ReadRows(text);
  return compartment;
}

}  // namespace orba::diagrams
