#include "property_sets.h"

#include <algorithm>

namespace technology {

// The tables below are kept as rows, one entry to a line or two.
// clang-format off

namespace {

struct PropertySetRow {
  std::vector<std::string_view> base_types;
  std::vector<std::string_view> stereotypes;  // empty: whatever the stereotype
  std::vector<Property> properties;
};

const Property kSourceToDestination{"direction", "Source -> Destination"};

std::vector<Property> ActionProperties(std::string_view kind) {
  return {{"context", ""}, {"effect", ""}, {"kind", std::string(kind)}, {"mustIsolate", "false"}};
}

const std::vector<PropertySetRow>& PropertySetTable() {
  static const std::vector<PropertySetRow> table = {
      {{"Class"}, {"block"},
       {{"_AttPkg", "0"}, {"_AttPri", "0"}, {"_AttPro", "0"}, {"_AttPub", "0"}, {"_Constraint", "1"},
        {"_defaultDiagramType", "SysML::InternalBlock"}, {"isActive", ""}}},
      {{"Class"}, {"dataType", "viewpoint"}, {{"_Tag", "1"}, {"isActive", ""}}},
      {{"Class"}, {"enumeration", "constraintBlock"}, {{"isActive", ""}}},
      {{"Association"}, {"ReferenceAssociation"}, {{"direction", "Unspecified"}}},
      {{"Association"}, {"Associate"}, {kSourceToDestination}},
      {{"Dependency", "Nesting", "Realisation", "Composition", "Aggregation", "ControlFlow", "InterruptFlow",
        "Include", "Extend"},
       {},
       {kSourceToDestination}},
      {{"Generalization"}, {}, {kSourceToDestination, {"isSubstitutable", ""}}},
      {{"Connector", "StateFlow"}, {}, {kSourceToDestination, {"kind", ""}}},
      {{"ObjectFlow"}, {}, {kSourceToDestination, {"isMulticast", "false"}, {"isMultireceive", "false"}}},
      {{"Message"}, {}, {kSourceToDestination, {"messageKind", ""}, {"messageSort", ""}}},
      {{"Part"}, {}, {{"_PType", "1"}, {"isReference", "false"}}},
      {{"Port"}, {}, {{"_PType", "1"}, {"isBehavior", "false"}, {"isService", "true"}}},
      {{"ActivityPartition"}, {},
       {{"isDimension", "false"}, {"isExternal", "false"}, {"mustIsolate", "false"}}},
      {{"State"}, {},
       {{"isComposite", "true"}, {"isOrthogonal", ""}, {"isSimple", ""}, {"isSubmachineState", ""}}},
      {{"Activity"}, {},
       {{"isReadOnly", "false"}, {"isSingleExecution", ""}, {"mustIsolate", "false"}, {"parameterName", ""},
        {"postcondition", ""}, {"precondition", ""}}},
      {{"Action"}, {"CallBehaviorAction"}, ActionProperties("CallBehavior")},
      {{"Action"}, {"AcceptEvent"}, ActionProperties("AcceptEvent")},
      {{"Action"}, {"TimeEvent"}, ActionProperties("AcceptEventTimer")},
      {{"Action"}, {"SendSignal"}, ActionProperties("SendSignal")},
      {{"Action"}, {"Action", "controlOperator"}, ActionProperties("")},
      {{"Decision"}, {}, {{"isAssured", "false"}, {"isDeterminate", "false"}}},
      {{"ActivityParameter"}, {}, {{"isException", "false"}, {"isStream", "false"}}},
      {{"ActionPin", "ObjectNode"}, {},
       {{"isControlType", "false"}, {"isException", "false"}, {"isStream", "false"}, {"objectState", ""},
        {"ordering", "FIFO"}}},
      {{"Operation"}, {},
       {{"isOrdered", ""}, {"isQuery", "false"}, {"isUnique", ""}, {"lower", ""}, {"upper", ""}}},
      {{"UseCase"}, {}, {{"_defaultDiagramType", "UseCase"}, {"_makeComposite", "false"}}},
      {{"Requirement"}, {}, {{"_Tag", "0"}}},
  };
  return table;
}

bool Contains(const std::vector<std::string_view>& names, std::string_view name) {
  return std::find(names.begin(), names.end(), name) != names.end();
}

}  // namespace

std::vector<Property> PropertySetOf(std::string_view base_type, std::string_view stereotype) {
  for (const PropertySetRow& row : PropertySetTable()) {
    const bool for_stereotype = row.stereotypes.empty() || Contains(row.stereotypes, stereotype);
    if (for_stereotype && Contains(row.base_types, base_type)) return row.properties;
  }
  return {};
}

void AddPropertySets(Profile& profile) {
  for (Stereotype& stereotype : profile.stereotypes) {
    for (BaseType& base : stereotype.base_types) {
      if (base.kind == BaseType::Kind::kApplyStereotype) continue;
      base.properties = PropertySetOf(base.type, stereotype.name);
    }
  }
}

// clang-format on

}  // namespace technology
