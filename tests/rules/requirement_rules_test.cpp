// Rule_24 and Rule_26 to Rule_29 (derive, satisfy, verify, conform, copy
// dependencies) and Rule_25 (a requirement's relationships).
#include <map>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "rules/rule_harness.h"

namespace rules_test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

const std::vector<std::string> kRequirementKinds = {
    "Requirement",          "DesignRequirement",      "ExtendedRequirement",
    "FunctionalRequirement", "InterfaceRequirement",   "PerformanceRequirement",
    "PhysicalRequirement"};

ModelJson DependencyModel(const std::string& stereotype, const std::string& client_metatype,
                          const std::string& supplier_metatype,
                          const std::string& kind = "Dependency") {
  ModelJson model;
  model.Element({{"key", "client"}, {"type", "Class"}, {"metatype", client_metatype}})
      .Element({{"key", "supplier"}, {"type", "Class"}, {"metatype", supplier_metatype}})
      .Connector({{"key", "dep"}, {"type", kind}, {"stereotype", stereotype},
                  {"client", "client"}, {"supplier", "supplier"}});
  return model;
}

struct DependencyCase {
  std::string rule, stereotype, client, supplier;
  std::vector<int> messages;
};

TEST(DependencyRules, EndsOfEachStereotypedDependency) {
  const DependencyCase cases[] = {
      {"Rule_24", "derive", "Requirement", "Requirement", {}},
      {"Rule_24", "DeRiVe", "PhysicalRequirement", "DesignRequirement", {}},
      {"Rule_24", "derive", "Requirement", "requirement", {161}},
      {"Rule_24", "derive", "Block", "Requirement", {161}},
      {"Rule_24", "derive", "Block", "Block", {161}},
      {"Rule_26", "satisfy", "Block", "FunctionalRequirement", {}},
      {"Rule_26", "SATISFY", "", "Requirement", {}},
      {"Rule_26", "satisfy", "Requirement", "Block", {164}},
      {"Rule_27", "verify", "TestCase", "PerformanceRequirement", {}},
      {"Rule_27", "Verify", "TESTCASE", "Requirement", {}},
      {"Rule_27", "verify", "Block", "Requirement", {165}},
      {"Rule_27", "verify", "TestCase", "Block", {166}},
      {"Rule_27", "verify", "Block", "Block", {165, 166}},
      {"Rule_28", "conform", "View", "Viewpoint", {}},
      {"Rule_28", "CONFORM", "view", "VIEWPOINT", {}},
      {"Rule_28", "conform", "Viewpoint", "View", {167, 168}},
      {"Rule_28", "conform", "Package", "Viewpoint", {167}},
      {"Rule_29", "copy", "Block", "Requirement", {169}},
      {"Rule_29", "copy", "Requirement", "Block", {170}},
      {"Rule_29", "Copy", "requirement", "REQUIREMENT", {169, 170}},
  };
  for (const DependencyCase& c : cases) {
    RuleHarness harness(DependencyModel(c.stereotype, c.client, c.supplier));
    harness.RunConnector(c.rule, "dep");
    EXPECT_EQ(harness.Messages(), c.messages)
        << c.rule << " <<" << c.stereotype << ">> " << c.client << " -> " << c.supplier;
    for (const Report& report : harness.Reports()) EXPECT_EQ(report.rule, c.rule);
  }
}

TEST(DependencyRules, ACopyBetweenAnyTwoRequirementKindsPasses) {
  for (const std::string& client : kRequirementKinds) {
    for (const std::string& supplier : kRequirementKinds) {
      RuleHarness harness(DependencyModel("copy", client, supplier));
      harness.RunConnector("Rule_29", "dep");
      EXPECT_THAT(harness.Reports(), IsEmpty()) << client << " -> " << supplier;
    }
  }
}

TEST(DependencyRules, TheConnectorKindIsNotExamined) {
  for (const std::string kind : {"Association", "Abstraction", "Realisation"}) {
    RuleHarness harness(DependencyModel("derive", "Requirement", "Block", kind));
    harness.RunConnector("Rule_24", "dep");
    EXPECT_THAT(harness.Messages(), ElementsAre(161)) << kind;
  }
}

TEST(DependencyRules, OtherStereotypesAreNeverReported) {
  for (const std::string stereotype : {"trace", "", "refine", "derive ", "deriveReqt"}) {
    RuleHarness harness(DependencyModel(stereotype, "Block", "Block"));
    for (const std::string rule : {"Rule_24", "Rule_26", "Rule_27", "Rule_28", "Rule_29"}) {
      harness.RunConnector(rule, "dep");
    }
    EXPECT_THAT(harness.Reports(), IsEmpty()) << "<<" << stereotype << ">>";
  }
}

TEST(DependencyRules, SatisfyDoesNotLookAtTheClientEnd) {
  RuleHarness harness(DependencyModel("satisfy", "Requirement", "Requirement"));
  harness.Host().Plan().HideElement(harness.Model().ElementId("client"));
  harness.RunConnector("Rule_26", "dep");
  EXPECT_THAT(harness.Reports(), IsEmpty());
  EXPECT_EQ(harness.Host().Plan().CountOf("Repository.GetElementByID"), 1);
}

// An end id that names no element is of no kind: the check on that end fails.
TEST(DependencyRules, AnEndTheHostCannotFindFailsTheCheckOnThatEnd) {
  const DependencyCase cases[] = {
      {"Rule_24", "derive", "client", "", {161}},
      {"Rule_26", "satisfy", "supplier", "", {164}},
      {"Rule_27", "verify", "client", "", {165}},
      {"Rule_28", "conform", "supplier", "", {168}},
      {"Rule_29", "copy", "supplier", "", {170}},
  };
  const std::map<std::string, std::pair<std::string, std::string>> sound_ends = {
      {"derive", {"Requirement", "Requirement"}}, {"satisfy", {"Block", "Requirement"}},
      {"verify", {"TestCase", "Requirement"}},    {"conform", {"View", "Viewpoint"}},
      {"copy", {"Requirement", "Requirement"}}};
  for (const DependencyCase& c : cases) {
    const auto& [client, supplier] = sound_ends.at(c.stereotype);
    RuleHarness harness(DependencyModel(c.stereotype, client, supplier));
    harness.Host().Plan().HideElement(harness.Model().ElementId(c.client));
    EXPECT_NO_THROW(harness.RunConnector(c.rule, "dep")) << c.rule;
    EXPECT_EQ(harness.Messages(), c.messages) << c.rule << " without its " << c.client;
  }
}

ModelJson RequirementModel(const std::string& metatype, const std::vector<std::string>& kinds) {
  ModelJson model;
  model.Element({{"key", "req"}, {"type", "Requirement"}, {"metatype", metatype}})
      .Element({{"key", "other"}, {"type", "Class"}});
  for (size_t n = 0; n < kinds.size(); ++n) {
    // Alternate the end at which the requirement sits.
    const bool at_client = n % 2 == 0;
    model.Connector({{"key", "c" + std::to_string(n)}, {"type", kinds[n]},
                     {"client", at_client ? "req" : "other"}, {"supplier", at_client ? "other" : "req"}});
  }
  return model;
}

TEST(RequirementRule, NoAssociationsOrGeneralizations) {
  struct Case {
    std::vector<std::string> kinds;
    std::vector<int> messages;
  };
  const Case cases[] = {
      {{"Association", "Generalization"}, {162, 163}},
      {{"Generalization", "Dependency", "Association"}, {163, 162}},
      {{"Association", "Association", "Association"}, {162, 162, 162}},
      {{"Dependency", "Nesting", "Realisation", "Abstraction"}, {}},
      {{"association", "generalization"}, {}},
      {{}, {}},
  };
  for (const Case& c : cases) {
    RuleHarness harness(RequirementModel("Requirement", c.kinds));
    harness.RunElement("Rule_25", "req");
    EXPECT_EQ(harness.Messages(), c.messages) << c.kinds.size() << " connectors";
  }
}

TEST(RequirementRule, AppliesToTheSevenRequirementKindsExactly) {
  for (const std::string& metatype : kRequirementKinds) {
    RuleHarness harness(RequirementModel(metatype, {"Association"}));
    harness.RunElement("Rule_25", "req");
    EXPECT_THAT(harness.Reports(), ElementsAre(Report{"Rule_25", 0, 162})) << metatype;
  }
  for (const std::string metatype : {"requirement", "REQUIREMENT", "Requirement ", "TestCase", ""}) {
    RuleHarness harness(RequirementModel(metatype, {"Association", "Generalization"}));
    harness.RunElement("Rule_25", "req");
    EXPECT_THAT(harness.Reports(), IsEmpty()) << metatype;
  }
}

}  // namespace
}  // namespace rules_test
