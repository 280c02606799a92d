#include "orba/cli/model_lookup.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cctype>

#include "orba/cli/command.h"
#include "orba/store/json_model.h"

namespace orba::cli {
namespace {

using ::testing::HasSubstr;

class ModelLookupTest : public ::testing::Test {
 protected:
  ModelLookupTest() {
    repository_.CreateInMemoryModel();
    store::ImportJsonModel(repository_, R"json({"format": "orba-model", "version": 1,
      "packages": [{"key": "root", "name": "Model"}, {"key": "a", "name": "Parts", "parent": "root"},
                   {"key": "b", "name": "Parts", "parent": "root"}],
      "elements": [{"key": "car", "package": "root", "type": "Class", "name": "Car"},
                   {"key": "w1", "package": "a", "type": "Class", "name": "Wheel"},
                   {"key": "w2", "package": "b", "type": "Class", "name": "Wheel"}]})json");
  }
  void ExpectRefused(const std::function<void()>& lookup, const std::string& problem) {
    try {
      lookup();
      FAIL() << "found";
    } catch (const CommandError& error) {
      EXPECT_THAT(error.what(), HasSubstr(problem));
    }
  }
  store::ModelRepository repository_;
};

TEST_F(ModelLookupTest, AnElementIsFoundByNameOrByGuid) {
  const host::ElementPtr car = FindElement(repository_, "Car");
  EXPECT_EQ(car->Name(), "Car");
  EXPECT_EQ(FindElement(repository_, car->ElementGUID())->ElementID(), car->ElementID());
}

TEST_F(ModelLookupTest, ASharedNameNeedsTheGuid) {
  ExpectRefused([&] { FindElement(repository_, "Wheel"); },
                "2 elements are named \"Wheel\"; give one of their GUIDs: {");
  ExpectRefused([&] { FindPackage(repository_, "Parts"); }, "2 packages are named \"Parts\"");
}

TEST_F(ModelLookupTest, NamesAreMatchedExactly) {
  ExpectRefused([&] { FindElement(repository_, "car"); },
                "no element has the GUID or name \"car\"");
  ExpectRefused([&] { FindPackage(repository_, "model"); },
                "no package has the GUID or name \"model\"");
}

TEST_F(ModelLookupTest, APackageIsFoundByNameOrByItsElementsGuid) {
  const host::PackagePtr model = FindPackage(repository_, "Model");
  EXPECT_EQ(model->ParentID(), 0);
  EXPECT_EQ(FindPackage(repository_, model->Element()->ElementGUID())->PackageID(),
            model->PackageID());
  std::string lower = model->Element()->ElementGUID();
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  EXPECT_EQ(FindPackage(repository_, lower)->PackageID(), model->PackageID())
      << "GUIDs ignore letter case";
}

}  // namespace
}  // namespace orba::cli
