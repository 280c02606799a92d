#include "rules/sysml_rules.h"

#include <algorithm>

#include "resources/string_table.h"
#include "rules/rule_lookups.h"

namespace rules {

const CSysMLRules::RuleRow CSysMLRules::kRuleTable[26] = {
    {"Rule_01", "View rules", &CSysMLRules::CheckViewPackage},
    {"Rule_02", "Viewpoint rules", &CSysMLRules::CheckViewpoint},
    {"Rule_03", "Block rules", &CSysMLRules::CheckBlockAssociations},
    {"Rule_05", "Block Property rules", &CSysMLRules::CheckBlockPropertyType},
    {"Rule_09", "Flow Port rules", &CSysMLRules::CheckFlowPort},
    {"Rule_10", "Flow Property rules", &CSysMLRules::CheckFlowPropertyType},
    {"Rule_11", "Flow Specification rules", &CSysMLRules::CheckFlowSpecificationContents},
    {"Rule_12", "Item Flow rules", &CSysMLRules::CheckItemFlow},
    {"Rule_13", "Constraint Property rules", &CSysMLRules::CheckConstraintPropertyType},
    {"Rule_14", "Association rules", &CSysMLRules::CheckBehaviorAssociation},
    {"Rule_15", "Control Operator rules (Behavior)", &CSysMLRules::CheckControlOperatorBehavior},
    {"Rule_16", "Control Operator rules (Operation)", &CSysMLRules::CheckControlOperatorOperation},
    {"Rule_17", "Optional Parameter rules", &CSysMLRules::CheckOptionalParameter},
    {"Rule_18", "Probability rules (Element)", &CSysMLRules::CheckProbabilityParameter},
    {"Rule_19", "Probability rules (Flow)", &CSysMLRules::CheckProbabilityFlow},
    {"Rule_20", "Rate rules (Element)", &CSysMLRules::CheckRateElement},
    {"Rule_21", "Rate rules (Flow)", &CSysMLRules::CheckRateFlow},
    {"Rule_24", "Derive Dependency rules", &CSysMLRules::CheckDeriveDependency},
    {"Rule_25", "Requirement rules", &CSysMLRules::CheckRequirementRelationships},
    {"Rule_26", "Satisfy Dependency rules", &CSysMLRules::CheckSatisfyDependency},
    {"Rule_27", "Verify Dependency rules", &CSysMLRules::CheckVerifyDependency},
    {"Rule_28", "Conform Dependency rules", &CSysMLRules::CheckConformDependency},
    {"Rule_29", "Copy Dependency rules", &CSysMLRules::CheckCopyDependency},
    {"Rule_30", "Dimension rules", &CSysMLRules::CheckDimension},
    {"Rule_31", "Unit rules", &CSysMLRules::CheckUnit},
    {"Rule_32", "Value Type rules", &CSysMLRules::CheckValueType},
};

namespace {

host::ProjectServicesPtr GetServices(const host::RepositoryPtr& o_Repository) {
  return Require(o_Repository->GetProjectServices(), "GetProjectServices");
}

}  // namespace

CSysMLRules::CSysMLRules() = default;
CSysMLRules::~CSysMLRules() = default;

void CSysMLRules::ConfigureCategories(const host::RepositoryPtr& o_Repository) {
  const host::ProjectServicesPtr services = GetServices(o_Repository);
  CategoryID_ =
      services->RegisterRuleCategory(resources::LoadResString(resources::str::kRuleCategory));
}

void CSysMLRules::ConfigureRules(const host::RepositoryPtr& o_Repository) {
  const host::ProjectServicesPtr services = GetServices(o_Repository);
  for (const RuleRow& row : kRuleTable) {
    AddRulePair(services->RegisterRule(CategoryID_, 0, row.Text), row.LocalID);
  }
}

void CSysMLRules::RunElementRule(const host::RepositoryPtr& o_Repository,
                                 const std::string& s_RuleID, const host::ElementPtr& o_Element) {
  if (!o_Element) return;
  if (ElementRule rule = FindRule<ElementRule>(s_RuleID)) (this->*rule)(o_Repository, o_Element);
}

void CSysMLRules::RunPackageRule(const host::RepositoryPtr& o_Repository,
                                 const std::string& s_RuleID, int32_t n_PackageID) {
  const host::PackagePtr package = o_Repository->GetPackageByID(n_PackageID);
  if (!package) return;
  if (PackageRule rule = FindRule<PackageRule>(s_RuleID)) (this->*rule)(o_Repository, package);
}

void CSysMLRules::RunConnectorRule(const host::RepositoryPtr& o_Repository,
                                   const std::string& s_RuleID, int32_t n_ConnectorID) {
  const host::ConnectorPtr connector = o_Repository->GetConnectorByID(n_ConnectorID);
  if (!connector) return;
  if (ConnectorRule rule = FindRule<ConnectorRule>(s_RuleID)) {
    (this->*rule)(o_Repository, connector);
  }
}

void CSysMLRules::RunMethodRule(const host::RepositoryPtr& o_Repository,
                                const std::string& s_RuleID, const std::string& s_MethGUID,
                                int32_t n_ObjectID) {
  const host::ElementPtr owner = o_Repository->GetElementByID(n_ObjectID);
  if (!owner) return;
  if (MethodRule rule = FindRule<MethodRule>(s_RuleID)) {
    (this->*rule)(o_Repository, s_MethGUID, owner);
  }
}

template <class Rule>
Rule CSysMLRules::FindRule(const std::string& s_RuleID) const {
  const std::string local_id = GetLocalRuleID(s_RuleID);
  for (const RuleRow& row : kRuleTable) {
    if (row.LocalID != local_id) continue;
    const Rule* rule = std::get_if<Rule>(&row.Function);
    return rule ? *rule : nullptr;
  }
  return nullptr;
}

std::string CSysMLRules::GetHostRuleID(const std::string& LocalID) const {
  return LookUpPairedID(LocalID, HostRuleIDs_, LocalRuleIDs_);
}

std::string CSysMLRules::GetLocalRuleID(const std::string& HostID) const {
  return LookUpPairedID(HostID, LocalRuleIDs_, HostRuleIDs_);
}

std::string CSysMLRules::LookUpPairedID(const std::string& Key,
                                        const std::vector<std::string>& ResultList,
                                        const std::vector<std::string>& SearchList) {
  const auto found = std::ranges::find(SearchList, Key);
  if (found == SearchList.end()) return "";
  return ResultList[static_cast<size_t>(found - SearchList.begin())];
}

void CSysMLRules::AddRulePair(const std::string& HostID, const std::string& LocalID) {
  HostRuleIDs_.push_back(HostID);
  LocalRuleIDs_.push_back(LocalID);
}

void CSysMLRules::ReportRuleViolation(const host::RepositoryPtr& o_Repository,
                                      const std::string& LocalID, int MessageID,
                                      int32_t ErrorType) {
  const std::string host_id = GetHostRuleID(LocalID);
  const std::string& message = resources::LoadResString(MessageID);
  GetServices(o_Repository)->ReportViolation(host_id, ErrorType, message);
}

}  // namespace rules
