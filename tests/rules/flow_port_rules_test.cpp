// Rule_09: flow port types, directions and connections.
#include <optional>
#include <tuple>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "rules/rule_harness.h"

namespace rules_test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

// A flow port with an optional type and an optional "direction" tagged value.
nlohmann::json Port(const std::string& key, const std::optional<std::string>& parent,
                    const std::optional<std::string>& direction,
                    const std::optional<std::string>& type = std::nullopt) {
  nlohmann::json port = {{"key", key}, {"type", "Port"}, {"metatype", "FlowPort"}};
  if (parent) port["parent"] = *parent;
  if (direction) port["tags"] = {{{"name", "direction"}, {"value", *direction}}};
  if (type) port["propertyType"] = *type;
  return port;
}

nlohmann::json Wire(const std::string& key, const std::string& client, const std::string& supplier,
                    const std::string& type = "Connector") {
  return {{"key", key}, {"type", type}, {"client", client}, {"supplier", supplier}};
}

ModelJson TypedPortModel(const std::string& type_metatype,
                         const std::optional<std::string>& direction) {
  ModelJson model;
  model.Element({{"key", "t"}, {"type", "Class"}, {"metatype", type_metatype}})
      .Element(Port("port", std::nullopt, direction, "t"));
  return model;
}

TEST(FlowPortRule, TheTypeAndDirectionOfAPort) {
  struct Case {
    std::string type_metatype;
    std::optional<std::string> direction;
    std::vector<int> messages;
  };
  const Case cases[] = {
      {"ValueType", "in", {}},
      {"Signal", "out", {}},
      {"DATATYPE", "inout", {}},
      {"Interface", "in", {137}},
      {"", "in", {137}},
      {"FlowSpecification", "in", {138}},
      {"flowSpecification", "none", {}},
      {"FlowSpecification", std::nullopt, {138}},
      {"FlowSpecification", "None", {138}},
      {"Block", "none", {139}},
      {"Block", std::nullopt, {}},
      {"Class", "none", {137, 139}},
      {"Class", "in", {137}},
  };
  for (const Case& c : cases) {
    RuleHarness harness(TypedPortModel(c.type_metatype, c.direction));
    harness.RunElement("Rule_09", "port");
    EXPECT_EQ(harness.Messages(), c.messages)
        << c.type_metatype << " / " << c.direction.value_or("(no direction)");
  }
}

// Both direction checks read the tagged values, whatever the port's type.
TEST(FlowPortRule, EachDirectionCheckReadsTheDirection) {
  for (const char* type_metatype : {"FlowSpecification", "Block"}) {
    RuleHarness harness(TypedPortModel(type_metatype, "in"));
    harness.RunElement("Rule_09", "port");
    EXPECT_EQ(harness.Host().Plan().CountOf("Element.TaggedValues"), 2) << type_metatype;
  }
}

TEST(FlowPortRule, OnlyFlowPortsInAnyLetterCaseAreExamined) {
  for (const auto& [metatype, messages] : std::vector<std::pair<std::string, std::vector<int>>>{
           {"FLOWPORT", {137}}, {"flowport", {137}}, {"Port", {}}, {"Flow Port", {}}}) {
    ModelJson model;
    model.Element({{"key", "t"}, {"type", "Interface"}, {"metatype", "Interface"}})
        .Element(
            {{"key", "port"}, {"type", "Port"}, {"metatype", metatype}, {"propertyType", "t"}});
    RuleHarness harness(model);
    harness.RunElement("Rule_09", "port");
    EXPECT_EQ(harness.Messages(), messages) << metatype;
  }
}

TEST(FlowPortRule, TheLastDirectionTaggedValueWins) {
  for (const auto& [first, last, messages] :
       std::vector<std::tuple<std::string, std::string, std::vector<int>>>{
           {"none", "in", {}}, {"in", "none", {139}}}) {
    ModelJson model;
    model.Element({{"key", "t"}, {"type", "Class"}, {"metatype", "Block"}})
        .Element({{"key", "port"},
                  {"type", "Port"},
                  {"metatype", "FlowPort"},
                  {"propertyType", "t"},
                  {"tags",
                   {{{"name", "direction"}, {"value", first}},
                    {{"name", "Direction"}, {"value", "none"}},
                    {{"name", "direction"}, {"value", last}}}}});
    RuleHarness harness(model);
    harness.RunElement("Rule_09", "port");
    EXPECT_EQ(harness.Messages(), messages) << first << " then " << last;
  }
}

TEST(FlowPortRule, ATypeTheHostCannotFindFailsTheEvent) {
  RuleHarness harness(TypedPortModel("Block", "in"));
  harness.Host().Plan().HideElement(harness.Model().ElementId("t"));
  EXPECT_THROW(harness.RunElement("Rule_09", "port"), host::Error);
}

// Block B owns parts P and Q; each has one flow port: own (on P), nested
// (on B) and sibling (on Q).
ModelJson ConnectedModel(const std::string& own, const std::string& far, bool nested) {
  ModelJson model;
  model.Element({{"key", "B"}, {"type", "Class"}, {"metatype", "Block"}})
      .Element({{"key", "P"}, {"type", "Part"}, {"parent", "B"}})
      .Element({{"key", "Q"}, {"type", "Part"}, {"parent", "B"}})
      .Element(Port("own", "P", own))
      .Element(Port("far", nested ? "B" : "Q", far))
      .Connector(Wire("c", "own", "far"));
  return model;
}

TEST(FlowPortRule, DirectionsOfConnectedPorts) {
  struct Case {
    std::string own, far;
    bool nested;
    std::vector<int> messages;
  };
  const Case cases[] = {
      {"in", "in", true, {}},        {"in", "out", true, {141}},   {"in", "inout", true, {}},
      {"out", "out", true, {}},      {"out", "in", true, {141}},   {"inout", "", true, {}},
      {"inout", "none", true, {141}}, {"none", "none", true, {}},  {"none", "", true, {141}},
      {"In", "in", true, {141}},     {"", "in", true, {141}},
      {"in", "out", false, {}},      {"in", "in", false, {142}},   {"in", "inout", false, {}},
      {"out", "in", false, {}},      {"out", "out", false, {142}}, {"inout", "", false, {}},
      {"inout", "none", false, {142}}, {"none", "none", false, {}}, {"none", "", false, {142}},
      {"In", "out", false, {142}},   {"sideways", "inout", false, {142}},
  };
  for (const Case& c : cases) {
    RuleHarness harness(ConnectedModel(c.own, c.far, c.nested));
    harness.RunElement("Rule_09", "own");
    EXPECT_EQ(harness.Messages(), c.messages)
        << "\"" << c.own << "\" with \"" << c.far << "\", " << (c.nested ? "nested" : "unnested");
  }
}

TEST(FlowPortRule, NestingIsSeenFromEitherSide) {
  // The port of the owning block, connected to the port of its part.
  RuleHarness harness(ConnectedModel("in", "out", true));
  harness.RunElement("Rule_09", "far");
  EXPECT_THAT(harness.Messages(), ElementsAre(141));
}

TEST(FlowPortRule, ConnectedPortsAreComparedByTheNamesOfTheirTypes) {
  struct Case {
    std::optional<std::string> own_type, far_type;
    std::vector<Report> reports;
  };
  const Case cases[] = {
      {"data1", "data2", {}},  // two blocks both named "Data"
      {"data1", "other", {Report{"Rule_09", 1, 140}}},
      {"data1", std::nullopt, {}},
      {std::nullopt, "other", {}},
  };
  for (const Case& c : cases) {
    ModelJson model;
    model.Element({{"key", "data1"}, {"type", "Class"}, {"metatype", "Block"}, {"name", "Data"}})
        .Element({{"key", "data2"}, {"type", "Class"}, {"metatype", "Block"}, {"name", "Data"}})
        .Element({{"key", "other"}, {"type", "Class"}, {"metatype", "Block"}, {"name", "data"}})
        .Element({{"key", "B"}, {"type", "Class"}})
        .Element({{"key", "P"}, {"type", "Part"}, {"parent", "B"}})
        .Element(Port("own", "P", "in", c.own_type))
        .Element(Port("far", "B", "in", c.far_type))
        .Connector(Wire("c", "own", "far"));
    RuleHarness harness(model);
    harness.RunElement("Rule_09", "own");
    EXPECT_EQ(harness.Reports(), c.reports)
        << c.own_type.value_or("untyped") << " with " << c.far_type.value_or("untyped");
  }
}

TEST(FlowPortRule, AConnectorReportsTheTypeBeforeTheDirection) {
  ModelJson model;
  model.Element({{"key", "t1"}, {"type", "Class"}, {"metatype", "Block"}, {"name", "A"}})
      .Element({{"key", "t2"}, {"type", "Class"}, {"metatype", "Block"}, {"name", "Z"}})
      .Element({{"key", "B"}, {"type", "Class"}})
      .Element({{"key", "P"}, {"type", "Part"}, {"parent", "B"}})
      .Element({{"key", "Q"}, {"type", "Part"}, {"parent", "B"}})
      .Element(Port("own", "P", "in", "t1"))
      .Element(Port("nested", "B", "out", "t2"))
      .Element(Port("sibling", "Q", "in", "t1"))
      .Connector(Wire("c1", "own", "nested"))
      .Connector(Wire("c2", "sibling", "own"));  // the port as supplier
  RuleHarness harness(model);
  harness.RunElement("Rule_09", "own");
  EXPECT_THAT(harness.Reports(), ElementsAre(Report{"Rule_09", 1, 140}, Report{"Rule_09", 0, 141},
                                             Report{"Rule_09", 0, 142}));
}

TEST(FlowPortRule, OnlyConnectorsOfKindConnectorAreExamined) {
  ModelJson model = ConnectedModel("in", "in", false);
  model.Connector(Wire("assoc", "own", "far", "Association"))
      .Connector(Wire("flow", "far", "own", "ObjectFlow"))
      .Connector(Wire("lower", "own", "far", "connector"));
  RuleHarness harness(model);
  harness.RunElement("Rule_09", "own");
  EXPECT_THAT(harness.Messages(), ElementsAre(142));  // from "c" alone
}

TEST(FlowPortRule, AFarEndWithoutOwnerEndsTheRuleAfterTheTypeComparison) {
  ModelJson model;
  model.Element({{"key", "t1"}, {"type", "Class"}, {"metatype", "Block"}, {"name", "A"}})
      .Element({{"key", "t2"}, {"type", "Class"}, {"metatype", "Block"}, {"name", "Z"}})
      .Element({{"key", "B"}, {"type", "Class"}, {"propertyType", "t2"}})  // top level: no owner
      .Element({{"key", "P"}, {"type", "Part"}, {"parent", "B"}})
      .Element({{"key", "Q"}, {"type", "Part"}, {"parent", "B"}})
      .Element(Port("own", "P", "in", "t1"))
      .Element(Port("sibling", "Q", "in"))
      .Connector(Wire("toBlock", "own", "B"))
      .Connector(Wire("toSibling", "own", "sibling"));
  RuleHarness harness(model);
  harness.RunElement("Rule_09", "own");
  EXPECT_THAT(harness.Reports(), ElementsAre(Report{"Rule_09", 1, 140}));
}

TEST(FlowPortRule, APortWithoutOwnerEndsTheRuleAtItsFirstConnector) {
  ModelJson model;
  model.Element({{"key", "B"}, {"type", "Class"}})
      .Element({{"key", "P"}, {"type", "Part"}, {"parent", "B"}})
      .Element(Port("loose", std::nullopt, "in"))
      .Element(Port("first", "P", "in"))
      .Element(Port("second", "B", "in"))
      .Connector(Wire("assoc", "loose", "second", "Association"))
      .Connector(Wire("c1", "loose", "first"))
      .Connector(Wire("c2", "loose", "second"));
  RuleHarness harness(model);
  // Were the second connector examined, its hidden far port would fail the event.
  harness.Host().Plan().HideElement(harness.Model().ElementId("second"));
  EXPECT_NO_THROW(harness.RunElement("Rule_09", "loose"));
  EXPECT_THAT(harness.Reports(), IsEmpty());
}

TEST(FlowPortRule, AFarPortTheHostCannotFindFailsTheEventAndKeepsEarlierReports) {
  ModelJson model = TypedPortModel("Interface", "in");
  model.Element({{"key", "other"}, {"type", "Port"}}).Connector(Wire("c", "port", "other"));
  RuleHarness harness(model);
  harness.Host().Plan().HideElement(harness.Model().ElementId("other"));
  EXPECT_THROW(harness.RunElement("Rule_09", "port"), host::Error);
  EXPECT_THAT(harness.Messages(), ElementsAre(137));
}

}  // namespace
}  // namespace rules_test
