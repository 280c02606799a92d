// ValidationLog: what the validator's ProjectServices received: the rule
// categories and rules registered by add-ins, and the violations reported,
// each against the item the host application named as current.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace orba::store {

enum class ItemKind { kElement, kPackage, kConnector, kOperation };

// "element", "package", "connector" or "operation".
const char* ItemKindName(ItemKind kind);

// The model item a rule runs on.
struct ItemRef {
  ItemKind kind = ItemKind::kElement;
  std::string guid;
  std::string name;
  std::string type;
  std::string xmi_id;  // the xmi:id it had in the file it was imported from; "" when none
  friend bool operator==(const ItemRef&, const ItemRef&) = default;
};

struct RuleCategory {
  std::string id;
  std::string name;
};

struct RegisteredRule {
  std::string id;
  std::string category_id;
  int32_t error_type = 0;
  std::string text;
};

struct RecordedViolation {
  std::string rule_id;
  int32_t error_type = 0;
  std::string message;
  ItemRef item;  // all empty when no current item was set
};

class ValidationLog {
 public:
  // Registration: answers a new id, unique within this log.
  std::string AddCategory(const std::string& name);
  std::string AddRule(const std::string& category_id, int32_t error_type, const std::string& text);
  // Records a report against the current item.
  void Record(const std::string& rule_id, int32_t error_type, const std::string& message);

  // The item the validator is running a rule on; reports are recorded against it.
  void SetCurrentItem(const ItemRef& item) { current_item_ = item; }
  void ClearCurrentItem() { current_item_ = ItemRef{}; }

  const std::vector<RuleCategory>& Categories() const { return categories_; }
  const std::vector<RegisteredRule>& Rules() const { return rules_; }
  // The category of a registered rule id, or null when the id is unknown.
  const RuleCategory* CategoryOfRule(const std::string& rule_id) const;

  const std::vector<RecordedViolation>& Violations() const { return violations_; }
  void ClearViolations();

 private:
  std::vector<RuleCategory> categories_;
  std::vector<RegisteredRule> rules_;
  std::vector<RecordedViolation> violations_;
  ItemRef current_item_;
};

}  // namespace orba::store
