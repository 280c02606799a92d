#include "orba/store/validation_log.h"

#include <algorithm>

namespace orba::store {

const char* ItemKindName(ItemKind kind) {
  switch (kind) {
    case ItemKind::kElement: return "element";
    case ItemKind::kPackage: return "package";
    case ItemKind::kConnector: return "connector";
    case ItemKind::kOperation: return "operation";
  }
  return "element";
}

std::string ValidationLog::AddCategory(const std::string& name) {
  std::string id = "category-" + std::to_string(categories_.size() + 1);
  categories_.push_back(RuleCategory{id, name});
  return id;
}

std::string ValidationLog::AddRule(const std::string& category_id, int32_t error_type,
                                   const std::string& text) {
  std::string id = "rule-" + std::to_string(rules_.size() + 1);
  rules_.push_back(RegisteredRule{id, category_id, error_type, text});
  return id;
}

void ValidationLog::Record(const std::string& rule_id, int32_t error_type,
                           const std::string& message) {
  violations_.push_back(RecordedViolation{rule_id, error_type, message, current_item_});
}

const RuleCategory* ValidationLog::CategoryOfRule(const std::string& rule_id) const {
  auto rule = std::find_if(rules_.begin(), rules_.end(), [&](const RegisteredRule& candidate) {
    return candidate.id == rule_id;
  });
  if (rule == rules_.end()) return nullptr;
  auto category = std::find_if(categories_.begin(), categories_.end(),
                               [&](const RuleCategory& c) { return c.id == rule->category_id; });
  return category == categories_.end() ? nullptr : &*category;
}

void ValidationLog::ClearViolations() { violations_.clear(); }

}  // namespace orba::store
