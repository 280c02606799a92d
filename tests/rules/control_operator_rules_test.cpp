// Rule_15 (behaviours) and Rule_16 (operations) with the controlOperator
// stereotype need a ControlValue parameter.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "rules/rule_harness.h"

namespace rules_test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

struct Child {
  std::string type;
  std::string classifier;  // key of the classifier, "" for none
};

// A behaviour with the given children, and classifiers named "ControlValue"
// (key cv), "controlValue" (key lower) and "Other" (key other).
ModelJson BehaviorModel(const std::vector<Child>& children,
                        const std::string& metatype = "ControlOperator") {
  ModelJson model;
  model.Element({{"key", "cv"}, {"type", "Class"}, {"name", "ControlValue"}})
      .Element({{"key", "lower"}, {"type", "Class"}, {"name", "controlValue"}})
      .Element({{"key", "other"}, {"type", "Class"}, {"name", "Other"}})
      .Element({{"key", "beh"}, {"type", "Activity"}, {"metatype", metatype}});
  for (size_t n = 0; n < children.size(); ++n) {
    nlohmann::json child = {{"key", "c" + std::to_string(n)}, {"type", children[n].type},
                             {"parent", "beh"}};
    if (!children[n].classifier.empty()) child["classifier"] = children[n].classifier;
    model.Element(child);
  }
  return model;
}

TEST(ControlOperatorBehaviorRule, NeedsAnActivityParameterClassifiedByControlValue) {
  struct Case {
    std::vector<Child> children;
    std::vector<int> messages;
  };
  const Case cases[] = {
      {{}, {154}},
      {{{"ActivityParameter", "cv"}}, {}},
      {{{"ActivityParameter", "lower"}}, {154}},
      {{{"Parameter", "cv"}, {"Object", "cv"}}, {154}},
      {{{"activityparameter", "cv"}}, {154}},
      {{{"ActivityParameter", ""}, {"ActivityParameter", "other"}, {"ActivityParameter", "cv"}}, {}},
  };
  for (const Case& c : cases) {
    RuleHarness harness(BehaviorModel(c.children));
    harness.RunElement("Rule_15", "beh");
    EXPECT_EQ(harness.Messages(), c.messages) << c.children.size() << " children";
  }
}

TEST(ControlOperatorBehaviorRule, TheMetatypeInAnyLetterCaseWhateverTheKind) {
  for (const auto& [metatype, messages] : std::vector<std::pair<std::string, std::vector<int>>>{
           {"CONTROLOPERATOR", {154}}, {"controlOperator", {154}}, {"Activity", {}},
           {"Control Operator", {}}}) {
    RuleHarness harness(BehaviorModel({}, metatype));
    harness.RunElement("Rule_15", "beh");
    EXPECT_EQ(harness.Messages(), messages) << metatype;
  }
}

TEST(ControlOperatorBehaviorRule, TheSearchStopsAtTheFirstControlValue) {
  RuleHarness harness(
      BehaviorModel({{"ActivityParameter", "cv"}, {"ActivityParameter", "cv"}, {"ActivityParameter", "cv"}}));
  harness.RunElement("Rule_15", "beh");
  EXPECT_THAT(harness.Reports(), IsEmpty());
  EXPECT_EQ(harness.Host().Plan().CountOf("Repository.GetElementByID"), 1);
}

// A classifier id that names no element counts as no classifier.
TEST(ControlOperatorBehaviorRule, AClassifierTheHostCannotFindDoesNotCount) {
  RuleHarness harness(BehaviorModel({{"ActivityParameter", "cv"}}));
  harness.Host().Plan().HideElement(harness.Model().ElementId("cv"));
  EXPECT_NO_THROW(harness.RunElement("Rule_15", "beh"));
  EXPECT_THAT(harness.Reports(), ElementsAre(Report{"Rule_15", 0, 154}));
}

// An owner with one operation {OP} of the given stereotype and parameter types.
ModelJson OperationModel(const std::string& stereotype, const std::vector<std::string>& types) {
  nlohmann::json operation = {{"name", "op"}, {"stereotype", stereotype}, {"guid", "{OP}"}};
  operation["parameters"] = nlohmann::json::array();
  for (size_t n = 0; n < types.size(); ++n) {
    operation["parameters"].push_back({{"name", "p" + std::to_string(n)}, {"type", types[n]}});
  }
  ModelJson model;
  model.Element({{"key", "owner"}, {"type", "Class"},
                 {"operations", {{{"name", "first"}, {"stereotype", "controlOperator"},
                                  {"guid", "{FIRST}"}}, operation}}});
  return model;
}

TEST(ControlOperatorOperationRule, NeedsAParameterTypedControlValue) {
  struct Case {
    std::string stereotype;
    std::vector<std::string> types;
    std::vector<int> messages;
  };
  const Case cases[] = {
      {"controlOperator", {"ControlValue"}, {}},
      {"CONTROLOPERATOR", {"int", "ControlValue"}, {}},
      {"controlOperator", {"controlvalue"}, {155}},
      {"controlOperator", {}, {155}},
      {"controlOperator", {"ControlValue ", "Real"}, {155}},
      {"", {"int"}, {}},
      {"Control Operator", {"int"}, {}},
      {"optional", {}, {}},
  };
  for (const Case& c : cases) {
    RuleHarness harness(OperationModel(c.stereotype, c.types));
    harness.RunMethod("Rule_16", "{OP}", "owner");
    EXPECT_EQ(harness.Messages(), c.messages) << c.stereotype << ", " << c.types.size() << " parameters";
  }
}

TEST(ControlOperatorOperationRule, ChecksTheOperationWithTheGuid) {
  RuleHarness harness(OperationModel("", {}));
  harness.RunMethod("Rule_16", "{FIRST}", "owner");  // the first operation: no parameters
  harness.RunMethod("Rule_16", "{OP}", "owner");     // not a control operator
  harness.RunMethod("Rule_16", "{first}", "owner");  // GUIDs are exact
  harness.RunMethod("Rule_16", "{NONE}", "owner");
  EXPECT_THAT(harness.Reports(), ElementsAre(Report{"Rule_16", 0, 155}));
}

}  // namespace
}  // namespace rules_test
