#include "orba/interchange/import_report.h"

#include <sstream>

#include "base/text.h"

namespace orba::interchange {

void ImportReport::Skipped(const std::string& kind, const std::string& xmi_id) {
  SkippedKind& entry = skipped[kind];
  ++entry.count;
  if (entry.first_ids.size() < kMaxIdsShown && !xmi_id.empty()) entry.first_ids.push_back(xmi_id);
}

double ImportReport::ImportedShare() const {
  const size_t came_in = elements + connectors;
  const size_t representable = came_in + representable_missed;
  return representable == 0 ? 100.0 : 100.0 * static_cast<double>(came_in) / representable;
}

std::string ReportText(const ImportReport& report) {
  using base::EscapeControlCharacters;
  std::ostringstream out;
  out << "imported " << report.packages << " packages, " << report.elements << " elements, "
      << report.connectors << " connectors from " << EscapeControlCharacters(report.source) << " ("
      << static_cast<int>(report.ImportedShare()) << " % of what the host represents)\n";
  for (const auto& [kind, count] : report.imported) {
    out << "  " << count << " " << EscapeControlCharacters(kind) << "\n";
  }
  if (!report.skipped.empty()) out << "skipped:\n";
  for (const auto& [kind, entry] : report.skipped) {
    out << "  " << entry.count << " " << EscapeControlCharacters(kind);
    if (!entry.first_ids.empty()) {
      out << ":";
      for (const std::string& id : entry.first_ids) out << " " << EscapeControlCharacters(id);
      if (entry.count > entry.first_ids.size()) out << " ...";
    }
    out << "\n";
  }
  if (!report.unresolved.empty()) out << "unresolved references (imported as stubs):\n";
  for (const std::string& href : report.unresolved) {
    out << "  " << EscapeControlCharacters(href) << "\n";
  }
  if (!report.control_characters.empty()) {
    out << "control characters replaced with U+FFFD:\n";
  }
  for (const std::string& place : report.control_characters) {
    out << "  " << EscapeControlCharacters(place) << "\n";
  }
  for (const std::string& warning : report.warnings) {
    out << "warning: " << EscapeControlCharacters(warning) << "\n";
  }
  return out.str();
}

nlohmann::ordered_json ReportJson(const ImportReport& report) {
  nlohmann::ordered_json skipped = nlohmann::ordered_json::object();
  for (const auto& [kind, entry] : report.skipped) {
    skipped[kind] = {{"count", entry.count}, {"firstIds", entry.first_ids}};
  }
  return {{"source", report.source},
          {"packages", report.packages},
          {"elements", report.elements},
          {"connectors", report.connectors},
          {"importedShare", report.ImportedShare()},
          {"imported", report.imported},
          {"skipped", skipped},
          {"unresolved", report.unresolved},
          {"controlCharacters", report.control_characters},
          {"warnings", report.warnings}};
}

}  // namespace orba::interchange
