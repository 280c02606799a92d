// Flow properties and flow specifications: a flow property is typed by a
// value type, data type, block or signal; a flow specification owns nothing
// but flow properties.
#include <algorithm>

#include "rules/rule_lookups.h"
#include "rules/sysml_rules.h"

namespace rules {

namespace {
constexpr int kFlowPropertyTypeNotPermitted = 143;
constexpr int kFlowSpecificationOwnsOther = 144;

constexpr char kPermittedFlowPropertyTypes[] = ";block;signal;datatype;valuetype;";

// Attributes or operations; both counts are read.
bool OwnsFeatures(host::Element& o_Element) {
  const int methods = o_Element.Methods()->Count();
  const int attributes = o_Element.Attributes()->Count();
  return methods > 0 || attributes > 0;
}

// Stops at the first owned element that is not a flow property.
bool OwnsOtherThanFlowProperties(host::Element& o_Element) {
  const auto children = o_Element.Elements()->Items();
  return std::ranges::any_of(children, [](const host::ElementPtr& child) {
    return LowerCase(child->Metatype()) != "flowproperty";
  });
}
}  // namespace

void CSysMLRules::CheckFlowPropertyType(const host::RepositoryPtr& o_Repository,
                                        const host::ElementPtr& o_Element) {
  if (LowerCase(o_Element->Metatype()) != "flowproperty") return;
  const int32_t type_id = o_Element->PropertyTypeID();
  if (type_id == 0) return;
  const std::string metatype = LowerCase(RequireElement(o_Repository, type_id)->Metatype());
  if (!IsInWordList(kPermittedFlowPropertyTypes, metatype)) {
    ReportRuleViolation(o_Repository, "Rule_10", kFlowPropertyTypeNotPermitted);
  }
}

void CSysMLRules::CheckFlowSpecificationContents(const host::RepositoryPtr& o_Repository,
                                                 const host::ElementPtr& o_Element) {
  if (LowerCase(o_Element->Metatype()) != "flowspecification") return;
  if (OwnsFeatures(*o_Element) || OwnsOtherThanFlowProperties(*o_Element)) {
    ReportRuleViolation(o_Repository, "Rule_11", kFlowSpecificationOwnsOther);
  }
}

}  // namespace rules
