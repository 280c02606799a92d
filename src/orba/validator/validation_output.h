// The outputs of `orba validate`: text grouped by item, the JSON document
// {"model", "violations", "failures"}, and SARIF 2.1.0 for code-scanning tools.
#pragma once

#include <iosfwd>
#include <nlohmann/json.hpp>
#include <string>

#include "orba/validator/validator.h"

namespace orba::validator {

// The level a report's errorType stands for: 1 "error", 0 "warning", any other "note".
const char* LevelOf(int32_t error_type);

// A rule family as an identifier: "Flow Port rules" -> "FlowPortRules".
std::string FamilyId(const std::string& family);
// The id of the rule a message stands for: "FlowPortRules/1A2B3C4D", the
// family and a hash of its message.
std::string MessageRuleId(const std::string& family, const std::string& message);
// What identifies a finding from run to run: a hash of its rule, its item's
// GUID and its message, never of its place (lines move when a file is edited).
std::string FindingFingerprint(const std::string& family, const std::string& guid,
                               const std::string& message);

// Whether text output is coloured: on a terminal, unless NO_COLOR is set
// (to anything but "") or TERM is "dumb".
bool UseColour(bool terminal, const char* no_color, const char* term);

// Violations grouped by item; the levels coloured when `colour`.
void WriteValidationText(const ValidationResult& result, std::ostream& out, bool colour = false);
nlohmann::ordered_json ValidationJson(const std::string& model, const ValidationResult& result);
// What a SARIF log says beside the findings.
struct SarifRun {
  std::string artifact;         // the validated file, as given
  std::string source_root;      // the folder the artifact's URI is relative to
  std::string tool_version;     // orba's
  std::string information_uri;  // where orba is described; "" when nowhere
};

// SARIF 2.1.0: one reporting descriptor per message reported (id
// "FamilyRules/HASH", the family as a tag), results with the item's
// region in a source document and its qualified name, and fingerprints
// from the rule, the item's GUID and the message.
nlohmann::ordered_json ValidationSarif(const SarifRun& run, const ValidationResult& result);

}  // namespace orba::validator
