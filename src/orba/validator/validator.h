// The model validator: asks an add-in to register its rules
// (Orba_OnInitializeUserRules), then runs every registered rule on every
// model item through the validation event of the item's kind, with the
// repository's current item set so that the add-in's reports are recorded
// against it. A failing call is recorded with its rule, item and error, and
// validation goes on.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "orba/session/addins.h"
#include "orba/store/model_repository.h"

namespace orba::validator {

// Where an item of a finding is, for the reader of the findings; filled in
// after validation (PlaceFindings), only for the items that have findings.
struct ItemPlace {
  std::string qualified_name;  // "Model::Vehicle::engine"; "" when not known
  int32_t line = 0;            // in the source document, from 1; 0 when none
  int32_t column = 0;          // in characters, from 1; 0 when not known
};

// Whether a finding was there in the baseline a run was compared with.
enum class BaselineState { kNoBaseline, kNew, kUnchanged };

struct Violation {
  std::string category;  // the registered category's name
  std::string rule;      // the rule's registered text
  int32_t error_type = 0;
  std::string message;
  store::ItemRef item;
  ItemPlace place;
  BaselineState baseline = BaselineState::kNoBaseline;
};

struct Failure {
  std::string rule;                    // the rule's registered text; "" when no rule ran
  std::optional<store::ItemRef> item;  // none when no item was being validated
  std::string error;                   // what the add-in's operation answered
  std::string operation;               // the add-in operation that failed
  ItemPlace place;                     // of the item, when there is one
};

struct ValidationResult {
  std::vector<store::RegisteredRule> rules;  // the rules the add-in registered
  size_t items_checked = 0;
  std::vector<Violation> violations;  // in the order they were reported
  std::vector<Failure> failures;
};

// Told after each item: how many are done, of how many.
using ProgressFunction = std::function<void(size_t done, size_t total)>;

ValidationResult Validate(const store::ModelRepositoryPtr& repository,
                          const session::LoadedAddin& addin, const ProgressFunction& progress = {});

}  // namespace orba::validator
