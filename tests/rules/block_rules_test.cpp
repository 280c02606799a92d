// Rule_03 (associations of a block) and Rule_05 (block property types).
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "rules/rule_harness.h"

namespace rules_test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

nlohmann::json Association(const std::string& key, const std::string& client,
                           const std::string& supplier, int client_aggregation = 0,
                           int supplier_aggregation = 0) {
  return {{"key", key},
          {"type", "Association"},
          {"client", client},
          {"supplier", supplier},
          {"clientAggregation", client_aggregation},
          {"supplierAggregation", supplier_aggregation}};
}

ModelJson BlockModel(const std::string& metatype = "Block") {
  ModelJson model;
  model.Element({{"key", "b"}, {"type", "Class"}, {"metatype", metatype}})
      .Element({{"key", "part"}, {"type", "Part"}})
      .Element({{"key", "cls"}, {"type", "Class"}})
      .Element({{"key", "node"}, {"type", "Association"}});
  return model;
}

// The block b attached to the n-ary node by `own` associations; the node has
// `others` more association ends and one dependency.
ModelJson NaryModel(int own, int others) {
  ModelJson model = BlockModel();
  for (int n = 0; n < own; ++n) model.Connector(Association("own" + std::to_string(n), "b", "node"));
  for (int n = 0; n < others; ++n) {
    model.Connector(Association("other" + std::to_string(n), "node", "cls"));
  }
  model.Connector({{"key", "dep"}, {"type", "Dependency"}, {"client", "node"}, {"supplier", "cls"}});
  return model;
}

TEST(BlockRule, ABlockWithoutAssociationsPasses) {
  ModelJson model = BlockModel();
  model.Connector({{"key", "dep"}, {"type", "Dependency"}, {"client", "b"}, {"supplier", "part"},
                   {"clientAggregation", 1}})
      .Connector({{"key", "lower"}, {"type", "association"}, {"client", "b"}, {"supplier", "part"},
                  {"clientAggregation", 1}});
  RuleHarness harness(model);
  harness.RunElement("Rule_03", "b");
  EXPECT_THAT(harness.Reports(), IsEmpty());
}

TEST(BlockRule, AnNaryAssociationHasAtMostTwoEnds) {
  struct Case {
    int own, others;
    std::vector<int> messages;
  };
  for (const Case& c : {Case{1, 1, {}}, Case{1, 2, {134}}, Case{2, 2, {134, 134}},
                        Case{2, 0, {}}}) {
    RuleHarness harness(NaryModel(c.own, c.others));
    harness.RunElement("Rule_03", "b");
    EXPECT_EQ(harness.Messages(), c.messages) << c.own << " own, " << c.others << " other ends";
  }
}

TEST(BlockRule, TheBlocksEndToAPartMayNotBeShared) {
  struct Case {
    nlohmann::json association;
    std::vector<int> messages;
  };
  const Case cases[] = {
      {Association("a", "b", "part", 1, 0), {135}},
      {Association("a", "b", "part", 2, 0), {}},
      {Association("a", "b", "part", 0, 1), {}},  // the shared end is the part's
      {Association("a", "b", "cls", 1, 0), {}},
      {Association("a", "part", "b", 0, 1), {135}},  // the block as supplier
      {Association("a", "part", "b", 1, 0), {}},
  };
  for (const Case& c : cases) {
    ModelJson model = BlockModel();
    model.Connector(c.association);
    RuleHarness harness(model);
    harness.RunElement("Rule_03", "b");
    EXPECT_EQ(harness.Messages(), c.messages) << c.association.dump();
  }
}

TEST(BlockRule, ASelfAssociationHasTheBlockAtTheFarEndAndReadsTheClientEnd) {
  for (const auto& [client_aggregation, messages] :
       std::vector<std::pair<int, std::vector<int>>>{{1, {135}}, {0, {}}}) {
    ModelJson model;
    // A block of kind "Part", so that the far end (itself) can be a part.
    model.Element({{"key", "b"}, {"type", "Part"}, {"metatype", "Block"}})
        .Connector(Association("self", "b", "b", client_aggregation, 1 - client_aggregation));
    RuleHarness harness(model);
    harness.RunElement("Rule_03", "b");
    EXPECT_EQ(harness.Messages(), messages) << "client aggregation " << client_aggregation;
  }
}

TEST(BlockRule, ReportsComeInConnectorOrder) {
  ModelJson model = NaryModel(0, 2);
  model.Connector(Association("shared", "b", "part", 1, 0)).Connector(Association("nary", "b", "node"));
  RuleHarness harness(model);
  harness.RunElement("Rule_03", "b");
  EXPECT_THAT(harness.Reports(), ElementsAre(Report{"Rule_03", 0, 135}, Report{"Rule_03", 0, 134}));
}

TEST(BlockRule, OnlyBlocksInAnyLetterCaseAreExamined) {
  for (const auto& [metatype, messages] : std::vector<std::pair<std::string, std::vector<int>>>{
           {"BLOCK", {135}}, {"block", {135}}, {"Class", {}}, {"", {}}, {"ConstraintBlock", {}}}) {
    ModelJson model = BlockModel(metatype);
    model.Connector(Association("a", "b", "part", 1, 0));
    RuleHarness harness(model);
    harness.RunElement("Rule_03", "b");
    EXPECT_EQ(harness.Messages(), messages) << metatype;
  }
}

TEST(BlockRule, AFarEndTheHostCannotFindFailsTheEvent) {
  ModelJson model = BlockModel();
  model.Connector(Association("first", "b", "part", 1, 0)).Connector(Association("second", "b", "cls"));
  RuleHarness harness(model);
  harness.Host().Plan().HideElement(harness.Model().ElementId("cls"));
  EXPECT_THROW(harness.RunElement("Rule_03", "b"), host::Error);
  EXPECT_THAT(harness.Messages(), ElementsAre(135));
}

ModelJson PropertyModel(const std::string& metatype, const std::string& kind,
                        const std::string& type_metatype) {
  ModelJson model;
  model.Element({{"key", "type"}, {"type", "Class"}, {"metatype", type_metatype}})
      .Element({{"key", "prop"}, {"type", kind}, {"metatype", metatype}, {"propertyType", "type"}});
  return model;
}

TEST(BlockPropertyRule, APartReferenceOrValuePropertyIsTypedByABlock) {
  struct Case {
    std::string metatype, kind, type_metatype;
    std::vector<int> messages;
  };
  const Case cases[] = {
      {"PartProperty", "Part", "Block", {}},
      {"partProperty", "Part", "BLOCK", {}},
      {"PARTPROPERTY", "Part", "ValueType", {136}},
      {"PartProperty", "Part", "", {136}},
      {"ValueProperty", "Part", "ValueType", {136}},
      {"ValueProperty", "Part", "Block", {}},
      {"ReferenceProperty", "Part", "Interface", {136}},
      {"PartProperty", "Class", "ValueType", {}},   // not of kind "Part"
      {"PartProperty", "part", "ValueType", {}},    // kind is exact
      {"Part Property", "Part", "ValueType", {}},   // not a block property
      {"FlowProperty", "Part", "ValueType", {}},
  };
  for (const Case& c : cases) {
    RuleHarness harness(PropertyModel(c.metatype, c.kind, c.type_metatype));
    harness.RunElement("Rule_05", "prop");
    EXPECT_EQ(harness.Messages(), c.messages)
        << c.metatype << " of kind " << c.kind << " typed by " << c.type_metatype;
  }
}

TEST(BlockPropertyRule, AnUntypedPropertyPasses) {
  ModelJson model;
  model.Element({{"key", "prop"}, {"type", "Part"}, {"metatype", "PartProperty"}});
  RuleHarness harness(model);
  harness.RunElement("Rule_05", "prop");
  EXPECT_THAT(harness.Reports(), IsEmpty());
  EXPECT_EQ(harness.Host().Plan().CountOf("Repository.GetElementByID"), 0);
}

TEST(BlockPropertyRule, ATypeTheHostCannotFindFailsTheEvent) {
  RuleHarness harness(PropertyModel("PartProperty", "Part", "Block"));
  harness.Host().Plan().HideElement(harness.Model().ElementId("type"));
  EXPECT_THROW(harness.RunElement("Rule_05", "prop"), host::Error);
}

}  // namespace
}  // namespace rules_test
