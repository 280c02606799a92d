#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "orba/store/json_model.h"
#include "store_fixtures.h"

namespace orba::store::testing {
namespace {

using nlohmann::json;

json Exported(ModelRepository& repository) { return json::parse(ExportJsonModel(repository)); }

TEST(JsonExport, ExportImportExportIsStable) {
  auto first = ImportedModel(kSampleModel);
  std::string exported = ExportJsonModel(*first);
  auto second = ImportedModel(exported);
  EXPECT_EQ(ExportJsonModel(*second), exported);
}

TEST(JsonExport, GivesBackWhatWasImported) {
  auto repository = ImportedModel(kSampleModel);
  json document = Exported(*repository);
  json original = json::parse(kSampleModel);

  EXPECT_EQ(document["format"], "orba-model");
  EXPECT_EQ(document["version"], 1);
  ASSERT_EQ(document["elements"].size(), original["elements"].size());
  for (size_t index = 0; index < original["elements"].size(); ++index) {
    const json& given = original["elements"][index];
    const json& back = document["elements"][index];
    for (const auto& [field, value] : given.items()) {
      if (field == "operations") continue;  // given without GUIDs; compared below
      EXPECT_EQ(back[field], value) << "elements[" << index << "]." << field;
    }
  }
  EXPECT_EQ(document["elements"][0]["operations"][0]["parameters"],
            original["elements"][0]["operations"][0]["parameters"]);
  EXPECT_EQ(document["connectors"][1]["tags"], original["connectors"][1]["tags"]);
  EXPECT_EQ(document["connectors"][1]["supplierAggregation"], 2);
  EXPECT_EQ(document["packages"][1]["metatype"], "View");
  EXPECT_EQ(document["diagrams"], original["diagrams"]);
}

TEST(JsonExport, DerivedMetatypesAreNotWrittenButExplicitEmptyOnesAre) {
  auto repository = ImportedModel(R"({"packages": [{"key": "p", "name": "P"}], "elements": [
    {"key": "a", "package": "p", "type": "Class", "stereotype": "block"},
    {"key": "b", "package": "p", "type": "Class", "stereotype": "block", "metatype": ""}]})");
  repository->InstallTechnology(
      R"(<Quindle.Technology><Documentation id="T"/><UMLProfiles><UMLProfile><Content><Stereotypes>)"
      R"(<Stereotype name="block" metatype="Block"/></Stereotypes></Content></UMLProfile></UMLProfiles></Quindle.Technology>)");
  json document = Exported(*repository);
  EXPECT_FALSE(document["elements"][0].contains("metatype"));
  EXPECT_EQ(document["elements"][1]["metatype"], "");
  EXPECT_EQ(document["technologies"], json::array({"T"}));
}

TEST(JsonExport, ElementsCreatedSinceImportGetFreshKeys) {
  auto repository = ImportedModel(R"({"packages": [{"key": "p", "name": "P"}], "elements": [
    {"key": "element3", "package": "p", "type": "Class", "name": "Taken"}]})");
  host::ElementPtr created = repository->GetPackageByID(1)->Elements()->AddNew("New", "Class");
  created->Update();
  ASSERT_EQ(created->ElementID(), 3);
  json document = Exported(*repository);
  EXPECT_EQ(document["elements"][0]["key"], "element3");
  EXPECT_EQ(document["elements"][1]["key"], "element3_1");
  EXPECT_EQ(document["elements"][1]["guid"], created->ElementGUID());
  auto reimported = ImportedModel(document.dump());
  EXPECT_EQ(Exported(*reimported), document);
}

}  // namespace
}  // namespace orba::store::testing
