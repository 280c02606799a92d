// Rule_01 (a view owns no elements) and Rule_02 (viewpoints).
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "rules/rule_harness.h"

namespace rules_test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

ModelJson PackageModel(const std::string& metatype, int owned) {
  ModelJson model;
  model.Package({{"key", "pkg"}, {"metatype", metatype}});
  for (int n = 0; n < owned; ++n) {
    model.Element({{"key", "e" + std::to_string(n)}, {"type", "Class"}, {"package", "pkg"}});
  }
  return model;
}

TEST(ViewRule, AViewInAnyLetterCaseMayNotOwnElements) {
  for (const std::string metatype : {"View", "VIEW", "view"}) {
    RuleHarness owning(PackageModel(metatype, 1));
    owning.RunPackage("Rule_01", "pkg");
    EXPECT_THAT(owning.Reports(), ElementsAre(Report{"Rule_01", 0, 129})) << metatype;

    RuleHarness empty(PackageModel(metatype, 0));
    empty.RunPackage("Rule_01", "pkg");
    EXPECT_THAT(empty.Reports(), IsEmpty()) << metatype;
  }
}

TEST(ViewRule, AViewOwningSeveralElementsIsReportedOnce) {
  RuleHarness harness(PackageModel("View", 3));
  harness.RunPackage("Rule_01", "pkg");
  EXPECT_THAT(harness.Messages(), ElementsAre(129));
}

TEST(ViewRule, OtherPackagesMayOwnElements) {
  for (const std::string metatype : {"", "Package", "Viewpoint", "Views", " view"}) {
    RuleHarness harness(PackageModel(metatype, 2));
    harness.RunPackage("Rule_01", "pkg");
    EXPECT_THAT(harness.Reports(), IsEmpty()) << "\"" << metatype << "\"";
  }
}

ModelJson ViewpointModel(nlohmann::json fields) {
  nlohmann::json element = {{"key", "vp"}, {"type", "Class"}, {"metatype", "Viewpoint"}};
  element.update(fields);
  ModelJson model;
  model.Element(element);
  return model;
}

const nlohmann::json kTwoOperations = {{{"name", "a"}, {"guid", "{A}"}},
                                       {{"name", "b"}, {"guid", "{B}"}}};
const nlohmann::json kOneAttribute = {{{"name", "x"}, {"type", "int"}}};

TEST(ViewpointRule, FeaturesAndConcretenessAreEachReportedInOrder) {
  RuleHarness harness(ViewpointModel(
      {{"operations", kTwoOperations}, {"attributes", kOneAttribute}, {"abstract", "0"}}));
  harness.RunElement("Rule_02", "vp");
  EXPECT_THAT(harness.Reports(), ElementsAre(Report{"Rule_02", 0, 130}, Report{"Rule_02", 0, 131},
                                             Report{"Rule_02", 0, 132}));
}

TEST(ViewpointRule, AnAbstractViewpointWithoutFeaturesPasses) {
  RuleHarness harness(ViewpointModel({{"metatype", "VIEWPOINT"}, {"abstract", "1"}}));
  harness.RunElement("Rule_02", "vp");
  EXPECT_THAT(harness.Reports(), IsEmpty());
}

TEST(ViewpointRule, OnlyTheExactTextOneIsAbstract) {
  for (const std::string value : {"0", "", "true", "True", " 1"}) {
    RuleHarness harness(ViewpointModel({{"abstract", value}}));
    harness.RunElement("Rule_02", "vp");
    EXPECT_THAT(harness.Messages(), ElementsAre(132)) << "\"" << value << "\"";
  }
}

TEST(ViewpointRule, OtherElementsMayHaveFeatures) {
  RuleHarness harness(ViewpointModel(
      {{"metatype", "Block"}, {"operations", kTwoOperations}, {"attributes", kOneAttribute}}));
  harness.RunElement("Rule_02", "vp");
  EXPECT_THAT(harness.Reports(), IsEmpty());
}

ModelJson InstanceModel(const std::string& type, const std::string& classifier_metatype) {
  ModelJson model;
  model.Element({{"key", "cls"}, {"type", "Class"}, {"metatype", classifier_metatype}, {"abstract", "1"}})
      .Element({{"key", "inst"}, {"type", type}, {"classifier", "cls"}});
  return model;
}

TEST(ViewpointRule, AnInstanceMayNotBeClassifiedByAViewpoint) {
  for (const std::string metatype : {"Viewpoint", "viewPOINT"}) {
    RuleHarness harness(InstanceModel("Object", metatype));
    harness.RunElement("Rule_02", "inst");
    EXPECT_THAT(harness.Reports(), ElementsAre(Report{"Rule_02", 0, 133})) << metatype;
  }
}

TEST(ViewpointRule, InstancesOfOtherClassifiersAndOtherKindsPass) {
  for (const auto& [type, metatype] : std::vector<std::pair<std::string, std::string>>{
           {"Object", "Block"}, {"Object", ""}, {"object", "Viewpoint"}, {"Class", "Viewpoint"}}) {
    RuleHarness harness(InstanceModel(type, metatype));
    harness.RunElement("Rule_02", "inst");
    EXPECT_THAT(harness.Reports(), IsEmpty()) << type << " of " << metatype;
  }
}

TEST(ViewpointRule, BothGroupsRunOnAViewpointInstance) {
  ModelJson model = InstanceModel("Object", "Viewpoint");
  model.Element({{"key", "vpi"}, {"type", "Object"}, {"metatype", "Viewpoint"}, {"classifier", "cls"}});
  RuleHarness harness(model);
  harness.RunElement("Rule_02", "vpi");
  EXPECT_THAT(harness.Messages(), ElementsAre(132, 133));
}

TEST(ViewpointRule, AnInstanceWithoutClassifierMakesNoLookup) {
  ModelJson model;
  model.Element({{"key", "inst"}, {"type", "Object"}});
  RuleHarness harness(model);
  harness.RunElement("Rule_02", "inst");
  EXPECT_THAT(harness.Reports(), IsEmpty());
  EXPECT_EQ(harness.Host().Plan().CountOf("Repository.GetElementByID"), 0);
}

TEST(ViewpointRule, AClassifierTheHostCannotFindFailsTheEvent) {
  RuleHarness harness(InstanceModel("Object", "Viewpoint"));
  harness.Host().Plan().HideElement(harness.Model().ElementId("cls"));
  EXPECT_THROW(harness.RunElement("Rule_02", "inst"), host::Error);
  EXPECT_THAT(harness.Reports(), IsEmpty());
}

}  // namespace
}  // namespace rules_test
