// RuleHarness: a test model with the SysML rules registered against it, and
// the run events and reports expressed in local rule ids and message numbers.
#pragma once

#include <cstdint>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "rules/sysml_rules.h"
#include "support/scripted_host.h"
#include "support/test_model.h"

namespace rules_test {

// One violation report, as the rule that made it and the string id of its message.
struct Report {
  std::string rule;  // local rule id, "?" when the host rule id is not registered
  int32_t error_type = 0;
  int message = 0;  // string id, 0 when the text is none of the table's
  friend bool operator==(const Report&, const Report&) = default;
};
std::ostream& operator<<(std::ostream& out, const Report& report);

class RuleHarness {
 public:
  // Builds the model of the JSON model document and registers the rule
  // category and rules with it.
  explicit RuleHarness(const std::string& model_document);

  testing_support::TestModel& Model() { return model_; }
  rules::CSysMLRules& Rules() { return rules_; }
  // The repository the rules see: records calls, can fail them or hide elements.
  testing_support::ScriptedHost& Host() { return *host_; }
  host::RepositoryPtr HostPtr() const { return host_; }

  // The run events, by local rule id (or "=ID") and model key.
  void RunElement(const std::string& local_id, const std::string& key);
  void RunPackage(const std::string& local_id, const std::string& key);
  void RunConnector(const std::string& local_id, const std::string& key);
  void RunMethod(const std::string& local_id, const std::string& method_guid,
                 const std::string& owner_key);

  // The host rule id registered for a local id (first registration); ID
  // itself for "=ID".
  std::string HostId(const std::string& local_id) const;

  std::vector<Report> Reports() const;

 private:
  testing_support::TestModel model_;
  std::shared_ptr<testing_support::ScriptedHost> host_;
  rules::CSysMLRules rules_;
};

}  // namespace rules_test
