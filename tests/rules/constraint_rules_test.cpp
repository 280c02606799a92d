// Rule_13: a constraint property is typed by a constraint block.
#include <optional>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "rules/rule_harness.h"

namespace rules_test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

struct TypingElement {
  std::string metatype, kind;
};

ModelJson ConstraintModel(const std::string& metatype, const std::optional<TypingElement>& type) {
  nlohmann::json property = {{"key", "cp"}, {"type", "Part"}, {"metatype", metatype}};
  ModelJson model;
  if (type) {
    model.Element({{"key", "t"}, {"type", type->kind}, {"metatype", type->metatype}});
    property["propertyType"] = "t";
  }
  model.Element(property);
  return model;
}

TEST(ConstraintPropertyRule, TheTypeMustBeAConstraintBlockClass) {
  struct Case {
    std::string metatype;
    std::optional<TypingElement> type;
    std::vector<int> messages;
  };
  const Case cases[] = {
      {"ConstraintProperty", TypingElement{"ConstraintBlock", "Class"}, {}},
      {"constraintPROPERTY", TypingElement{"constraintblock", "Class"}, {}},
      {"ConstraintProperty", std::nullopt, {148}},
      {"ConstraintProperty", TypingElement{"ConstraintBlock", "class"}, {148}},
      {"ConstraintProperty", TypingElement{"Block", "Class"}, {148}},
      {"ConstraintProperty", TypingElement{"", "Class"}, {148}},
      {"constraint property", std::nullopt, {}},
      {"", std::nullopt, {}},
      {"PartProperty", TypingElement{"Block", "Class"}, {}},
  };
  for (const Case& c : cases) {
    RuleHarness harness(ConstraintModel(c.metatype, c.type));
    harness.RunElement("Rule_13", "cp");
    EXPECT_EQ(harness.Messages(), c.messages)
        << c.metatype << " typed by "
        << (c.type ? c.type->metatype + " " + c.type->kind : std::string("nothing"));
  }
}

TEST(ConstraintPropertyRule, AppliesWhateverTheElementsKind) {
  ModelJson model;
  model.Element({{"key", "cp"}, {"type", "Object"}, {"metatype", "ConstraintProperty"}});
  RuleHarness harness(model);
  harness.RunElement("Rule_13", "cp");
  EXPECT_THAT(harness.Reports(), ElementsAre(Report{"Rule_13", 0, 148}));
}

TEST(ConstraintPropertyRule, ATypeIdThatNamesNoElementIsReported) {
  RuleHarness harness(ConstraintModel("ConstraintProperty", TypingElement{"ConstraintBlock", "Class"}));
  harness.Host().Plan().HideElement(harness.Model().ElementId("t"));
  EXPECT_NO_THROW(harness.RunElement("Rule_13", "cp"));
  EXPECT_THAT(harness.Messages(), ElementsAre(148));
}

TEST(ConstraintPropertyRule, OtherElementsAreNotRead) {
  RuleHarness harness(ConstraintModel("Block", TypingElement{"Block", "Class"}));
  harness.RunElement("Rule_13", "cp");
  EXPECT_THAT(harness.Reports(), IsEmpty());
  EXPECT_EQ(harness.Host().Plan().CountOf("Element.PropertyTypeID"), 0);
}

}  // namespace
}  // namespace rules_test
