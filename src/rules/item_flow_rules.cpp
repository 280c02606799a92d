// Item flows: the itemFlow stereotype belongs on a connector or an
// association, and an item-flow association names no item property.
#include "rules/rule_lookups.h"
#include "rules/sysml_rules.h"

namespace rules {

namespace {
constexpr int kAssociationHasItemProperty = 145;
constexpr int kItemFlowOnOtherKind = 146;
}  // namespace

void CSysMLRules::CheckItemFlow(const host::RepositoryPtr& o_Repository,
                                const host::ConnectorPtr& o_Connector) {
  if (LowerCase(o_Connector->Stereotype()) != "itemflow") return;
  const std::string item_property = GetConnectorTagValue(o_Connector, "itemProperty");
  const std::string kind = o_Connector->Type();
  if (kind == "Association") {
    if (!IsNoneOrEmpty(item_property)) {
      ReportRuleViolation(o_Repository, "Rule_12", kAssociationHasItemProperty);
    }
    return;
  }
  if (kind != "Connector") ReportRuleViolation(o_Repository, "Rule_12", kItemFlowOnOtherKind);
}

}  // namespace rules
