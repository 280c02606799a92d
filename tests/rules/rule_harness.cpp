#include "rules/rule_harness.h"

#include <algorithm>

#include "resources/resource_table.h"
#include "resources/string_table.h"

namespace rules_test {

std::ostream& operator<<(std::ostream& out, const Report& report) {
  return out << "{" << report.rule << ", errorType " << report.error_type << ", message "
             << report.message << "}";
}

RuleHarness::RuleHarness(const std::string& model_document)
    : model_(model_document),
      host_(std::make_shared<testing_support::ScriptedHost>(model_.Repository())) {
  rules_.ConfigureCategories(host_);
  rules_.ConfigureRules(host_);
  host_->Plan().ClearCalls();
}

void RuleHarness::RunElement(const std::string& local_id, const std::string& key) {
  rules_.RunElementRule(host_, HostId(local_id), host_->Wrap(model_.Element(key)));
}

void RuleHarness::RunPackage(const std::string& local_id, const std::string& key) {
  rules_.RunPackageRule(host_, HostId(local_id), model_.PackageId(key));
}

void RuleHarness::RunConnector(const std::string& local_id, const std::string& key) {
  rules_.RunConnectorRule(host_, HostId(local_id), model_.ConnectorId(key));
}

void RuleHarness::RunMethod(const std::string& local_id, const std::string& method_guid,
                            const std::string& owner_key) {
  rules_.RunMethodRule(host_, HostId(local_id), method_guid, model_.ElementId(owner_key));
}

std::string RuleHarness::HostId(const std::string& local_id) const {
  if (local_id.starts_with("=")) return local_id.substr(1);
  const auto& locals = rules_.LocalRuleIDs();
  const auto found = std::ranges::find(locals, local_id);
  if (found == locals.end()) return "";
  return rules_.HostRuleIDs()[static_cast<size_t>(found - locals.begin())];
}

namespace {

// The string id of a rule message text: the rule messages are 129 to 175.
int MessageId(const std::string& text) {
  for (int id = 129; id <= 175; ++id) {
    try {
      if (resources::LoadResString(id) == text) return id;
    } catch (const resources::ResourceError&) {
      // 147 is not a rule message and may be absent.
    }
  }
  return 0;
}

}  // namespace

std::vector<Report> RuleHarness::Reports() const {
  std::vector<Report> reports;
  const auto& hosts = rules_.HostRuleIDs();
  for (const auto& reported : model_.Reports()) {
    const auto found = std::ranges::find(hosts, reported.rule_id);
    const std::string local =
        found == hosts.end() ? "?"
                             : rules_.LocalRuleIDs()[static_cast<size_t>(found - hosts.begin())];
    reports.push_back(Report{local, reported.error_type, MessageId(reported.message)});
  }
  return reports;
}

}  // namespace rules_test
