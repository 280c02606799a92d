// The rule registry with the store's own project services, the dispatch of
// items the host cannot find, and edge cases of the shared helpers.
//
// tests/rules/golden/registered_rules.txt holds what the rules register, in
// order: the category, then one line per rule: host id, category, error type,
// local id, the run events that read their item ("-": none) and text. After a
// deliberate change, rewrite it and review the difference:
//   UPDATE_GOLDEN=1 rules_test --gtest_filter=Registry.*
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

#include "orba/store/model_repository.h"
#include "rules/rule_harness.h"
#include "rules/rule_lookups.h"

namespace rules_test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

const std::filesystem::path kGolden =
    TESSARY_SOURCE_ROOT "/tests/rules/golden/registered_rules.txt";

// An item for every run event, and a flow port that Rule_09 reports (137).
const std::string kItems = R"({"format": "orba-model", "version": 1,
  "packages": [{"key": "root", "name": "Model"}],
  "elements": [
    {"key": "cls", "name": "cls", "type": "Class", "package": "root",
     "operations": [{"name": "op", "guid": "{OP}"}]},
    {"key": "iface", "name": "iface", "type": "Interface", "metatype": "Interface", "package": "root"},
    {"key": "port", "name": "port", "type": "Port", "metatype": "FlowPort", "propertyType": "iface",
     "package": "root"}],
  "connectors": [{"key": "assoc", "type": "Association", "client": "cls", "supplier": "cls"}]})";

const orba::store::ValidationLog& Log(RuleHarness& harness) {
  return std::dynamic_pointer_cast<orba::store::ModelRepository>(harness.Model().Repository())
      ->Validation();
}

// The run events after which the rule has made more than the lookup of the item.
std::string EventsReadingTheItem(RuleHarness& harness, const std::string& local_id) {
  const std::pair<std::string, std::function<void()>> events[] = {
      {"element", [&] { harness.RunElement(local_id, "cls"); }},
      {"package", [&] { harness.RunPackage(local_id, "root"); }},
      {"connector", [&] { harness.RunConnector(local_id, "assoc"); }},
      {"method", [&] { harness.RunMethod(local_id, "{OP}", "cls"); }}};
  std::string reading;
  for (const auto& [event, run] : events) {
    harness.Host().Plan().ClearCalls();
    run();
    for (const std::string& call : harness.Host().Plan().Calls()) {
      if (!call.starts_with("Repository.Get")) {
        reading += (reading.empty() ? "" : ",") + event;
        break;
      }
    }
  }
  return reading.empty() ? "-" : reading;
}

std::string Registered(RuleHarness& harness) {
  const auto& hosts = harness.Rules().HostRuleIDs();
  std::ostringstream lines;
  for (const auto& category : Log(harness).Categories())
    lines << category.id << " " << category.name << "\n";
  for (const auto& rule : Log(harness).Rules()) {
    const auto paired = std::ranges::find(hosts, rule.id);
    const std::string local =
        paired == hosts.end()
            ? "?"
            : harness.Rules().LocalRuleIDs()[static_cast<size_t>(paired - hosts.begin())];
    lines << rule.id << " " << rule.category_id << " " << rule.error_type << " " << local << " "
          << EventsReadingTheItem(harness, local) << " " << rule.text << "\n";
  }
  return lines.str();
}

TEST(Registry, RegistersWhatTheGoldenFileHolds) {
  RuleHarness harness(kItems);
  const std::string registered = Registered(harness);
  if (std::getenv("UPDATE_GOLDEN")) std::ofstream(kGolden) << registered;
  std::ostringstream golden;
  golden << std::ifstream(kGolden).rdbuf();
  EXPECT_EQ(registered, golden.str());
}

TEST(Registry, NothingRunsBeforeRegistration) {
  const testing_support::TestModel model(kItems);
  const auto host = std::make_shared<testing_support::ScriptedHost>(model.Repository());
  rules::CSysMLRules rules;
  rules.RunElementRule(host, "rule-5", host->Wrap(model.Element("port")));
  rules.RunElementRule(host, "", host->Wrap(model.Element("port")));
  EXPECT_THAT(host->Plan().Calls(), IsEmpty());
  EXPECT_TRUE(rules.HostRuleIDs().empty());
  EXPECT_TRUE(rules.CategoryID().empty());
}

TEST(Registry, ReRegistrationAppendsAndReportsGoToTheFirstRegistration) {
  RuleHarness harness(kItems);
  harness.Rules().ConfigureCategories(harness.HostPtr());
  harness.Rules().ConfigureRules(harness.HostPtr());
  // One services object for the category, one for all the rules.
  EXPECT_EQ(harness.Host().Plan().CountOf("Repository.GetProjectServices"), 2);
  EXPECT_EQ(harness.Rules().CategoryID(), "category-2");
  ASSERT_EQ(harness.Rules().HostRuleIDs().size(), 52u);
  EXPECT_EQ(harness.Rules().HostRuleIDs()[26], "rule-27");
  EXPECT_EQ(harness.Rules().LocalRuleIDs()[30], "Rule_09");
  EXPECT_EQ(Log(harness).Rules()[26].category_id, "category-2");
  harness.RunElement("=rule-31", "port");  // Rule_09 of the second registration
  harness.RunElement("=rule-5", "port");
  EXPECT_THAT(harness.Model().Reports(),
              ElementsAre(testing::Field(&testing_support::ReportedViolation::rule_id, "rule-5"),
                          testing::Field(&testing_support::ReportedViolation::rule_id, "rule-5")));
}

TEST(Dispatch, ItemsTheHostCannotFindAreIgnored) {
  RuleHarness harness(kItems);
  auto& rules = harness.Rules();
  const host::RepositoryPtr host = harness.HostPtr();
  EXPECT_NO_THROW(rules.RunPackageRule(host, harness.HostId("Rule_01"), 9999));
  EXPECT_NO_THROW(rules.RunConnectorRule(host, harness.HostId("Rule_12"), 9999));
  EXPECT_NO_THROW(rules.RunMethodRule(host, harness.HostId("Rule_16"), "{OP}", 9999));
  EXPECT_NO_THROW(rules.RunElementRule(host, harness.HostId("Rule_02"), nullptr));
  EXPECT_THAT(harness.Reports(), IsEmpty());
  EXPECT_THAT(harness.Host().Plan().Calls(),
              ElementsAre("Repository.GetPackageByID", "Repository.GetConnectorByID",
                          "Repository.GetElementByID"));
}

TEST(Helpers, NothingAndMissingElementsAreHostErrors) {
  EXPECT_THROW(rules::GetElementTagValue(nullptr, "unit"), host::Error);
  EXPECT_THROW(rules::GetConnectorTagValue(nullptr, "unit"), host::Error);
  const testing_support::TestModel model(kItems);
  EXPECT_THAT([&] { rules::RequireElement(model.Repository(), 4711); },
              testing::ThrowsMessage<host::Error>(testing::HasSubstr("no element with id 4711")));
}

TEST(Helpers, LowerCaseIsAscii) {
  EXPECT_EQ(rules::LowerCase("FlowPort ÄÖ 09_Z"), "flowport ÄÖ 09_z");
}

}  // namespace
}  // namespace rules_test
