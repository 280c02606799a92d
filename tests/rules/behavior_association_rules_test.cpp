// Rule_14: associations between behaviours, and between activities and
// object nodes.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "rules/rule_harness.h"

namespace rules_test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

nlohmann::json Element(const std::string& key, const std::string& type, nlohmann::json extra = {}) {
  nlohmann::json element = {{"key", key}, {"type", type}};
  if (extra.is_object()) element.update(extra);
  return element;
}

nlohmann::json Association(const std::string& client, const std::string& supplier,
                           int client_aggregation, int supplier_aggregation,
                           const std::string& kind = "Association") {
  return {{"key", "assoc"},          {"type", kind},
          {"client", client},        {"supplier", supplier},
          {"clientAggregation", client_aggregation},
          {"supplierAggregation", supplier_aggregation}};
}

// Activity A owns a child `child` of kind `child_type`; the action D has the
// multiplicity given; A is composite at the client end.
ModelJson CompositeModel(const std::string& child, const std::string& child_type,
                         const std::string& multiplicity = "") {
  ModelJson model;
  model.Element(Element("A", "Activity"))
      .Element(Element("child", child_type, {{"name", child}, {"parent", "A"}}))
      .Element(Element("D", "Action", {{"multiplicity", multiplicity}}))
      .Connector(Association("A", "D", 2, 0));
  return model;
}

TEST(BehaviorAssociationRule, OnlyAssociationsAreExamined) {
  for (const std::string kind : {"Dependency", "Aggregation", "association"}) {
    ModelJson model;
    model.Element(Element("A", "Activity"))
        .Element(Element("D", "Action", {{"multiplicity", "1"}}))
        .Connector(Association("A", "D", 2, 0, kind));
    RuleHarness harness(model);
    harness.RunConnector("Rule_14", "assoc");
    EXPECT_THAT(harness.Reports(), IsEmpty()) << kind;
  }
}

TEST(BehaviorAssociationRule, ThePartEndNamesAnActionOfTheWholeEnd) {
  struct Case {
    std::string child, child_type;
    std::vector<Report> reports;
  };
  const Case cases[] = {
      {"D", "Action", {}},
      {"d", "Action", {Report{"Rule_14", 1, 149}}},
      {"D", "Activity", {Report{"Rule_14", 1, 149}}},
      {"D ", "Action", {Report{"Rule_14", 1, 149}}},
  };
  for (const Case& c : cases) {
    RuleHarness harness(CompositeModel(c.child, c.child_type));
    harness.RunConnector("Rule_14", "assoc");
    EXPECT_EQ(harness.Reports(), c.reports) << c.child_type << " \"" << c.child << "\"";
  }
}

TEST(BehaviorAssociationRule, ThePartEndIsOptional) {
  for (const auto& [multiplicity, messages] :
       std::vector<std::pair<std::string, std::vector<int>>>{
           {"", {}}, {"0..1", {}}, {"0", {}}, {"1", {150}}, {"1..*", {150}}, {"*", {150}},
           {" 0..1", {150}}}) {
    RuleHarness harness(CompositeModel("D", "Action", multiplicity));
    harness.RunConnector("Rule_14", "assoc");
    EXPECT_EQ(harness.Messages(), messages) << "\"" << multiplicity << "\"";
  }
}

TEST(BehaviorAssociationRule, TheCompositeClientEndIsTheWhole) {
  struct Case {
    int client_aggregation, supplier_aggregation;
    std::string client, supplier;
  };
  // A owns the action named D, D owns nothing: A must be found as the whole.
  for (const Case& c : {Case{2, 2, "A", "D"}, Case{2, 0, "A", "D"}, Case{0, 2, "D", "A"},
                        Case{1, 2, "D", "A"}}) {
    ModelJson model;
    model.Element(Element("A", "Activity"))
        .Element(Element("child", "Action", {{"name", "D"}, {"parent", "A"}}))
        .Element(Element("D", "Action"))
        .Connector(Association(c.client, c.supplier, c.client_aggregation, c.supplier_aggregation));
    RuleHarness harness(model);
    harness.RunConnector("Rule_14", "assoc");
    EXPECT_THAT(harness.Reports(), IsEmpty())
        << c.client << "(" << c.client_aggregation << ") - " << c.supplier << "("
        << c.supplier_aggregation << ")";
  }
}

TEST(BehaviorAssociationRule, ACompositeAssociationBetweenBehaviorsEndsAfterItsTwoChecks) {
  // D is an activity too; the end that owns nothing makes every check fail.
  ModelJson model;
  model.Element(Element("A", "Activity", {{"classifier", "A"}}))
      .Element(Element("D", "Activity", {{"multiplicity", "1"}}))
      .Connector(Association("A", "D", 2, 0));
  RuleHarness harness(model);
  harness.RunConnector("Rule_14", "assoc");
  EXPECT_THAT(harness.Reports(), ElementsAre(Report{"Rule_14", 1, 149}, Report{"Rule_14", 0, 150}));
}

// Activity A (classifier C) and object node O (classifier `object_classifier`,
// multiplicity given); A owns an object child named `child`.
ModelJson ObjectNodeModel(const std::string& child, const std::string& object_classifier,
                          const std::string& multiplicity, bool activity_is_client,
                          int client_aggregation = 0) {
  ModelJson model;
  model.Element(Element("C", "Class"))
      .Element(Element("C2", "Class"))
      .Element(Element("A", "Activity", {{"classifier", "C"}}))
      .Element(Element("child", "Object", {{"name", child}, {"parent", "A"}}));
  nlohmann::json object = Element("O", "Object", {{"multiplicity", multiplicity}});
  if (!object_classifier.empty()) object["classifier"] = object_classifier;
  model.Element(object).Connector(activity_is_client ? Association("A", "O", client_aggregation, 0)
                                                     : Association("O", "A", client_aggregation, 0));
  return model;
}

TEST(BehaviorAssociationRule, AnActivityAndAnObjectNodeAreCheckedThreeWays) {
  struct Case {
    std::string child, classifier, multiplicity;
    std::vector<int> messages;
  };
  const Case cases[] = {
      {"O", "C", "0..1", {}},
      {"O", "C", "", {}},
      {"o", "C", "0..*", {151}},
      {"O", "C2", "0", {152}},
      {"O", "", "0", {152}},
      {"O", "C", "1", {153}},
      {"X", "C2", "1..*", {151, 152, 153}},
  };
  for (const Case& c : cases) {
    for (bool activity_is_client : {true, false}) {
      RuleHarness harness(ObjectNodeModel(c.child, c.classifier, c.multiplicity, activity_is_client));
      harness.RunConnector("Rule_14", "assoc");
      EXPECT_EQ(harness.Messages(), c.messages)
          << c.child << "/" << c.classifier << "/" << c.multiplicity
          << (activity_is_client ? " activity first" : " object first");
      for (const Report& report : harness.Reports()) EXPECT_EQ(report.error_type, 0);
    }
  }
}

TEST(BehaviorAssociationRule, ACompositeAssociationOfAnActivityAndAnObjectRunsTheObjectChecks) {
  RuleHarness harness(ObjectNodeModel("X", "C2", "1", true, 2));
  harness.RunConnector("Rule_14", "assoc");
  EXPECT_THAT(harness.Messages(), ElementsAre(151, 152, 153));
}

TEST(BehaviorAssociationRule, ClassifiersOfZeroAreCompared) {
  ModelJson model;
  model.Element(Element("A", "Activity"))
      .Element(Element("child", "Object", {{"name", "O"}, {"parent", "A"}}))
      .Element(Element("O", "Object"))
      .Connector(Association("A", "O", 0, 0));
  RuleHarness harness(model);
  harness.RunConnector("Rule_14", "assoc");
  EXPECT_THAT(harness.Reports(), IsEmpty());
}

TEST(BehaviorAssociationRule, OtherPairsOfEndsAreNotChecked) {
  for (const auto& [client, supplier] : std::vector<std::pair<std::string, std::string>>{
           {"Activity", "Activity"}, {"Object", "Object"}, {"Action", "Object"},
           {"Class", "Activity"}}) {
    ModelJson model;
    model.Element(Element("x", client, {{"multiplicity", "1"}}))
        .Element(Element("y", supplier, {{"multiplicity", "1"}, {"classifier", "x"}}))
        .Connector(Association("x", "y", 0, 0));
    RuleHarness harness(model);
    harness.RunConnector("Rule_14", "assoc");
    EXPECT_THAT(harness.Reports(), IsEmpty()) << client << " - " << supplier;
  }
}

// An end id that names no element is of no kind: the association is neither
// between behaviours nor between an activity and an object node.
TEST(BehaviorAssociationRule, AnEndTheHostCannotFindEndsTheRuleSilently) {
  for (const std::string hidden : {"D", "A"}) {
    RuleHarness harness(CompositeModel("X", "Action", "1"));
    harness.Host().Plan().HideElement(harness.Model().ElementId(hidden));
    EXPECT_NO_THROW(harness.RunConnector("Rule_14", "assoc")) << hidden;
    EXPECT_THAT(harness.Reports(), IsEmpty()) << hidden;
  }
  RuleHarness harness(ObjectNodeModel("X", "C2", "1", true));
  harness.Host().Plan().HideElement(harness.Model().ElementId("O"));
  EXPECT_NO_THROW(harness.RunConnector("Rule_14", "assoc"));
  EXPECT_THAT(harness.Reports(), IsEmpty());
}

}  // namespace
}  // namespace rules_test
