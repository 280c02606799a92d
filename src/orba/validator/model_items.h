// The items the validator runs rules on, in its fixed order: elements, then
// packages, then connectors, then operations, each kind by id (operations by
// their owner's id, then in the owner's order). Each item carries the
// validation event that receives it and that event's arguments after
// (Repository, rule id). The items are read one at a time, so that a run
// over a large model holds one item rather than a list of them all.
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "automation/variant.h"
#include "orba/store/database.h"
#include "orba/store/model_repository.h"

namespace orba::validator {

struct ValidationItem {
  store::ItemRef ref;
  std::string event;  // "Orba_OnRunElementRule", "Orba_OnRunPackageRule", ...
  // Element: the Element object. Package, connector: the id. Operation: its
  // GUID and the id of the element that owns it.
  std::vector<automation::Variant> subject;
};

// Reads the items of the open model in order. The model must not change
// while they are read (the validator reads them in one transaction).
class ValidationItems {
 public:
  explicit ValidationItems(store::ModelRepository& repository);

  size_t Count() const { return count_; }
  // The next item; nullopt after the last.
  std::optional<ValidationItem> Next();

  // The kinds of item, in the order they are read.
  enum Kind { kElements, kPackages, kConnectors, kOperations, kKinds };

 private:
  ValidationItem Read(int kind);
  std::string XmiId(const char* item_kind, int32_t id);

  store::ModelRepository& repository_;
  size_t count_ = 0;
  bool xmi_ids_ = false;  // whether any item has one
  int kind_ = kElements;  // the kind being read
  std::unique_ptr<store::Statement> rows_;
};

}  // namespace orba::validator
