// Control operators: a behaviour or an operation with the controlOperator
// stereotype has at least one parameter typed by ControlValue. The behaviour
// rule reads the name of an activity parameter's classifier (a classifier id
// that names no element counts as no classifier); the operation rule reads a
// parameter's type text.
#include <algorithm>

#include "rules/rule_lookups.h"
#include "rules/sysml_rules.h"

namespace rules {

namespace {
constexpr int kBehaviorWithoutControlValue = 154;
constexpr int kOperationWithoutControlValue = 155;

bool IsControlValueParameter(const host::RepositoryPtr& o_Repository, host::Element& o_Child) {
  if (o_Child.Type() != "ActivityParameter") return false;
  const int32_t classifier_id = o_Child.ClassifierID();
  return classifier_id != 0 &&
         NameOf(o_Repository->GetElementByID(classifier_id)) == "ControlValue";
}

// The first of the owner's operations with the GUID, or nothing.
host::MethodPtr FindMethod(host::Element& o_Owner, const std::string& s_MethGUID) {
  for (const host::MethodPtr& method : o_Owner.Methods()->Items()) {
    if (method->MethodGUID() == s_MethGUID) return method;
  }
  return nullptr;
}
}  // namespace

void CSysMLRules::CheckControlOperatorBehavior(const host::RepositoryPtr& o_Repository,
                                               const host::ElementPtr& o_Element) {
  if (LowerCase(o_Element->Metatype()) != "controloperator") return;
  const auto children = o_Element->Elements()->Items();
  const bool has_control_value = std::ranges::any_of(children, [&](const host::ElementPtr& child) {
    return IsControlValueParameter(o_Repository, *child);
  });
  if (!has_control_value) {
    ReportRuleViolation(o_Repository, "Rule_15", kBehaviorWithoutControlValue);
  }
}

void CSysMLRules::CheckControlOperatorOperation(const host::RepositoryPtr& o_Repository,
                                                const std::string& s_MethGUID,
                                                const host::ElementPtr& o_Element) {
  const host::MethodPtr method = FindMethod(*o_Element, s_MethGUID);
  if (!method || LowerCase(method->Stereotype()) != "controloperator") return;
  const auto parameters = method->Parameters()->Items();
  const bool has_control_value = std::ranges::any_of(
      parameters,
      [](const host::ParameterPtr& parameter) { return parameter->Type() == "ControlValue"; });
  if (!has_control_value) {
    ReportRuleViolation(o_Repository, "Rule_16", kOperationWithoutControlValue);
  }
}

}  // namespace rules
