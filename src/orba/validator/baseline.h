// The findings of an earlier run that a CI job compares a new run with:
// `orba validate --baseline FILE`, FILE being that run's SARIF log or JSON
// document. A finding is the same finding when its fingerprint is (rule
// family, message and the item's GUID; never its line), so the baseline holds
// while the model file is edited around it.
#pragma once

#include <string>
#include <unordered_set>

#include "orba/validator/validator.h"

namespace orba::validator {

class Baseline {
 public:
  // Reads a SARIF log (its results' "orbaFinding/v1" fingerprints) or an
  // `orba validate --format json` document. Throws std::runtime_error
  // naming `origin` when the text is neither.
  static Baseline Parse(const std::string& text, const std::string& origin);

  // Marks each violation new or unchanged.
  void Mark(ValidationResult& result) const;

 private:
  std::unordered_set<std::string> fingerprints_;
};

}  // namespace orba::validator
