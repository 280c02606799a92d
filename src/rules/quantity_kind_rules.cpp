// Dimensions, units and value types: their "dimension" and "unit" tagged
// values hold the GUID of the referenced dimension or unit. A unit references
// a dimension and no unit; a value type references both, consistently; a
// dimension references neither. A GUID that names no element references
// nothing of the required kind and is reported like an empty reference.
#include "rules/rule_lookups.h"
#include "rules/sysml_rules.h"

namespace rules {

namespace {
constexpr int kDimensionMustBeEmpty = 171;
constexpr int kUnitMustBeEmpty = 172;
constexpr int kMustReferenceDimension = 173;
constexpr int kMustReferenceUnit = 174;
constexpr int kDimensionDiffersFromUnits = 175;

// True when the GUID is not empty and names an element of the lower-case metatype.
bool References(const host::RepositoryPtr& o_Repository, const std::string& GUID,
                const char* Metatype) {
  return !GUID.empty() && LowerCase(MetatypeOf(o_Repository->GetElementByGUID(GUID))) == Metatype;
}
}  // namespace

void CSysMLRules::CheckDimension(const host::RepositoryPtr& o_Repository,
                                 const host::ElementPtr& o_Element) {
  if (LowerCase(o_Element->Metatype()) != "dimension") return;
  const std::string dimension = GetElementTagValue(o_Element, "dimension");
  const std::string unit = GetElementTagValue(o_Element, "unit");
  if (!dimension.empty()) ReportRuleViolation(o_Repository, "Rule_30", kDimensionMustBeEmpty);
  if (!unit.empty()) ReportRuleViolation(o_Repository, "Rule_30", kUnitMustBeEmpty);
}

void CSysMLRules::CheckUnit(const host::RepositoryPtr& o_Repository,
                            const host::ElementPtr& o_Element) {
  if (LowerCase(o_Element->Metatype()) != "unit") return;
  if (!References(o_Repository, GetElementTagValue(o_Element, "dimension"), "dimension")) {
    ReportRuleViolation(o_Repository, "Rule_31", kMustReferenceDimension);
  }
  if (!GetElementTagValue(o_Element, "unit").empty()) {
    ReportRuleViolation(o_Repository, "Rule_31", kUnitMustBeEmpty);
  }
}

void CSysMLRules::CheckValueType(const host::RepositoryPtr& o_Repository,
                                 const host::ElementPtr& o_Element) {
  if (LowerCase(o_Element->Metatype()) != "valuetype") return;
  const std::string dimension = GetElementTagValue(o_Element, "dimension");
  const std::string unit = GetElementTagValue(o_Element, "unit");
  bool failed = false;
  if (!References(o_Repository, dimension, "dimension")) {
    ReportRuleViolation(o_Repository, "Rule_32", kMustReferenceDimension);
    failed = true;
  }
  if (!References(o_Repository, unit, "unit")) {
    ReportRuleViolation(o_Repository, "Rule_32", kMustReferenceUnit);
    failed = true;
  }
  if (failed) return;
  // The unit's own dimension reference must be the same text.
  if (GetElementTagValue(o_Repository->GetElementByGUID(unit), "dimension") != dimension) {
    ReportRuleViolation(o_Repository, "Rule_32", kDimensionDiffersFromUnits);
  }
}

}  // namespace rules
