#include "orba/store/host_services_objects.h"

#include <string>

#include "host/error.h"

namespace orba::store {
namespace {

class StoredEventArgument final : public host::EventArgument {
 public:
  explicit StoredEventArgument(automation::Variant value) : value_(std::move(value)) {}
  automation::Variant Value() override { return value_; }

 private:
  automation::Variant value_;
};

}  // namespace

std::string StoredProjectServices::RegisterRuleCategory(const std::string& name) {
  return log_->AddCategory(name);
}

std::string StoredProjectServices::RegisterRule(const std::string& category_id, int32_t error_type,
                                                const std::string& text) {
  return log_->AddRule(category_id, error_type, text);
}

bool StoredProjectServices::ReportViolation(const std::string& rule_id, int32_t error_type,
                                            const std::string& message) {
  log_->Record(rule_id, error_type, message);
  return true;
}

std::shared_ptr<host::EventArgument> EventArgumentList::Item(int16_t index) {
  if (index < 0 || static_cast<size_t>(index) >= values_.size()) {
    throw host::Error("event argument index " + std::to_string(index) + " is out of range (" +
                      std::to_string(values_.size()) + " arguments)");
  }
  return std::make_shared<StoredEventArgument>(values_[static_cast<size_t>(index)]);
}

}  // namespace orba::store
