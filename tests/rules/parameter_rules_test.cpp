// Rule_17 (optional parameters), Rule_18 and Rule_19 (probability) and the
// rate rules Rule_20 and Rule_21, which accept everything.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "rules/rule_harness.h"

namespace rules_test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

ModelJson ParameterModel(const std::string& type, const std::string& metatype,
                         const std::string& multiplicity) {
  ModelJson model;
  model.Element({{"key", "act"}, {"type", "Activity"}})
      .Element({{"key", "param"}, {"type", type}, {"metatype", metatype},
                {"multiplicity", multiplicity}, {"parent", "act"}});
  return model;
}

TEST(OptionalParameterRule, TheLowerBoundFollowsTheStereotype) {
  struct Case {
    std::string metatype, multiplicity;
    std::vector<int> messages;
  };
  const Case cases[] = {
      {"Optional", "0..1", {}},  {"OPTIONAL", "0", {}},     {"optional", "0..*", {}},
      {"Optional", "1", {156}},  {"Optional", "", {156}},   {"Optional", " 0..1", {156}},
      {"Optional", "*", {156}},  {"", "1..*", {}},          {"Probability", "1", {}},
      {"", "*", {}},             {"", "0..1", {157}},       {"", "0", {157}},
      {"", "", {157}},           {"Optional ", "1", {}},    {"Optional ", "", {157}},
  };
  for (const Case& c : cases) {
    RuleHarness harness(ParameterModel("ActivityParameter", c.metatype, c.multiplicity));
    harness.RunElement("Rule_17", "param");
    EXPECT_EQ(harness.Messages(), c.messages)
        << "\"" << c.metatype << "\" \"" << c.multiplicity << "\"";
  }
}

TEST(OptionalParameterRule, OnlyActivityParametersAreExamined) {
  for (const std::string type : {"Parameter", "Object", "activityParameter", "Pin"}) {
    RuleHarness harness(ParameterModel(type, "Optional", "1"));
    harness.RunElement("Rule_17", "param");
    EXPECT_THAT(harness.Reports(), IsEmpty()) << type;
  }
}

TEST(OptionalParameterRule, ReportsWithTheRuleId) {
  RuleHarness harness(ParameterModel("ActivityParameter", "", ""));
  harness.RunElement("Rule_17", "param");
  EXPECT_THAT(harness.Reports(), ElementsAre(Report{"Rule_17", 0, 157}));
}

nlohmann::json Flow(const std::string& key, const std::string& kind, const std::string& client,
                    const std::string& supplier, const std::string& stereotype = "") {
  return {{"key", key}, {"type", kind}, {"client", client}, {"supplier", supplier},
          {"stereotype", stereotype}};
}

// Activity act with the probability parameter p and the given siblings
// (metatypes of further activity parameters); p's flows come from `flows`.
ModelJson ProbabilityModel(const std::vector<nlohmann::json>& flows,
                           const std::vector<std::string>& sibling_metatypes = {}) {
  ModelJson model;
  model.Element({{"key", "act"}, {"type", "Activity"}})
      .Element({{"key", "a"}, {"type", "Action"}})
      .Element({{"key", "p"}, {"type", "ActivityParameter"}, {"metatype", "Probability"},
                {"parent", "act"}})
      .Element({{"key", "pin"}, {"type", "Pin"}, {"metatype", ""}, {"parent", "act"}});
  for (size_t n = 0; n < sibling_metatypes.size(); ++n) {
    model.Element({{"key", "s" + std::to_string(n)}, {"type", "ActivityParameter"},
                   {"metatype", sibling_metatypes[n]}, {"parent", "act"}});
  }
  for (const nlohmann::json& flow : flows) model.Connector(flow);
  return model;
}

TEST(ProbabilityParameterRule, OnlyOutputParametersMayCarryProbability) {
  struct Case {
    std::vector<nlohmann::json> flows;
    std::vector<int> messages;
  };
  const Case cases[] = {
      {{Flow("f", "ControlFlow", "p", "a")}, {}},
      {{}, {158}},
      {{Flow("f", "ControlFlow", "a", "p")}, {158}},
      {{Flow("f", "ObjectFlow", "p", "a"), Flow("g", "ObjectFlow", "p", "a")}, {158}},
      {{Flow("f", "ObjectFlow", "p", "a"), Flow("g", "ControlFlow", "p", "a")}, {}},
      {{Flow("f", "controlflow", "p", "a")}, {158}},
  };
  for (const Case& c : cases) {
    RuleHarness harness(ProbabilityModel(c.flows));
    harness.RunElement("Rule_18", "p");
    EXPECT_EQ(harness.Messages(), c.messages) << c.flows.size() << " flows";
  }
}

TEST(ProbabilityParameterRule, EitherAllActivityParametersCarryProbabilityOrNone) {
  struct Case {
    std::vector<std::string> siblings;
    std::vector<int> messages;
  };
  const Case cases[] = {
      {{}, {}},
      {{"PROBABILITY", "probability"}, {}},
      {{""}, {159}},
      {{"Probability", "Optional", ""}, {159}},
  };
  for (const Case& c : cases) {
    RuleHarness harness(ProbabilityModel({Flow("f", "ControlFlow", "p", "a")}, c.siblings));
    harness.RunElement("Rule_18", "p");
    EXPECT_EQ(harness.Messages(), c.messages) << c.siblings.size() << " siblings";
  }
}

TEST(ProbabilityParameterRule, OtherElementsAreNotExamined) {
  for (const auto& [type, metatype] :
       std::vector<std::pair<std::string, std::string>>{{"Parameter", "Probability"},
                                                        {"ActivityParameter", "Optional"},
                                                        {"Object", "Probability"}}) {
    ModelJson model;
    model.Element({{"key", "x"}, {"type", type}, {"metatype", metatype}});
    RuleHarness harness(model);
    harness.RunElement("Rule_18", "x");
    EXPECT_THAT(harness.Reports(), IsEmpty()) << type << " " << metatype;
  }
}

// An output parameter without owner has no fellow parameters: it passes; an
// owner the host cannot find fails the event.
TEST(ProbabilityParameterRule, AnOutputParameterWithoutOwnerPassesAndAMissingOwnerFails) {
  ModelJson model;
  model.Element({{"key", "a"}, {"type", "Action"}})
      .Element({{"key", "p"}, {"type", "ActivityParameter"}, {"metatype", "Probability"}})
      .Connector(Flow("f", "ControlFlow", "p", "a"));
  RuleHarness top_level(model);
  EXPECT_NO_THROW(top_level.RunElement("Rule_18", "p"));
  EXPECT_THAT(top_level.Reports(), IsEmpty());

  RuleHarness hidden(ProbabilityModel({Flow("f", "ControlFlow", "p", "a")}, {""}));
  hidden.Host().Plan().HideElement(hidden.Model().ElementId("act"));
  EXPECT_THROW(hidden.RunElement("Rule_18", "p"), host::Error);
  EXPECT_THAT(hidden.Reports(), IsEmpty());
}

ModelJson FlowModel(const std::string& kind, const std::string& stereotype,
                    const std::string& source_type) {
  ModelJson model;
  model.Element({{"key", "src"}, {"type", source_type}})
      .Element({{"key", "dst"}, {"type", "Action"}})
      .Connector(Flow("f", kind, "src", "dst", stereotype));
  return model;
}

TEST(ProbabilityFlowRule, OnlyActivityEdgesFromDecisionsOrObjects) {
  struct Case {
    std::string kind, stereotype, source_type;
    std::vector<int> messages;
  };
  const Case cases[] = {
      {"ControlFlow", "probability", "Decision", {}},
      {"ObjectFlow", "PROBABILITY", "Object", {}},
      {"ControlFlow", "Probability", "Object", {}},
      {"ControlFlow", "probability", "Action", {160}},
      {"ObjectFlow", "probability", "decision", {160}},
      {"Dependency", "probability", "Decision", {160}},
      {"Dependency", "probability", "Action", {160}},
      {"ControlFlow", "", "Action", {}},
      {"ControlFlow", "rate", "Action", {}},
  };
  for (const Case& c : cases) {
    RuleHarness harness(FlowModel(c.kind, c.stereotype, c.source_type));
    harness.RunConnector("Rule_19", "f");
    EXPECT_EQ(harness.Messages(), c.messages)
        << c.kind << " <<" << c.stereotype << ">> from " << c.source_type;
  }
}

// A source id that names no element is neither a decision node nor an object.
TEST(ProbabilityFlowRule, ASourceTheHostCannotFindIsReported) {
  RuleHarness harness(FlowModel("ControlFlow", "probability", "Decision"));
  harness.Host().Plan().HideElement(harness.Model().ElementId("src"));
  EXPECT_NO_THROW(harness.RunConnector("Rule_19", "f"));
  EXPECT_THAT(harness.Reports(), ElementsAre(Report{"Rule_19", 0, 160}));
}

TEST(RateRules, AcceptEverythingWithoutReadingIt) {
  ModelJson model = ProbabilityModel({Flow("f", "Dependency", "a", "p", "rate")}, {""});
  model.Element({{"key", "r"}, {"type", "ActivityParameter"}, {"metatype", "Rate"},
                 {"multiplicity", "1"}, {"parent", "act"}});
  RuleHarness harness(model);
  for (const std::string key : {"r", "p", "act"}) harness.RunElement("Rule_20", key);
  harness.RunConnector("Rule_21", "f");
  EXPECT_THAT(harness.Reports(), IsEmpty());
  EXPECT_THAT(harness.Host().Plan().Calls(), ElementsAre("Repository.GetConnectorByID"));
}

}  // namespace
}  // namespace rules_test
