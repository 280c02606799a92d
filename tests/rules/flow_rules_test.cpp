// Rule_10 (flow property types) and Rule_11 (flow specification contents).
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "rules/rule_harness.h"

namespace rules_test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

ModelJson FlowPropertyModel(const std::string& metatype, const std::string& type_metatype) {
  ModelJson model;
  model.Element({{"key", "t"}, {"type", "Class"}, {"metatype", type_metatype}})
      .Element({{"key", "fp"}, {"type", "Part"}, {"metatype", metatype}, {"propertyType", "t"}});
  return model;
}

TEST(FlowPropertyRule, AFlowPropertyIsTypedByAValueTypeDataTypeBlockOrSignal) {
  struct Case {
    std::string metatype, type_metatype;
    std::vector<int> messages;
  };
  const Case cases[] = {
      {"FlowProperty", "ValueType", {}},         {"FlowProperty", "datatype", {}},
      {"FLOWPROPERTY", "BLOCK", {}},             {"flowProperty", "Signal", {}},
      {"FlowProperty", "FlowSpecification", {143}}, {"FlowProperty", "Interface", {143}},
      {"FlowProperty", "", {143}},               {"FlowProperty", "Value Type", {143}},
      {"FlowPort", "Interface", {}},             {"Flow Property", "Interface", {}},
  };
  for (const Case& c : cases) {
    RuleHarness harness(FlowPropertyModel(c.metatype, c.type_metatype));
    harness.RunElement("Rule_10", "fp");
    EXPECT_EQ(harness.Messages(), c.messages) << c.metatype << " typed by " << c.type_metatype;
  }
}

TEST(FlowPropertyRule, AnUntypedFlowPropertyPasses) {
  ModelJson model;
  model.Element({{"key", "fp"}, {"type", "Part"}, {"metatype", "FlowProperty"}});
  RuleHarness harness(model);
  harness.RunElement("Rule_10", "fp");
  EXPECT_THAT(harness.Reports(), IsEmpty());
}

TEST(FlowPropertyRule, ATypeTheHostCannotFindFailsTheEvent) {
  RuleHarness harness(FlowPropertyModel("FlowProperty", "Block"));
  harness.Host().Plan().HideElement(harness.Model().ElementId("t"));
  EXPECT_THROW(harness.RunElement("Rule_10", "fp"), host::Error);
}

// A flow specification with the given features and owned elements (by metatype).
ModelJson SpecificationModel(int operations, int attributes,
                             const std::vector<std::string>& owned_metatypes,
                             const std::string& metatype = "FlowSpecification") {
  nlohmann::json specification = {{"key", "fs"}, {"type", "Interface"}, {"metatype", metatype}};
  for (int n = 0; n < operations; ++n) {
    specification["operations"].push_back({{"name", "op" + std::to_string(n)}});
  }
  for (int n = 0; n < attributes; ++n) {
    specification["attributes"].push_back({{"name", "at" + std::to_string(n)}, {"type", "int"}});
  }
  ModelJson model;
  model.Element(specification);
  for (size_t n = 0; n < owned_metatypes.size(); ++n) {
    model.Element({{"key", "owned" + std::to_string(n)}, {"type", "Part"},
                   {"metatype", owned_metatypes[n]}, {"parent", "fs"}});
  }
  return model;
}

TEST(FlowSpecificationRule, OwnsNothingButFlowProperties) {
  struct Case {
    int operations, attributes;
    std::vector<std::string> owned;
    std::vector<int> messages;
  };
  const Case cases[] = {
      {0, 0, {"FlowProperty", "flowproperty"}, {}},
      {0, 0, {}, {}},
      {0, 1, {}, {144}},
      {1, 0, {"FlowProperty"}, {144}},
      {2, 3, {"Block", "Port"}, {144}},
      {0, 0, {"FlowProperty", "ValueProperty", ""}, {144}},
      {0, 0, {"", "FlowProperty"}, {144}},
  };
  for (const Case& c : cases) {
    RuleHarness harness(SpecificationModel(c.operations, c.attributes, c.owned));
    harness.RunElement("Rule_11", "fs");
    EXPECT_EQ(harness.Messages(), c.messages)
        << c.operations << " operations, " << c.attributes << " attributes, "
        << c.owned.size() << " owned";
  }
}

TEST(FlowSpecificationRule, OnlyFlowSpecificationsInAnyLetterCaseAreExamined) {
  for (const auto& [metatype, messages] : std::vector<std::pair<std::string, std::vector<int>>>{
           {"FLOWSPECIFICATION", {144}}, {"Interface", {}}, {"Flow Specification", {}}}) {
    RuleHarness harness(SpecificationModel(1, 0, {"Block"}, metatype));
    harness.RunElement("Rule_11", "fs");
    EXPECT_EQ(harness.Messages(), messages) << metatype;
  }
}

TEST(FlowSpecificationRule, TheWalkStopsAtTheFirstOtherElement) {
  RuleHarness harness(SpecificationModel(0, 0, {"Block", "FlowProperty", "Port"}));
  harness.RunElement("Rule_11", "fs");
  EXPECT_THAT(harness.Messages(), ElementsAre(144));
  // The specification's own metatype and the first child's; no more.
  EXPECT_EQ(harness.Host().Plan().CountOf("Element.Metatype"), 2);
}

}  // namespace
}  // namespace rules_test
