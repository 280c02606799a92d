// Rule_12: where the itemFlow stereotype may go.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "rules/rule_harness.h"

namespace rules_test {
namespace {

using ::testing::ElementsAre;

ModelJson ItemFlowModel(const std::string& kind, const std::string& stereotype,
                        const std::vector<std::string>& item_properties) {
  nlohmann::json flow = {{"key", "flow"}, {"type", kind}, {"stereotype", stereotype},
                         {"client", "a"}, {"supplier", "b"}};
  for (const std::string& value : item_properties) {
    flow["tags"].push_back({{"name", "itemProperty"}, {"value", value}});
  }
  ModelJson model;
  model.Element({{"key", "a"}, {"type", "Class"}})
      .Element({{"key", "b"}, {"type", "Class"}})
      .Connector(flow);
  return model;
}

TEST(ItemFlowRule, WhereTheStereotypeMayGo) {
  struct Case {
    std::string kind, stereotype;
    std::vector<std::string> item_properties;
    std::vector<int> messages;
  };
  const Case cases[] = {
      {"Connector", "ItemFlow", {"wheel"}, {}},
      {"Connector", "itemflow", {}, {}},
      {"Association", "itemFlow", {}, {}},
      {"Association", "itemFlow", {"<none>"}, {}},
      {"Association", "itemFlow", {""}, {}},
      {"Association", "ITEMFLOW", {"wheel"}, {145}},
      {"Association", "itemFlow", {"<None>"}, {145}},
      {"Association", "itemFlow", {" "}, {145}},
      {"Association", "itemFlow", {"wheel", "<none>"}, {}},  // the last one wins
      {"Association", "itemFlow", {"<none>", "wheel"}, {145}},
      {"Dependency", "itemFlow", {}, {146}},
      {"ObjectFlow", "itemFlow", {"wheel"}, {146}},
      {"association", "itemFlow", {}, {146}},
      {"Dependency", "trace", {"wheel"}, {}},
      {"Association", "", {"wheel"}, {}},
      {"Association", "item flow", {"wheel"}, {}},
  };
  for (const Case& c : cases) {
    RuleHarness harness(ItemFlowModel(c.kind, c.stereotype, c.item_properties));
    harness.RunConnector("Rule_12", "flow");
    EXPECT_EQ(harness.Messages(), c.messages)
        << c.kind << " <<" << c.stereotype << ">> with " << c.item_properties.size() << " tags";
  }
}

TEST(ItemFlowRule, TheTagNameIsExact) {
  ModelJson model;
  model.Element({{"key", "a"}, {"type", "Class"}})
      .Element({{"key", "b"}, {"type", "Class"}})
      .Connector({{"key", "flow"}, {"type", "Association"}, {"stereotype", "itemFlow"},
                  {"client", "a"}, {"supplier", "b"},
                  {"tags", {{{"name", "ItemProperty"}, {"value", "wheel"}}}}});
  RuleHarness harness(model);
  harness.RunConnector("Rule_12", "flow");
  EXPECT_TRUE(harness.Reports().empty());
}

TEST(ItemFlowRule, ReportsWithTheRuleIdAndErrorTypeZero) {
  RuleHarness harness(ItemFlowModel("Dependency", "itemFlow", {}));
  harness.RunConnector("Rule_12", "flow");
  EXPECT_THAT(harness.Reports(), ElementsAre(Report{"Rule_12", 0, 146}));
}

}  // namespace
}  // namespace rules_test
