// The items the validator runs rules on, in its fixed order: elements, then
// packages, then connectors, then operations, each kind by id (operations by
// their owner's id, then in the owner's order). Each item carries the
// validation event that receives it and that event's arguments after
// (Repository, rule id).
#pragma once

#include <string>
#include <vector>

#include "automation/variant.h"
#include "orba/store/model_repository.h"

namespace orba::validator {

struct ValidationItem {
  store::ItemRef ref;
  std::string event;  // "Orba_OnRunElementRule", "Orba_OnRunPackageRule", ...
  // Element: the Element object. Package, connector: the id. Operation: its
  // GUID and the id of the element that owns it.
  std::vector<automation::Variant> subject;
};

std::vector<ValidationItem> CollectValidationItems(store::ModelRepository& repository);

}  // namespace orba::validator
