// What an XMI import brought in and what it left out: counts by kind, the
// first ids of each kind left out, references that could not be resolved and
// texts whose control characters were replaced. Nothing is dropped in silence.
#pragma once

#include <cstddef>
#include <map>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

namespace orba::interchange {

struct SkippedKind {
  size_t count = 0;
  std::vector<std::string> first_ids;  // the first kMaxIdsShown xmi:ids
};

struct ImportReport {
  static constexpr size_t kMaxIdsShown = 5;

  std::string source;  // the file read
  // Items imported, by kind as "UML kind -> host type[ «stereotype»]"; the
  // kinds of connectors are prefixed with "connector ".
  std::map<std::string, size_t> imported;
  size_t packages = 0;
  size_t elements = 0;
  size_t connectors = 0;
  // Items the host has no home for, or could not place, by UML kind (with
  // the reason where it is not the kind itself).
  std::map<std::string, SkippedKind> skipped;
  // Items of kinds the host represents that could not be imported (a
  // connector whose end is missing): counted for the share that came in.
  size_t representable_missed = 0;
  std::vector<std::string> unresolved;          // "HREF (referenced N times)"
  std::vector<std::string> control_characters;  // "ID: field"
  std::vector<std::string> warnings;

  void Imported(const std::string& kind) { ++imported[kind]; }
  void Skipped(const std::string& kind, const std::string& xmi_id);
  // The share of representable items that came in, in percent.
  double ImportedShare() const;
};

std::string ReportText(const ImportReport& report);
nlohmann::ordered_json ReportJson(const ImportReport& report);

}  // namespace orba::interchange
