// Rule_30 (dimensions), Rule_31 (units) and Rule_32 (value types): the
// "dimension" and "unit" tagged values that reference other elements by GUID.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "rules/rule_harness.h"

namespace rules_test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr char kMetre[] = "{D1A2B3C4-0000-4000-8000-00000000000A}";     // a dimension
constexpr char kMetreLower[] = "{d1a2b3c4-0000-4000-8000-00000000000a}";
constexpr char kSecond[] = "{D1A2B3C4-0000-4000-8000-00000000000B}";    // another dimension
constexpr char kKilometre[] = "{E1A2B3C4-0000-4000-8000-00000000000A}"; // a unit of kMetre
constexpr char kNowhere[] = "{F0000000-0000-4000-8000-000000000000}";   // names no element

using Tags = std::vector<std::pair<std::string, std::string>>;

nlohmann::json TagList(const Tags& tags) {
  nlohmann::json list = nlohmann::json::array();
  for (const auto& [name, value] : tags) list.push_back({{"name", name}, {"value", value}});
  return list;
}

// The element "x" with the metatype and tags, next to the dimensions metre
// and second and the unit km (whose dimension is metre, or `km_dimension`).
ModelJson QuantityModel(const std::string& metatype, const Tags& tags,
                        const Tags& km_tags = {{"dimension", kMetre}}) {
  ModelJson model;
  model.Element({{"key", "metre"}, {"type", "DataType"}, {"metatype", "Dimension"}, {"guid", kMetre}})
      .Element({{"key", "second"}, {"type", "DataType"}, {"metatype", "DIMENSION"}, {"guid", kSecond}})
      .Element({{"key", "km"}, {"type", "DataType"}, {"metatype", "Unit"}, {"guid", kKilometre},
                {"tags", TagList(km_tags)}})
      .Element({{"key", "x"}, {"type", "DataType"}, {"metatype", metatype}, {"tags", TagList(tags)}});
  return model;
}

struct Case {
  std::string metatype;
  Tags tags;
  std::vector<int> messages;
};

void ExpectMessages(const std::string& rule, const Case& c, const Tags& km_tags = {{"dimension", kMetre}}) {
  RuleHarness harness(QuantityModel(c.metatype, c.tags, km_tags));
  harness.RunElement(rule, "x");
  std::string tags;
  for (const auto& [name, value] : c.tags) tags += " " + name + "=" + value;
  EXPECT_EQ(harness.Messages(), c.messages) << rule << " " << c.metatype << tags;
  for (const Report& report : harness.Reports()) {
    EXPECT_EQ(report.rule, rule);
    EXPECT_EQ(report.error_type, 0);
  }
}

TEST(DimensionRule, ADimensionReferencesNothing) {
  const Case cases[] = {
      {"Dimension", {}, {}},
      {"dimension", {{"unit", "kg"}}, {172}},
      {"DIMENSION", {{"dimension", kSecond}}, {171}},
      {"Dimension", {{"dimension", "x"}, {"unit", "y"}}, {171, 172}},
      {"Dimension", {{"unit", "y"}, {"dimension", "x"}}, {171, 172}},
      {"Dimension", {{"Dimension", "x"}, {"Unit", "y"}}, {}},
      {"Dimension", {{"unit", "y"}, {"unit", ""}}, {}},
      {"ValueType", {{"dimension", "x"}}, {}},
  };
  for (const Case& c : cases) ExpectMessages("Rule_30", c);
}

TEST(UnitRule, AUnitReferencesADimensionAndNoUnit) {
  const Case cases[] = {
      {"Unit", {{"dimension", kMetre}}, {}},
      {"UNIT", {{"dimension", kSecond}}, {}},
      {"Unit", {}, {173}},
      {"Unit", {{"dimension", kKilometre}}, {173}},
      {"Unit", {{"dimension", "metre"}}, {173}},
      {"Unit", {{"Dimension", kMetre}}, {173}},
      {"Unit", {{"dimension", kMetre}, {"unit", kKilometre}}, {172}},
      {"Unit", {{"unit", "x"}}, {173, 172}},
      {"Unit", {{"dimension", kMetre}, {"dimension", ""}}, {173}},
      {"Dimension", {}, {}},
  };
  for (const Case& c : cases) ExpectMessages("Rule_31", c);
}

TEST(ValueTypeRule, AValueTypeReferencesADimensionAndAUnitOfIt) {
  const Case cases[] = {
      {"ValueType", {{"dimension", kMetre}, {"unit", kKilometre}}, {}},
      {"valuetype", {}, {173, 174}},
      {"ValueType", {{"dimension", kMetre}, {"unit", kSecond}}, {174}},
      {"ValueType", {{"dimension", kKilometre}, {"unit", kKilometre}}, {173}},
      {"ValueType", {{"dimension", kSecond}, {"unit", kKilometre}}, {175}},
      {"ValueType", {{"unit", kKilometre}}, {173}},
      {"Value Type", {}, {}},
  };
  for (const Case& c : cases) ExpectMessages("Rule_32", c);
}

TEST(ValueTypeRule, TheUnitsDimensionIsComparedAsText) {
  const Case sound = {"ValueType", {{"dimension", kMetre}, {"unit", kKilometre}}, {175}};
  ExpectMessages("Rule_32", sound, {{"dimension", kMetreLower}});
  ExpectMessages("Rule_32", sound, {});
  ExpectMessages("Rule_32", sound, {{"dimension", kMetre}, {"dimension", kSecond}});
  ExpectMessages("Rule_32", {"ValueType", sound.tags, {}}, {{"dimension", kSecond}, {"dimension", kMetre}});
}

// A GUID that names no element references nothing of the required kind.
TEST(QuantityKindRules, AGuidThatNamesNoElementIsReportedLikeAnEmptyReference) {
  ExpectMessages("Rule_31", {"Unit", {{"dimension", kNowhere}}, {173}});
  ExpectMessages("Rule_32", {"ValueType", {{"dimension", kMetre}, {"unit", kNowhere}}, {174}});
  ExpectMessages("Rule_32", {"ValueType", {{"dimension", kNowhere}, {"unit", kKilometre}}, {173}});
}

TEST(QuantityKindRules, AHiddenUnitIsNotResolvedForTheDimensionComparison) {
  RuleHarness harness(QuantityModel("ValueType", {{"dimension", kMetre}, {"unit", kKilometre}}));
  harness.Host().Plan().HideElementGuid(kKilometre);
  EXPECT_NO_THROW(harness.RunElement("Rule_32", "x"));
  EXPECT_THAT(harness.Messages(), ElementsAre(174));
}

TEST(QuantityKindRules, AnEmptyReferenceIsNotLookedUp) {
  RuleHarness harness(QuantityModel("ValueType", {}));
  harness.RunElement("Rule_32", "x");
  EXPECT_EQ(harness.Host().Plan().CountOf("Repository.GetElementByGUID"), 0);
  EXPECT_THAT(harness.Messages(), ElementsAre(173, 174));
}

}  // namespace
}  // namespace rules_test
