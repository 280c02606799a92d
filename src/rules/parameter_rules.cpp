// Optional, probability and rate: the stereotypes that activity modelling
// puts on parameters and flows.
#include <algorithm>

#include "rules/rule_lookups.h"
#include "rules/sysml_rules.h"

namespace rules {

namespace {
constexpr int kOptionalNotZeroLowerBound = 156;
constexpr int kMandatoryNotPositiveLowerBound = 157;
constexpr int kProbabilityOnInput = 158;
constexpr int kProbabilityNotOnAll = 159;
constexpr int kProbabilityOnOtherEdge = 160;

// An output parameter is the client end of one of its control flows.
bool IsOutputParameter(host::Element& o_Parameter) {
  const int32_t id = o_Parameter.ElementID();
  const auto connectors = o_Parameter.Connectors()->Items();
  return std::ranges::any_of(connectors, [id](const host::ConnectorPtr& connector) {
    return connector->ClientID() == id && connector->Type() == "ControlFlow";
  });
}

// Stops at the first activity parameter of the owner without the stereotype.
bool HasParameterWithoutProbability(host::Element& o_Owner) {
  const auto items = o_Owner.EmbeddedItems()->Items();
  return std::ranges::any_of(items, [](const host::ElementPtr& item) {
    return item->Type() == "ActivityParameter" && LowerCase(item->Metatype()) != "probability";
  });
}
}  // namespace

void CSysMLRules::CheckOptionalParameter(const host::RepositoryPtr& o_Repository,
                                         const host::ElementPtr& o_Element) {
  if (o_Element->Type() != "ActivityParameter") return;
  if (LowerCase(o_Element->Metatype()) == "optional") {
    if (!HasZeroLowerBound(o_Element->Multiplicity())) {
      ReportRuleViolation(o_Repository, "Rule_17", kOptionalNotZeroLowerBound);
    }
  } else if (!HasPositiveLowerBound(o_Element->Multiplicity())) {
    ReportRuleViolation(o_Repository, "Rule_17", kMandatoryNotPositiveLowerBound);
  }
}

// A parameter without owner (ParentID 0) has no fellow parameters to compare
// with: it passes the "all of them" check. An owner id that names no element
// fails the event, as every other missing element a rule must read does.
void CSysMLRules::CheckProbabilityParameter(const host::RepositoryPtr& o_Repository,
                                            const host::ElementPtr& o_Element) {
  if (LowerCase(o_Element->Metatype()) != "probability") return;
  if (o_Element->Type() != "ActivityParameter") return;
  if (!IsOutputParameter(*o_Element)) {
    ReportRuleViolation(o_Repository, "Rule_18", kProbabilityOnInput);
    return;
  }
  const int32_t owner_id = o_Element->ParentID();
  if (owner_id == 0) return;
  if (HasParameterWithoutProbability(*RequireElement(o_Repository, owner_id))) {
    ReportRuleViolation(o_Repository, "Rule_18", kProbabilityNotOnAll);
  }
}

// A source id that names no element is neither a decision node nor an object.
void CSysMLRules::CheckProbabilityFlow(const host::RepositoryPtr& o_Repository,
                                       const host::ConnectorPtr& o_Connector) {
  if (LowerCase(o_Connector->Stereotype()) != "probability") return;
  const host::ElementPtr source = o_Repository->GetElementByID(o_Connector->ClientID());
  const bool is_activity_edge = IsAnyOf(o_Connector->Type(), {"ControlFlow", "ObjectFlow"});
  if (!is_activity_edge || !IsAnyOf(TypeOf(source), {"Decision", "Object"})) {
    ReportRuleViolation(o_Repository, "Rule_19", kProbabilityOnOtherEdge);
  }
}

// The rate rules are registered but accept every element and connector.
void CSysMLRules::CheckRateElement(const host::RepositoryPtr&, const host::ElementPtr&) {}

void CSysMLRules::CheckRateFlow(const host::RepositoryPtr&, const host::ConnectorPtr&) {}

}  // namespace rules
