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

void WriteValidationText(const ValidationResult& result, std::ostream& out);
nlohmann::ordered_json ValidationJson(const std::string& model, const ValidationResult& result);
nlohmann::ordered_json ValidationSarif(const std::string& model, const ValidationResult& result);

}  // namespace orba::validator
