// Constraint properties are typed by a constraint block.
#include "rules/rule_lookups.h"
#include "rules/sysml_rules.h"

namespace rules {

namespace {
constexpr int kNotTypedByConstraintBlock = 148;

// False for an untyped property and for a type id that names no element.
bool IsTypedByConstraintBlock(const host::RepositoryPtr& o_Repository, host::Element& o_Property) {
  const int32_t type_id = o_Property.PropertyTypeID();
  if (type_id == 0) return false;
  const host::ElementPtr type = o_Repository->GetElementByID(type_id);
  if (!type) return false;
  return LowerCase(type->Metatype()) == "constraintblock" && type->Type() == "Class";
}
}  // namespace

void CSysMLRules::CheckConstraintPropertyType(const host::RepositoryPtr& o_Repository,
                                              const host::ElementPtr& o_Element) {
  if (LowerCase(o_Element->Metatype()) != "constraintproperty") return;
  if (!IsTypedByConstraintBlock(o_Repository, *o_Element)) {
    ReportRuleViolation(o_Repository, "Rule_13", kNotTypedByConstraintBlock);
  }
}

}  // namespace rules
