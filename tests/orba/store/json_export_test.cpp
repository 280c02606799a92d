#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "orba/store/json_model.h"
#include "orba/store/model_session.h"
#include "store_fixtures.h"

namespace orba::store::testing {
namespace {

using nlohmann::json;

json Exported(ModelRepository& repository) { return json::parse(ExportJsonModel(repository)); }

TEST(JsonExport, GivesBackWhatWasImportedAndReadsBackTheSame) {
  auto repository = ImportedModel(kSampleModel);
  const std::string exported = ExportJsonModel(*repository);
  EXPECT_EQ(ExportJsonModel(*ImportedModel(exported)), exported);
  const json document = json::parse(exported);
  const json original = json::parse(kSampleModel);

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

TEST(JsonExport, AbsentReferencesStayAbsent) {
  const json given = json::parse(R"({"packages": [{"key": "p", "name": "P"}], "elements": [
    {"key": "loose", "type": "Class", "name": "Loose"}],
    "diagrams": [{"name": "D", "type": "T"}]})");
  auto repository = ImportedModel(given.dump());
  json document = Exported(*repository);
  EXPECT_FALSE(document["elements"][0].contains("package"));
  EXPECT_EQ(document["diagrams"], given["diagrams"]);
  EXPECT_EQ(Exported(*ImportedModel(document.dump())), document);
}

// Keys stored by an import that let a package, an element and a connector
// share one: the first keeps it, the others get new keys.
TEST(JsonExport, StoredKeysSharedBetweenKindsBecomeUnique) {
  KeyMap keys;
  auto repository = ImportedModel(kSampleModel, &keys);
  repository->Session().Db().Execute(
      "UPDATE t_object SET Model_Key = 'root' WHERE Model_Key = 'wheel';"
      "UPDATE t_connector SET Model_Key = 'root' WHERE Model_Key = 'self'");
  json document = Exported(*repository);
  EXPECT_EQ(document["packages"][0]["key"], "root");
  const json& wheel = document["elements"][4];
  EXPECT_EQ(wheel["key"], "element" + std::to_string(keys.elements.at("wheel")));
  EXPECT_EQ(document["elements"][2]["classifier"], wheel["key"]);
  EXPECT_EQ(document["connectors"][2]["client"], wheel["key"]);
  EXPECT_EQ(document["connectors"][0]["key"],
            "connector" + std::to_string(keys.connectors.at("self")));
  EXPECT_EQ(Exported(*ImportedModel(document.dump())), document);
}

TEST(JsonExport, BytesThatAreNotUtf8AreWrittenAsReplacementCharacters) {
  auto repository = ImportedModel(kSampleModel);
  repository->Session().Db().Execute(
      "UPDATE t_object SET Name = CAST(x'56ff65' AS TEXT) WHERE Model_Key = 'block';"
      "UPDATE t_objectproperties SET Value = CAST(x'41c3' AS TEXT)");
  json document = Exported(*repository);
  EXPECT_EQ(document["elements"][0]["name"], "V\uFFFDe");
  EXPECT_EQ(document["elements"][0]["tags"][0]["value"], "A\uFFFD");
}

// SQL run on the sample model, and the message of the export's error.
struct Damage {
  const char* name;
  const char* sql;
  const char* message;
  friend void PrintTo(const Damage& damage, std::ostream* out) { *out << damage.sql; }
};

class JsonExportDamageTest : public ::testing::TestWithParam<Damage> {};

TEST_P(JsonExportDamageTest, NamesTheItemAndWhatIsWrongWithIt) {
  auto repository = ImportedModel(kSampleModel);
  repository->Session().Db().Execute(GetParam().sql);
  try {
    ExportJsonModel(*repository);
    ADD_FAILURE() << "exported";
  } catch (const StoreError& error) {
    EXPECT_EQ(error.what(), std::string(GetParam().message));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Models, JsonExportDamageTest,
    ::testing::Values(
        Damage{"ElementPackage", "UPDATE t_object SET Package_ID = 99 WHERE Object_ID = 3",
               "element 3 (\"Vehicle\") refers to package 99, which the model does not have"},
        Damage{"ElementParent", "UPDATE t_object SET ParentID = 99 WHERE Object_ID = 4",
               "element 4 (\"p2\") refers to parent 99, which the model does not have"},
        Damage{"ElementClassifier", "UPDATE t_object SET Classifier = 98 WHERE Object_ID = 5",
               "element 5 (\"front\") refers to classifier 98, which the model does not have"},
        Damage{"ElementPropertyType", "UPDATE t_object SET PropertyType = 97 WHERE Object_ID = 7",
               "element 7 (\"Wheel\") refers to property type 97, which the model does not have"},
        Damage{"ClassifierIsAPackage", "UPDATE t_object SET Classifier = 2 WHERE Object_ID = 5",
               "element 5 (\"front\") refers to classifier 2, which stands for a package"},
        Damage{"PackageParent", "UPDATE t_package SET Parent_ID = 99 WHERE Package_ID = 2",
               "package 2 (\"Views\") refers to parent 99, which the model does not have"},
        Damage{"PackageElement", "UPDATE t_package SET Object_ID = 99 WHERE Package_ID = 2",
               "package 2 (\"Views\") refers to element 99, which the model does not have"},
        Damage{
            "ConnectorClient", "UPDATE t_connector SET Start_Object_ID = 99 WHERE Connector_ID = 2",
            "connector 2 (type \"Dependency\") refers to client 99, which the model does not have"},
        Damage{"ConnectorSupplier",
               "UPDATE t_connector SET End_Object_ID = 99 WHERE Connector_ID = 3",
               "connector 3 (type \"Association\") refers to supplier 99, which the model does not "
               "have"},
        Damage{"DiagramPackage", "UPDATE t_diagram SET Package_ID = 99",
               "diagram 1 (\"Overview\") refers to package 99, which the model does not have"},
        Damage{
            "ElementParentNotANumber",
            "UPDATE t_object SET ParentID = '300abc' WHERE Object_ID = 4",
            "model file is damaged: :memory: (t_object.ParentID of the row with Object_ID 4 holds "
            "\"300abc\", not an integer)"},
        Damage{"PackageParentWithAFraction",
               "UPDATE t_package SET Parent_ID = 1.5 WHERE Package_ID = 2",
               "model file is damaged: :memory: (t_package.Parent_ID of the row with Package_ID 2 "
               "holds "
               "1.5, not an integer)"},
        Damage{"ConnectorClientABlob",
               "UPDATE t_connector SET Start_Object_ID = x'00' WHERE Connector_ID = 2",
               "model file is damaged: :memory: (t_connector.Start_Object_ID of the row with "
               "Connector_ID 2 holds a blob of 1 bytes, not an integer)"},
        Damage{
            "DiagramFlagsText", "UPDATE t_diagram SET Display_Flags = 'abc'",
            "model file is damaged: :memory: (t_diagram.Display_Flags of the row with Diagram_ID 1 "
            "holds \"abc\", not an integer)"}),
    [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace orba::store::testing
