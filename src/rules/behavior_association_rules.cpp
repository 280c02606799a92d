// Associations in activity modelling: a composite association between two
// behaviours names, at its optional part end, an action of the whole end; an
// association between an activity and an object node names an object node of
// the activity, shares its classifier and is optional at the object node end.
// An end id that names no element has no kind, so such an association is
// neither between behaviours nor between an activity and an object node.
#include <algorithm>

#include "rules/rule_lookups.h"
#include "rules/sysml_rules.h"

namespace rules {

namespace {
constexpr int kPartNotAnActionOfWhole = 149;
constexpr int kPartEndNotOptional = 150;
constexpr int kObjectNodeNotInActivity = 151;
constexpr int kClassifiersDiffer = 152;
constexpr int kObjectNodeEndNotOptional = 153;

bool IsBehavior(const host::ElementPtr& o_Element) {
  return IsAnyOf(TypeOf(o_Element), {"Action", "Activity"});
}

// Stops at the first owned element of the kind with the name.
bool OwnsNamedChild(host::Element& o_Owner, const std::string& Type, const std::string& Name) {
  const auto children = o_Owner.Elements()->Items();
  return std::ranges::any_of(children, [&](const host::ElementPtr& child) {
    return child->Type() == Type && child->Name() == Name;
  });
}
}  // namespace

void CSysMLRules::CheckBehaviorAssociation(const host::RepositoryPtr& o_Repository,
                                           const host::ConnectorPtr& o_Connector) {
  if (o_Connector->Type() != "Association") return;
  const bool client_composite =
      Require(o_Connector->ClientEnd(), "the client end")->Aggregation() == 2;
  const bool supplier_composite =
      Require(o_Connector->SupplierEnd(), "the supplier end")->Aggregation() == 2;
  if (client_composite || supplier_composite) {
    // The client end is the whole when it is composite.
    const int32_t whole_id = client_composite ? o_Connector->ClientID() : o_Connector->SupplierID();
    const int32_t part_id = client_composite ? o_Connector->SupplierID() : o_Connector->ClientID();
    const host::ElementPtr whole = o_Repository->GetElementByID(whole_id);
    const host::ElementPtr part = o_Repository->GetElementByID(part_id);
    if (IsBehavior(part) && IsBehavior(whole)) {
      CheckCompositeBehaviors(o_Repository, whole, part);
      return;
    }
  }
  CheckActivityObjectNode(o_Repository, o_Connector);
}

void CSysMLRules::CheckCompositeBehaviors(const host::RepositoryPtr& o_Repository,
                                          const host::ElementPtr& o_Whole,
                                          const host::ElementPtr& o_Part) {
  if (!OwnsNamedChild(*o_Whole, "Action", o_Part->Name())) {
    ReportRuleViolation(o_Repository, "Rule_14", kPartNotAnActionOfWhole, 1);
  }
  if (HasPositiveLowerBound(o_Part->Multiplicity())) {
    ReportRuleViolation(o_Repository, "Rule_14", kPartEndNotOptional);
  }
}

void CSysMLRules::CheckActivityObjectNode(const host::RepositoryPtr& o_Repository,
                                          const host::ConnectorPtr& o_Connector) {
  const host::ElementPtr client = o_Repository->GetElementByID(o_Connector->ClientID());
  const host::ElementPtr supplier = o_Repository->GetElementByID(o_Connector->SupplierID());
  const std::string client_type = TypeOf(client);
  const std::string supplier_type = TypeOf(supplier);
  const bool has_object = client_type == "Object" || supplier_type == "Object";
  const bool has_activity = client_type == "Activity" || supplier_type == "Activity";
  if (!has_object || !has_activity) return;
  const host::ElementPtr& activity = client_type == "Activity" ? client : supplier;
  const host::ElementPtr& object_node = client_type == "Object" ? client : supplier;
  if (!OwnsNamedChild(*activity, "Object", object_node->Name())) {
    ReportRuleViolation(o_Repository, "Rule_14", kObjectNodeNotInActivity);
  }
  if (activity->ClassifierID() != object_node->ClassifierID()) {
    ReportRuleViolation(o_Repository, "Rule_14", kClassifiersDiffer);
  }
  if (HasPositiveLowerBound(object_node->Multiplicity())) {
    ReportRuleViolation(o_Repository, "Rule_14", kObjectNodeEndNotOptional);
  }
}

}  // namespace rules
