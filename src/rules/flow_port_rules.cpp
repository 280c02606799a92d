// Flow ports: what may type a port, which direction an atomic and a
// non-atomic port may have, and what two connected ports must agree on.
#include "rules/rule_lookups.h"
#include "rules/sysml_rules.h"

namespace rules {

namespace {
constexpr int kPortTypeNotPermitted = 137;
constexpr int kNonAtomicPortNotNone = 138;
constexpr int kAtomicPortIsNone = 139;
constexpr int kConnectedTypesDiffer = 140;
constexpr int kNestedDirectionsDiffer = 141;
constexpr int kUnnestedDirectionsNotOpposite = 142;

constexpr char kPermittedPortTypes[] = ";flowspecification;block;signal;datatype;valuetype;";

std::string DirectionOf(const host::ElementPtr& o_Port) {
  return GetElementTagValue(o_Port, "direction");
}

// The owning element, or nothing when the port has no owner.
host::ElementPtr OwnerOf(const host::RepositoryPtr& o_Repository, host::Element& o_Port) {
  const int32_t parent_id = o_Port.ParentID();
  return parent_id == 0 ? nullptr : o_Repository->GetElementByID(parent_id);
}

// Nested ports (one owner owns the other) must have matching directions,
// unnested ones opposite directions; "inout" goes with anything but "none".
bool DirectionsCompatible(const std::string& Own, const std::string& Far, bool Nested) {
  if (Own == "inout") return Far != "none";
  if (Own == "none") return Far == "none";
  if (Own == "in") return Far == "inout" || Far == (Nested ? "in" : "out");
  if (Own == "out") return Far == "inout" || Far == (Nested ? "out" : "in");
  return false;
}
}  // namespace

void CSysMLRules::CheckFlowPort(const host::RepositoryPtr& o_Repository,
                                const host::ElementPtr& o_Element) {
  if (LowerCase(o_Element->Metatype()) != "flowport") return;
  if (o_Element->PropertyTypeID() != 0) CheckFlowPortType(o_Repository, o_Element);
  CheckFlowPortConnections(o_Repository, o_Element);
}

// The port's own type and direction. A port typed by a flow specification is
// non-atomic and must have direction "none"; any other port is atomic.
void CSysMLRules::CheckFlowPortType(const host::RepositoryPtr& o_Repository,
                                    const host::ElementPtr& o_Port) {
  const host::ElementPtr type = RequireElement(o_Repository, o_Port->PropertyTypeID());
  const std::string metatype = LowerCase(type->Metatype());
  if (!IsInWordList(kPermittedPortTypes, metatype)) {
    ReportRuleViolation(o_Repository, "Rule_09", kPortTypeNotPermitted);
  }
  // Each of the two direction checks reads the port's tagged values itself.
  const bool atomic = metatype != "flowspecification";
  if (const std::string direction = DirectionOf(o_Port); !atomic && direction != "none") {
    ReportRuleViolation(o_Repository, "Rule_09", kNonAtomicPortNotNone);
  }
  if (const std::string direction = DirectionOf(o_Port); atomic && direction == "none") {
    ReportRuleViolation(o_Repository, "Rule_09", kAtomicPortIsNone);
  }
}

// The port's "Connector" connectors, in order. A port or far port without
// owner ends the whole rule.
void CSysMLRules::CheckFlowPortConnections(const host::RepositoryPtr& o_Repository,
                                           const host::ElementPtr& o_Port) {
  for (const host::ConnectorPtr& connector : o_Port->Connectors()->Items()) {
    if (connector->Type() != "Connector") continue;
    const host::ElementPtr far =
        RequireElement(o_Repository, FarEndID(*connector, o_Port->ElementID()));
    if (o_Port->PropertyTypeID() != 0 && far->PropertyTypeID() != 0) {
      const std::string far_type = RequireElement(o_Repository, far->PropertyTypeID())->Name();
      if (far_type != RequireElement(o_Repository, o_Port->PropertyTypeID())->Name()) {
        ReportRuleViolation(o_Repository, "Rule_09", kConnectedTypesDiffer, 1);
      }
    }
    const host::ElementPtr owner = OwnerOf(o_Repository, *o_Port);
    const host::ElementPtr far_owner = OwnerOf(o_Repository, *far);
    if (!owner || !far_owner) return;
    const bool nested =
        owner->ParentID() == far_owner->ElementID() || far_owner->ParentID() == owner->ElementID();
    const std::string far_direction = DirectionOf(far);
    if (!DirectionsCompatible(DirectionOf(o_Port), far_direction, nested)) {
      ReportRuleViolation(o_Repository, "Rule_09",
                          nested ? kNestedDirectionsDiffer : kUnnestedDirectionsNotOpposite);
    }
  }
}

}  // namespace rules
