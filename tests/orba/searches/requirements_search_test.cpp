#include "orba/searches/requirements_search.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "orba/store/json_model.h"

namespace orba::searches {
namespace {

using ::testing::ElementsAre;

constexpr char kModel[] = R"json({
  "format": "orba-model", "version": 1,
  "packages": [{"key": "root", "name": "Model"}],
  "elements": [
    {"key": "speed", "package": "root", "type": "Requirement", "name": "Speed",
     "metatype": "Requirement", "notes": "at least 100 km/h",
     "tags": [{"name": "risk", "value": "High"}, {"name": "Id", "value": "R1"}]},
    {"key": "car", "package": "root", "type": "Class", "name": "Car", "metatype": "Block"},
    {"key": "lower", "package": "root", "type": "Requirement", "name": "Lower case",
     "metatype": "requirement"},
    {"key": "brake", "package": "root", "type": "Requirement", "name": "Brake",
     "metatype": "FunctionalRequirement", "tags": [{"name": "ID", "value": "not the Id tag"}]}
  ]
})json";

TEST(RequirementKindTest, OnlyTheSevenKindsSpelledExactlyCount) {
  for (const char* kind :
       {"Requirement", "DesignRequirement", "ExtendedRequirement", "FunctionalRequirement",
        "InterfaceRequirement", "PerformanceRequirement", "PhysicalRequirement"}) {
    EXPECT_TRUE(IsRequirementKind(kind)) << kind;
  }
  for (const char* other : {"requirement", "Requirement ", "Block", ""}) {
    EXPECT_FALSE(IsRequirementKind(other)) << other;
  }
}

class RequirementsSearchTest : public ::testing::Test {
 protected:
  RequirementsSearchTest() {
    repository_.CreateInMemoryModel();
    store::ImportJsonModel(repository_, kModel);
  }
  store::ModelRepository repository_;
};

TEST_F(RequirementsSearchTest, ListsTheRequirementsWithGuidTypeNameMetatypeIdAndNotes) {
  const SearchTable table = FindRequirements(repository_);
  EXPECT_THAT(table.fields,
              ElementsAre("CLASSGUID", "CLASSTYPE", "Name", "Metatype", "Id", "Notes"));
  ASSERT_EQ(table.rows.size(), 2u);
  const host::ElementPtr speed = repository_.GetElementByGUID(ValueOf(table.rows[0], "CLASSGUID"));
  ASSERT_NE(speed, nullptr);
  EXPECT_EQ(speed->Name(), "Speed");
  EXPECT_EQ(ValueOf(table.rows[0], "CLASSTYPE"), "Requirement");
  EXPECT_EQ(ValueOf(table.rows[0], "Name"), "Speed");
  EXPECT_EQ(ValueOf(table.rows[0], "Metatype"), "Requirement");
  EXPECT_EQ(ValueOf(table.rows[0], "Id"), "R1");
  EXPECT_EQ(ValueOf(table.rows[0], "Notes"), "at least 100 km/h");
  // The Id tag is matched exactly and may be missing.
  EXPECT_EQ(ValueOf(table.rows[1], "Name"), "Brake");
  EXPECT_EQ(ValueOf(table.rows[1], "Id"), "");
}

TEST(RequirementsSearchEmptyModelTest, FindsNothing) {
  store::ModelRepository repository;
  repository.CreateInMemoryModel();
  EXPECT_TRUE(FindRequirements(repository).rows.empty());
}

}  // namespace
}  // namespace orba::searches
