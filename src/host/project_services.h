// ProjectServices (the validator's registration and reporting services) and
// the event arguments of the new-element notification.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "automation/variant.h"

namespace host {

class ProjectServices : public automation::Object {
 public:
  ~ProjectServices() override;
  virtual std::string RegisterRuleCategory(const std::string& name) = 0;
  virtual std::string RegisterRule(const std::string& category_id, int32_t error_type,
                                   const std::string& text) = 0;
  virtual bool ReportViolation(const std::string& rule_id, int32_t error_type,
                               const std::string& message) = 0;
};

class EventArgument : public automation::Object {
 public:
  ~EventArgument() override;
  virtual automation::Variant Value() = 0;
};

class EventArguments : public automation::Object {
 public:
  ~EventArguments() override;
  virtual std::shared_ptr<EventArgument> Item(int16_t index) = 0;
};

using ProjectServicesPtr = std::shared_ptr<ProjectServices>;
using EventArgumentsPtr = std::shared_ptr<EventArguments>;

}  // namespace host
