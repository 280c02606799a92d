// CSysMLRules: the SysML rule category, the registry pairing the host's rule
// ids with the add-in's own ("Rule_01" ... "Rule_32"), and the dispatch of the
// validator's run events to the rule functions (one source file per family).
#pragma once

#include <cstdint>
#include <string>
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
  std::string CategoryID_;
  std::vector<std::string> HostRuleIDs_;
  std::vector<std::string> LocalRuleIDs_;
};

}  // namespace rules
