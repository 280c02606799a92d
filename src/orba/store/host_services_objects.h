// The repository's service objects: ProjectServices (the validator's
// registration and reporting, kept in a ValidationLog) and the event
// arguments the host passes with its notifications.
#pragma once

#include <memory>
#include <vector>

#include "host/project_services.h"
#include "orba/store/validation_log.h"

namespace orba::store {

class StoredProjectServices final : public host::ProjectServices {
 public:
  explicit StoredProjectServices(std::shared_ptr<ValidationLog> log) : log_(std::move(log)) {}

  std::string RegisterRuleCategory(const std::string& name) override;
  std::string RegisterRule(const std::string& category_id, int32_t error_type,
                           const std::string& text) override;
  bool ReportViolation(const std::string& rule_id, int32_t error_type,
                       const std::string& message) override;

 private:
  std::shared_ptr<ValidationLog> log_;
};

// Event arguments: Item(i) for i in 0 .. size-1; any other index throws host::Error.
class EventArgumentList final : public host::EventArguments {
 public:
  explicit EventArgumentList(std::vector<automation::Variant> values)
      : values_(std::move(values)) {}

  std::shared_ptr<host::EventArgument> Item(int16_t index) override;

 private:
  std::vector<automation::Variant> values_;
};

}  // namespace orba::store
