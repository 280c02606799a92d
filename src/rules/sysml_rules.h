// CSysMLRules: the SysML rule category, the registry pairing the host's rule
// ids with the add-in's own ("Rule_01" ... "Rule_32"), and the dispatch of the
// validator's run events to the rule functions (one source file per family).
#pragma once

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

#include "host/host.h"

namespace rules {

class CSysMLRules {
 public:
  CSysMLRules();
  ~CSysMLRules();

  void ConfigureCategories(const host::RepositoryPtr& o_Repository);
  void ConfigureRules(const host::RepositoryPtr& o_Repository);
  void RunElementRule(const host::RepositoryPtr& o_Repository, const std::string& s_RuleID,
                      const host::ElementPtr& o_Element);
  void RunPackageRule(const host::RepositoryPtr& o_Repository, const std::string& s_RuleID,
                      int32_t n_PackageID);
  void RunConnectorRule(const host::RepositoryPtr& o_Repository, const std::string& s_RuleID,
                        int32_t n_ConnectorID);
  void RunMethodRule(const host::RepositoryPtr& o_Repository, const std::string& s_RuleID,
                     const std::string& s_MethGUID, int32_t n_ObjectID);

  // The registry, for inspection.
  const std::string& CategoryID() const { return CategoryID_; }
  const std::vector<std::string>& HostRuleIDs() const { return HostRuleIDs_; }
  const std::vector<std::string>& LocalRuleIDs() const { return LocalRuleIDs_; }

 private:
  // The four shapes of rule function, one per run event.
  using ElementRule = void (CSysMLRules::*)(const host::RepositoryPtr&, const host::ElementPtr&);
  using PackageRule = void (CSysMLRules::*)(const host::RepositoryPtr&, const host::PackagePtr&);
  using ConnectorRule = void (CSysMLRules::*)(const host::RepositoryPtr&,
                                              const host::ConnectorPtr&);
  using MethodRule = void (CSysMLRules::*)(const host::RepositoryPtr&, const std::string&,
                                           const host::ElementPtr&);

  // One row of the rule table. The shape of the function says which run event
  // carries the rule.
  struct RuleRow {
    const char* LocalID;
    const char* Text;  // registered with the host
    std::variant<ElementRule, PackageRule, ConnectorRule, MethodRule> Function;
  };

  // The 26 rules in registration order; registration and dispatch both use it.
  static const RuleRow kRuleTable[26];

  // Registry (sysml_rules.cpp).
  std::string GetHostRuleID(const std::string& LocalID) const;
  std::string GetLocalRuleID(const std::string& HostID) const;
  static std::string LookUpPairedID(const std::string& Key,
                                    const std::vector<std::string>& ResultList,
                                    const std::vector<std::string>& SearchList);
  void AddRulePair(const std::string& HostID, const std::string& LocalID);
  // The rule function of the table for the host rule id, when it has shape Rule.
  template <class Rule>
  Rule FindRule(const std::string& s_RuleID) const;
  void ReportRuleViolation(const host::RepositoryPtr& o_Repository, const std::string& LocalID,
                           int MessageID, int32_t ErrorType = 0);

  // Views and viewpoints (view_rules.cpp).
  void CheckViewPackage(const host::RepositoryPtr& o_Repository, const host::PackagePtr& o_Package);
  void CheckViewpoint(const host::RepositoryPtr& o_Repository, const host::ElementPtr& o_Element);

  // Blocks and block properties (block_rules.cpp).
  void CheckBlockAssociations(const host::RepositoryPtr& o_Repository,
                              const host::ElementPtr& o_Element);
  void CheckBlockPropertyType(const host::RepositoryPtr& o_Repository,
                              const host::ElementPtr& o_Element);

  // Flow ports (flow_port_rules.cpp).
  void CheckFlowPort(const host::RepositoryPtr& o_Repository, const host::ElementPtr& o_Element);
  void CheckFlowPortType(const host::RepositoryPtr& o_Repository, const host::ElementPtr& o_Port);
  void CheckFlowPortConnections(const host::RepositoryPtr& o_Repository,
                                const host::ElementPtr& o_Port);

  // Flow properties and flow specifications (flow_rules.cpp).
  void CheckFlowPropertyType(const host::RepositoryPtr& o_Repository,
                             const host::ElementPtr& o_Element);
  void CheckFlowSpecificationContents(const host::RepositoryPtr& o_Repository,
                                      const host::ElementPtr& o_Element);

  // Item flows (item_flow_rules.cpp).
  void CheckItemFlow(const host::RepositoryPtr& o_Repository,
                     const host::ConnectorPtr& o_Connector);

  // Constraint properties (constraint_rules.cpp).
  void CheckConstraintPropertyType(const host::RepositoryPtr& o_Repository,
                                   const host::ElementPtr& o_Element);

  // Associations between behaviours and object nodes (behavior_association_rules.cpp).
  void CheckBehaviorAssociation(const host::RepositoryPtr& o_Repository,
                                const host::ConnectorPtr& o_Connector);
  void CheckCompositeBehaviors(const host::RepositoryPtr& o_Repository,
                               const host::ElementPtr& o_Whole, const host::ElementPtr& o_Part);
  void CheckActivityObjectNode(const host::RepositoryPtr& o_Repository,
                               const host::ConnectorPtr& o_Connector);

  // Control operators (control_operator_rules.cpp).
  void CheckControlOperatorBehavior(const host::RepositoryPtr& o_Repository,
                                    const host::ElementPtr& o_Element);
  void CheckControlOperatorOperation(const host::RepositoryPtr& o_Repository,
                                     const std::string& s_MethGUID,
                                     const host::ElementPtr& o_Element);

  // Optional, probability and rate parameters and flows (parameter_rules.cpp).
  void CheckOptionalParameter(const host::RepositoryPtr& o_Repository,
                              const host::ElementPtr& o_Element);
  void CheckProbabilityParameter(const host::RepositoryPtr& o_Repository,
                                 const host::ElementPtr& o_Element);
  void CheckProbabilityFlow(const host::RepositoryPtr& o_Repository,
                            const host::ConnectorPtr& o_Connector);
  void CheckRateElement(const host::RepositoryPtr& o_Repository, const host::ElementPtr& o_Element);
  void CheckRateFlow(const host::RepositoryPtr& o_Repository,
                     const host::ConnectorPtr& o_Connector);

  // Requirements and their dependencies (requirement_rules.cpp).
  void CheckDeriveDependency(const host::RepositoryPtr& o_Repository,
                             const host::ConnectorPtr& o_Connector);
  void CheckRequirementRelationships(const host::RepositoryPtr& o_Repository,
                                     const host::ElementPtr& o_Element);
  void CheckSatisfyDependency(const host::RepositoryPtr& o_Repository,
                              const host::ConnectorPtr& o_Connector);
  void CheckVerifyDependency(const host::RepositoryPtr& o_Repository,
                             const host::ConnectorPtr& o_Connector);
  void CheckConformDependency(const host::RepositoryPtr& o_Repository,
                              const host::ConnectorPtr& o_Connector);
  void CheckCopyDependency(const host::RepositoryPtr& o_Repository,
                           const host::ConnectorPtr& o_Connector);
  // A dependency rule whose two ends are checked on their own, client first.
  struct EndCheck {
    bool (*Test)(const host::ElementPtr& o_End);
    int MessageID;
  };
  void CheckDependencyEnds(const host::RepositoryPtr& o_Repository,
                           const host::ConnectorPtr& o_Connector, const char* LocalID,
                           const char* Keyword, EndCheck Client, EndCheck Supplier);

  // Dimensions, units and value types (quantity_kind_rules.cpp).
  void CheckDimension(const host::RepositoryPtr& o_Repository, const host::ElementPtr& o_Element);
  void CheckUnit(const host::RepositoryPtr& o_Repository, const host::ElementPtr& o_Element);
  void CheckValueType(const host::RepositoryPtr& o_Repository, const host::ElementPtr& o_Element);

  std::string CategoryID_;
  std::vector<std::string> HostRuleIDs_;
  std::vector<std::string> LocalRuleIDs_;
};

}  // namespace rules
