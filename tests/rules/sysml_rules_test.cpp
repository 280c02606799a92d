// The rule registry and the dispatch of the run events: registration in
// table order, lookups by exact id, the "nothing" cases, re-registration,
// and how a failing host call ends an event.
#include <algorithm>
#include <functional>
#include <set>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "rules/rule_harness.h"

namespace rules_test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

const std::vector<std::string> kLocalIds = {
    "Rule_01", "Rule_02", "Rule_03", "Rule_05", "Rule_09", "Rule_10", "Rule_11",
    "Rule_12", "Rule_13", "Rule_14", "Rule_15", "Rule_16", "Rule_17", "Rule_18",
    "Rule_19", "Rule_20", "Rule_21", "Rule_24", "Rule_25", "Rule_26", "Rule_27",
    "Rule_28", "Rule_29", "Rule_30", "Rule_31", "Rule_32"};

const std::vector<std::string> kRegisteredTexts = {
    "View rules", "Viewpoint rules", "Block rules", "Block Property rules", "Flow Port rules",
    "Flow Property rules", "Flow Specification rules", "Item Flow rules",
    "Constraint Property rules", "Association rules", "Control Operator rules (Behavior)",
    "Control Operator rules (Operation)", "Optional Parameter rules",
    "Probability rules (Element)", "Probability rules (Flow)", "Rate rules (Element)",
    "Rate rules (Flow)", "Derive Dependency rules", "Requirement rules",
    "Satisfy Dependency rules", "Verify Dependency rules", "Conform Dependency rules",
    "Copy Dependency rules", "Dimension rules", "Unit rules", "Value Type rules"};

// Validation services that answer the ids C1, C2, ... and H1, H2, ... in turn
// and record what they receive.
class ScriptedServices : public host::ProjectServices {
 public:
  struct Rule {
    std::string category;
    int32_t error_type;
    std::string text;
  };
  struct Violation {
    std::string rule;
    int32_t error_type;
    std::string message;
    friend bool operator==(const Violation&, const Violation&) = default;
  };
  std::string RegisterRuleCategory(const std::string& name) override {
    categories.push_back(name);
    return "C" + std::to_string(categories.size());
  }
  std::string RegisterRule(const std::string& category, int32_t error_type,
                           const std::string& text) override {
    rules.push_back(Rule{category, error_type, text});
    return "H" + std::to_string(rules.size());
  }
  bool ReportViolation(const std::string& rule, int32_t error_type,
                       const std::string& message) override {
    violations.push_back(Violation{rule, error_type, message});
    return true;
  }
  std::vector<std::string> categories;
  std::vector<Rule> rules;
  std::vector<Violation> violations;
};

// A repository whose validation services are the scripted ones.
class ScriptedRepository : public testing_support::FaultInjectingRepository {
 public:
  using FaultInjectingRepository::FaultInjectingRepository;
  host::ProjectServicesPtr GetProjectServices() override {
    Plan().Enter("Repository.GetProjectServices");
    return services;
  }
  std::shared_ptr<ScriptedServices> services = std::make_shared<ScriptedServices>();
};

// A flow port typed by an interface: Rule_09 reports message 137 for it.
ModelJson PortModel() {
  ModelJson model;
  model.Element({{"key", "iface"}, {"type", "Interface"}, {"metatype", "Interface"}})
      .Element({{"key", "port"}, {"type", "Port"}, {"metatype", "FlowPort"},
                {"propertyType", "iface"}});
  return model;
}

class Registry : public ::testing::Test {
 protected:
  Registry()
      : model_(PortModel().Text()),
        repository_(std::make_shared<ScriptedRepository>(model_.Repository())) {}

  void Register() {
    rules_.ConfigureCategories(repository_);
    rules_.ConfigureRules(repository_);
  }
  void RunOnPort(const std::string& rule_id) {
    rules_.RunElementRule(repository_, rule_id, repository_->Wrap(model_.Element("port")));
  }
  std::vector<ScriptedServices::Violation>& Violations() {
    return repository_->services->violations;
  }

  testing_support::TestModel model_;
  std::shared_ptr<ScriptedRepository> repository_;
  rules::CSysMLRules rules_;
};

TEST_F(Registry, RegistersTheCategoryAndTheRulesInTableOrder) {
  Register();
  EXPECT_THAT(repository_->services->categories,
              ElementsAre("Systems Modelling Language (SysML) Rules"));
  EXPECT_EQ(rules_.CategoryID(), "C1");
  std::vector<std::string> host_ids;
  for (int n = 1; n <= 26; ++n) host_ids.push_back("H" + std::to_string(n));
  EXPECT_EQ(rules_.HostRuleIDs(), host_ids);
  EXPECT_EQ(rules_.LocalRuleIDs(), kLocalIds);
  std::vector<std::string> texts;
  for (const auto& rule : repository_->services->rules) {
    EXPECT_EQ(rule.category, "C1");
    EXPECT_EQ(rule.error_type, 0);
    texts.push_back(rule.text);
  }
  EXPECT_EQ(texts, kRegisteredTexts);
  // One services object for the category, one for all the rules.
  EXPECT_EQ(repository_->Plan().CountOf("Repository.GetProjectServices"), 2);
}

TEST_F(Registry, TheFifthHostIdRunsTheFlowPortRule) {
  Register();
  RunOnPort("H5");
  EXPECT_THAT(Violations(),
              ElementsAre(ScriptedServices::Violation{
                  "H5", 0,
                  "A FlowPort must be typed by a FlowSpecification, Block, Signal, DataType or "
                  "ValueType"}));
}

TEST_F(Registry, IdsTheRegistryDoesNotHoldRunNothing) {
  Register();
  for (const std::string id : {"h5", "H27", "", " H5", "Rule_09", "C1"}) {
    repository_->Plan().ClearCalls();
    RunOnPort(id);
    EXPECT_THAT(repository_->Plan().Calls(), IsEmpty()) << "id \"" << id << "\"";
  }
  EXPECT_THAT(Violations(), IsEmpty());
}

TEST_F(Registry, NothingRunsBeforeRegistration) {
  RunOnPort("H5");
  RunOnPort("");
  EXPECT_THAT(repository_->Plan().Calls(), IsEmpty());
  EXPECT_TRUE(rules_.HostRuleIDs().empty());
  EXPECT_TRUE(rules_.CategoryID().empty());
}

TEST_F(Registry, ReRegistrationAppendsAndReportsGoToTheFirstRegistration) {
  Register();
  Register();
  EXPECT_EQ(rules_.CategoryID(), "C2");
  ASSERT_EQ(rules_.HostRuleIDs().size(), 52u);
  EXPECT_EQ(rules_.HostRuleIDs()[26], "H27");
  EXPECT_EQ(rules_.LocalRuleIDs()[30], "Rule_09");
  EXPECT_EQ(repository_->services->rules[26].category, "C2");
  RunOnPort("H31");  // Rule_09 of the second registration
  RunOnPort("H5");
  ASSERT_EQ(Violations().size(), 2u);
  EXPECT_EQ(Violations()[0].rule, "H5");
  EXPECT_EQ(Violations()[1].rule, "H5");
}

// The dispatch through the store's own services.
ModelJson BusyModel() {
  ModelJson model;
  model.Package({{"key", "view"}, {"metatype", "View"}})
      .Element({{"key", "viewed"}, {"type", "Class"}, {"package", "view"}})
      .Element({{"key", "vp"}, {"type", "Class"}, {"metatype", "Viewpoint"},
                {"attributes", {{{"name", "a"}, {"type", "int"}}}},
                {"operations", {{{"name", "op"}, {"guid", "{OP}"}}}}})
      .Element({{"key", "ctrl"}, {"type", "Class"},
                {"operations", {{{"name", "run"}, {"stereotype", "controlOperator"},
                                 {"guid", "{RUN}"}}}}})
      .Element({{"key", "a"}, {"type", "Action"}})
      .Element({{"key", "b"}, {"type", "Action"}})
      .Connector({{"key", "flow"}, {"type", "Dependency"}, {"stereotype", "itemFlow"},
                  {"client", "a"}, {"supplier", "b"}})
      // Two connected flow ports of a block and of its part: 137, 139, 140, 141.
      .Element({{"key", "iface"}, {"type", "Interface"}, {"metatype", "Interface"}})
      .Element({{"key", "other"}, {"type", "Class"}, {"metatype", "Block"}})
      .Element({{"key", "B"}, {"type", "Class"}, {"metatype", "Block"}})
      .Element({{"key", "P"}, {"type", "Part"}, {"parent", "B"}})
      .Element({{"key", "pb"}, {"type", "Port"}, {"metatype", "FlowPort"}, {"parent", "B"},
                {"propertyType", "iface"}, {"tags", {{{"name", "direction"}, {"value", "none"}}}}})
      .Element({{"key", "pp"}, {"type", "Port"}, {"metatype", "FlowPort"}, {"parent", "P"},
                {"propertyType", "other"}, {"tags", {{{"name", "direction"}, {"value", "out"}}}}})
      .Connector({{"key", "wire"}, {"type", "Connector"}, {"client", "pb"}, {"supplier", "pp"}})
      // A value type whose dimension is a unit and whose unit is missing: 173, 174.
      .Element({{"key", "kg"}, {"type", "DataType"}, {"metatype", "Unit"}, {"guid", "{KG}"}})
      .Element({{"key", "vt"}, {"type", "DataType"}, {"metatype", "ValueType"},
                {"tags", {{{"name", "dimension"}, {"value", "{KG}"}}}}})
      // A requirement in an association and a generalization: 162, 163.
      .Element({{"key", "req"}, {"type", "Requirement"}, {"metatype", "Requirement"}})
      .Connector({{"key", "assoc"}, {"type", "Association"}, {"client", "req"}, {"supplier", "a"}})
      .Connector({{"key", "gen"}, {"type", "Generalization"}, {"client", "req"}, {"supplier", "b"}});
  return model;
}

TEST(Dispatch, EachEventRunsTheRuleOfItsKind) {
  RuleHarness harness(BusyModel());
  harness.RunPackage("Rule_01", "view");
  harness.RunElement("Rule_02", "vp");
  harness.RunConnector("Rule_12", "flow");
  harness.RunMethod("Rule_16", "{RUN}", "ctrl");
  EXPECT_THAT(harness.Reports(),
              ElementsAre(Report{"Rule_01", 0, 129}, Report{"Rule_02", 0, 130},
                          Report{"Rule_02", 0, 131}, Report{"Rule_02", 0, 132},
                          Report{"Rule_12", 0, 146}, Report{"Rule_16", 0, 155}));
}

TEST(Dispatch, ItemsTheHostCannotFindAreIgnored) {
  RuleHarness harness(BusyModel());
  auto& rules = harness.Rules();
  const host::RepositoryPtr host = harness.HostPtr();
  EXPECT_NO_THROW(rules.RunPackageRule(host, harness.HostId("Rule_01"), 9999));
  EXPECT_NO_THROW(rules.RunConnectorRule(host, harness.HostId("Rule_12"), 9999));
  EXPECT_NO_THROW(rules.RunMethodRule(host, harness.HostId("Rule_16"), "{RUN}", 9999));
  EXPECT_NO_THROW(rules.RunElementRule(host, harness.HostId("Rule_02"), nullptr));
  EXPECT_THAT(harness.Reports(), IsEmpty());
  EXPECT_THAT(harness.Host().Plan().Calls(),
              ElementsAre("Repository.GetPackageByID", "Repository.GetConnectorByID",
                          "Repository.GetElementByID"));
}

TEST(Dispatch, AnOwnerThatIsHiddenRunsNothing) {
  RuleHarness harness(BusyModel());
  harness.Host().Plan().HideElement(harness.Model().ElementId("ctrl"));
  harness.RunMethod("Rule_16", "{RUN}", "ctrl");
  EXPECT_THAT(harness.Reports(), IsEmpty());
}

// Every local id through every event that does not carry it: the item is
// looked up (for ids) but never read.
TEST(Dispatch, AnIdOfAnotherEventKindRunsNothing) {
  RuleHarness harness(BusyModel());
  const std::set<std::string> element_rules = {"Rule_02", "Rule_03", "Rule_05", "Rule_09",
                                               "Rule_10", "Rule_11", "Rule_13", "Rule_15",
                                               "Rule_17", "Rule_18", "Rule_20", "Rule_25",
                                               "Rule_30", "Rule_31", "Rule_32"};
  const std::set<std::string> connector_rules = {"Rule_12", "Rule_14", "Rule_19",
                                                 "Rule_21", "Rule_24", "Rule_26",
                                                 "Rule_27", "Rule_28", "Rule_29"};
  auto& plan = harness.Host().Plan();
  for (const std::string& id : kLocalIds) {
    plan.ClearCalls();
    if (!element_rules.contains(id)) harness.RunElement(id, "vp");
    if (id != "Rule_01") harness.RunPackage(id, "view");
    if (!connector_rules.contains(id)) harness.RunConnector(id, "flow");
    if (id != "Rule_16") harness.RunMethod(id, "{OP}", "vp");
    for (const std::string& call : plan.Calls()) {
      EXPECT_TRUE(call.starts_with("Repository.Get")) << id << " made the call " << call;
    }
  }
  EXPECT_THAT(harness.Reports(), IsEmpty());
}

TEST(Reporting, EachReportObtainsTheServicesAfresh) {
  RuleHarness harness(BusyModel());
  harness.RunElement("Rule_02", "vp");
  EXPECT_EQ(harness.Reports().size(), 3u);
  EXPECT_EQ(harness.Host().Plan().CountOf("Repository.GetProjectServices"), 3);
  EXPECT_EQ(harness.Host().Plan().CountOf("ProjectServices.ReportViolation"), 3);
}

TEST(Reporting, AFailingHostCallEndsTheEventAndKeepsEarlierReports) {
  RuleHarness harness(BusyModel());
  harness.Host().Plan().FailOn("Repository.GetProjectServices", 2);
  EXPECT_THROW(harness.RunElement("Rule_02", "vp"), host::Error);
  EXPECT_THAT(harness.Messages(), ElementsAre(130));
  // The checks after the failure did not run.
  EXPECT_EQ(harness.Host().Plan().CountOf("Element.Abstract"), 0);
}

// Failing any one host call of a run ends it with host::Error, never a crash,
// and leaves exactly the reports made before the failure.
struct RuleRun {
  const char* name;
  std::function<void(RuleHarness&)> event;
};

const RuleRun kRuns[] = {
    {"view", [](RuleHarness& h) { h.RunPackage("Rule_01", "view"); }},
    {"viewpoint", [](RuleHarness& h) { h.RunElement("Rule_02", "vp"); }},
    {"item flow", [](RuleHarness& h) { h.RunConnector("Rule_12", "flow"); }},
    {"control operator", [](RuleHarness& h) { h.RunMethod("Rule_16", "{RUN}", "ctrl"); }},
    {"flow port", [](RuleHarness& h) { h.RunElement("Rule_09", "pb"); }},
    {"value type", [](RuleHarness& h) { h.RunElement("Rule_32", "vt"); }},
    {"requirement", [](RuleHarness& h) { h.RunElement("Rule_25", "req"); }},
};

TEST(Reporting, FailingAnyHostCallLeavesTheReportsMadeBeforeIt) {
  for (const RuleRun& run : kRuns) {
    RuleHarness clean(BusyModel());
    run.event(clean);
    const std::vector<Report> all = clean.Reports();
    const std::vector<std::string> calls = clean.Host().Plan().Calls();
    ASSERT_FALSE(all.empty()) << run.name;
    for (size_t failing = 1; failing <= calls.size(); ++failing) {
      RuleHarness harness(BusyModel());
      harness.Host().Plan().FailAtCall(static_cast<int>(failing));
      EXPECT_THROW(run.event(harness), host::Error) << run.name << ", call " << failing;
      const size_t reports_before = static_cast<size_t>(
          std::count(calls.begin(), calls.begin() + static_cast<long>(failing) - 1,
                     "ProjectServices.ReportViolation"));
      const std::vector<Report> expected(all.begin(), all.begin() + static_cast<long>(reports_before));
      EXPECT_EQ(harness.Reports(), expected) << run.name << ", failing call " << failing << " "
                                             << calls[failing - 1];
    }
  }
}

}  // namespace
}  // namespace rules_test
