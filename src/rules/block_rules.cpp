// Blocks and block properties: an association a block takes part in has two
// ends and is not a shared aggregation to a part; a block property is typed by
// a block.
#include <algorithm>

#include "rules/rule_lookups.h"
#include "rules/sysml_rules.h"

namespace rules {

namespace {
constexpr int kMoreThanTwoEnds = 134;
constexpr int kSharedAggregation = 135;
constexpr int kPropertyNotTypedByBlock = 136;

// The associations attached to an n-ary association node.
int CountAssociations(host::Element& o_Node) {
  const auto connectors = o_Node.Connectors()->Items();
  return static_cast<int>(std::ranges::count_if(
      connectors, [](const host::ConnectorPtr& c) { return c->Type() == "Association"; }));
}
}  // namespace

void CSysMLRules::CheckBlockAssociations(const host::RepositoryPtr& o_Repository,
                                         const host::ElementPtr& o_Element) {
  if (LowerCase(o_Element->Metatype()) != "block") return;
  const int32_t id = o_Element->ElementID();
  for (const host::ConnectorPtr& connector : o_Element->Connectors()->Items()) {
    if (connector->Type() != "Association") continue;
    const host::ElementPtr far = RequireElement(o_Repository, FarEndID(*connector, id));
    const std::string far_type = far->Type();
    if (far_type == "Association" && CountAssociations(*far) > 2) {
      ReportRuleViolation(o_Repository, "Rule_03", kMoreThanTwoEnds);
    }
    const host::ConnectorEndPtr own_end =
        connector->ClientID() == id ? connector->ClientEnd() : connector->SupplierEnd();
    if (Require(own_end, "the block's connector end")->Aggregation() == 1 && far_type == "Part") {
      ReportRuleViolation(o_Repository, "Rule_03", kSharedAggregation);
    }
  }
}

void CSysMLRules::CheckBlockPropertyType(const host::RepositoryPtr& o_Repository,
                                         const host::ElementPtr& o_Element) {
  if (!IsBlockPropertyKind(o_Element->Metatype()) || o_Element->Type() != "Part") return;
  const int32_t type_id = o_Element->PropertyTypeID();
  if (type_id == 0) return;
  if (LowerCase(RequireElement(o_Repository, type_id)->Metatype()) != "block") {
    ReportRuleViolation(o_Repository, "Rule_05", kPropertyNotTypedByBlock);
  }
}

}  // namespace rules
