// The JSON model document: what an import stores, and an export gives back.
#include "orba/store/json_model.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "orba/store/model_session.h"
#include "store_fixtures.h"

namespace orba::store::testing {
namespace {

using nlohmann::json;
using ::testing::ElementsAre;

class JsonImport : public EngineTest {};
class JsonExport : public EngineTest {};
TESSARY_ON_EACH_ENGINE(JsonImport);
TESSARY_ON_EACH_ENGINE(JsonExport);

json Exported(ModelRepository& repository) { return json::parse(ExportJsonModel(repository)); }

// Only keys, types and connector ends are required; texts are kept exactly.
TEST_P(JsonImport, StoresWhatIsGivenAndDefaultsTheRest) {
  ModelRepository repository;
  repository.CreateInMemoryModel();
  const json given = json::parse(R"({"technologies": ["SysML", "Other"],
    "packages": [{"key": "root", "name": "Model"}], "elements": [
    {"key": "a", "package": "root", "type": "Class"},
    {"key": "b", "package": "root", "type": " class ", "name": "  Ünïcode\ttab ", "guid": "{Given}",
     "stereotype": "", "notes": "line\r\nnext\n", "metatype": "", "tags": [{"name": " N ", "value": ""}]},
    {"key": "child", "parent": "b", "type": "Port"},
    {"key": "loose", "type": "Class", "name": "Loose", "stereotype": "Block "},
    {"key": "part", "parent": "loose", "type": "Part"}],
    "connectors": [{"key": "to_package", "type": "Dependency", "client": "loose", "supplier": "root"}],
    "diagrams": [{"name": "D", "type": "T"}]})");
  const ImportResult result = ImportJsonModel(repository, given.dump());
  const auto element = [&](const char* key) {
    return repository.GetElementByID(result.keys.elements.at(key));
  };
  EXPECT_THAT(result.technologies, ElementsAre("SysML", "Other"));
  EXPECT_TRUE(repository.TechnologyIds().empty());
  EXPECT_EQ(Describe(element("a")), "Class \"\" <>  abstract=0 [] notes= parent=0 classifier=0");
  EXPECT_THAT(element("a")->ElementGUID(), ::testing::MatchesRegex(kGuidPattern));
  // A GUID not given is derived from the key: the same on every import.
  EXPECT_EQ(Exported(*ImportedModel(given.dump())), Exported(repository));
  EXPECT_EQ(
      Describe(element("b")),
      " class  \"  Ünïcode\ttab \" <>  abstract=0 [] notes=line\r\nnext\n parent=0 classifier=0"
      " tag  N =");
  EXPECT_EQ(element("b")->ElementGUID(), "{Given}");
  EXPECT_EQ(element("loose")->Stereotype(), "Block ");
  // Stereotype "" is stored as none: the SQL view shows NULL.
  EXPECT_THAT(
      repository.ExecuteSqlQuery("SELECT count(*) AS n FROM t_object WHERE Stereotype IS NULL"),
      ::testing::HasSubstr("<Row><n>5</n></Row>"));
  // An element is in its parent's package; without either, in none, as is a diagram.
  const json exported = Exported(repository);
  EXPECT_EQ(exported["elements"][2]["package"], "root");
  EXPECT_FALSE(exported["elements"][3].contains("package"));
  EXPECT_FALSE(exported["elements"][4].contains("package"));
  EXPECT_EQ(exported["diagrams"], given["diagrams"]);
  // A package as a connector end is the package's element.
  host::ConnectorPtr to_package =
      repository.GetConnectorByID(result.keys.connectors.at("to_package"));
  EXPECT_EQ(to_package->ClientID(), result.keys.elements.at("loose"));
  EXPECT_EQ(to_package->SupplierID(),
            repository.GetPackageByID(result.keys.packages.at("root"))->Element()->ElementID());
  EXPECT_EQ(Exported(*ImportedModel(exported.dump())), exported);
  EXPECT_THROW(ImportJsonModel(repository, kSampleModel), StoreError);  // the model is not empty
  EXPECT_EQ(repository.PackageIds().size(), 1u);
}

// An element without a package is in its parent's, also when the parent
// comes later in the list.
TEST_P(JsonImport, ElementsTakeThePackageOfParentsListedAfterThem) {
  auto repository = ImportedModel(R"({"packages": [{"key": "root", "name": "Model"}], "elements": [
    {"key": "grandchild", "parent": "child", "type": "Port"},
    {"key": "child", "parent": "top", "type": "Part"},
    {"key": "top", "package": "root", "type": "Class"},
    {"key": "looseChild", "parent": "loose", "type": "Part"},
    {"key": "loose", "type": "Class"}]})");
  const json elements = Exported(*repository)["elements"];
  ASSERT_EQ(elements.size(), 5u);
  for (size_t at : {0, 1, 2}) EXPECT_EQ(elements[at]["package"], "root") << at;
  for (size_t at : {3, 4}) EXPECT_FALSE(elements[at].contains("package")) << at;
}

// Items are written as they are read; a document refused at its last item,
// or by a check of the whole document after it, leaves the model as it was.
// A model that cannot take the import still reports a refused document.
TEST_P(JsonImport, ARefusedDocumentLeavesTheModelAsItWas) {
  const json sample = json::parse(kSampleModel);
  json late_key = sample;
  late_key["diagrams"].push_back({{"package", "nowhere"}, {"name", "D"}, {"type", "T"}});
  json cycle = sample;
  cycle["elements"][0]["parent"] = "part";
  // The GUID derived for the first connector, given to the last: refused
  // once all are read, and then already in the file but for the last.
  json derived_guid = sample;
  const std::string guid = Exported(*ImportedModel(kSampleModel))["connectors"][0]["guid"];
  derived_guid["connectors"][2]["guid"] = guid;
  const std::pair<json, std::string> cases[] = {
      {late_key, "diagrams[1].package: unknown key \"nowhere\""},
      {cycle, "elements[0].parent: the parents form a cycle"},
      {derived_guid, "connectors[0]: the GUID \"" + guid +
                         "\" derived from connector \"self\" is already the GUID of "
                         "\"wheelLink\" (connectors[2]); give one of them another"},
  };
  ModelRepository repository;
  repository.CreateInMemoryModel();
  const std::string empty = ExportJsonModel(repository);
  for (const auto& [document, message] : cases) {
    EXPECT_EQ(ErrorOf([&, &document = document] { ImportJsonModel(repository, document.dump()); }),
              message);
    EXPECT_EQ(ExportJsonModel(repository), empty);
  }
  auto full = ImportedModel(kSampleModel);
  EXPECT_EQ(ErrorOf([&] { ImportJsonModel(*full, late_key.dump()); }), cases[0].second);
  EXPECT_THAT(ErrorOf([&] { ImportJsonModel(*full, kSampleModel); }),
              ::testing::StartsWith("cannot import into a model that is not empty"));
}

// Nothing imported is changed or dropped; added are only the GUIDs, the
// packages taken from parents, and the (empty) list of technologies.
// Keys stored by an import that let a package, an element and a connector
// share one: the first keeps it, the others get new keys, as do elements
// created since, unless taken. Bytes that are not UTF-8 are written as
// replacement characters (in names: model_commands.txt of tests/orba/cli).
// What is exported imports as the same.
TEST_P(JsonExport, GivesBackWhatWasImportedWithUniqueKeysAndTextsRepaired) {
  KeyMap keys;
  auto repository = ImportedModel(kSampleModel, &keys);
  for (const json& change : json::diff(json::parse(kSampleModel), Exported(*repository))) {
    EXPECT_THAT(change["op"].get<std::string>() + " " + change["path"].get<std::string>(),
                ::testing::MatchesRegex("add (.*/(guid|package)|/technologies)"))
        << change;
  }
  host::ElementPtr created = repository->GetPackageByID(1)->Elements()->AddNew("New", "Class");
  created->Update();
  ASSERT_EQ(created->ElementID(), 11);
  repository->Session().Db().Execute(
      "UPDATE t_object SET Model_Key = 'element11' WHERE Model_Key = 'drive';"
      "UPDATE t_object SET Model_Key = 'root' WHERE Model_Key = 'wheel';"
      "UPDATE t_connector SET Model_Key = 'root' WHERE Model_Key = 'self'");
  // Text that is not UTF-8 exists only in a file SQLite wrote behind the host's back.
  const bool sqlite = GetParam() == Engine::kSqlite;
  if (sqlite) {
    repository->Session().Db().Execute(
        "UPDATE t_objectproperties SET Value = CAST(x'41c3' AS TEXT)");
  }
  json document = Exported(*repository);
  EXPECT_EQ(document["packages"][0]["key"], "root");
  const json& wheel = document["elements"][4];
  EXPECT_EQ(wheel["key"], "element" + std::to_string(keys.elements.at("wheel")));
  EXPECT_EQ(document["elements"][2]["classifier"], wheel["key"]);
  EXPECT_EQ(document["connectors"][2]["client"], wheel["key"]);
  EXPECT_EQ(document["connectors"][0]["key"],
            "connector" + std::to_string(keys.connectors.at("self")));
  EXPECT_EQ(document["elements"][5]["key"], "element11");
  EXPECT_EQ(document["elements"][8]["key"], "element11_1");
  EXPECT_EQ(document["elements"][8]["guid"], created->ElementGUID());
  if (sqlite) {
    EXPECT_EQ(document["elements"][0]["tags"][0]["value"], "A\uFFFD");
  }
  EXPECT_EQ(Exported(*ImportedModel(document.dump())), document);
  // A model file made before items had further fields, or diagrams
  // contents, reads as having none.
  auto older = ImportedModel(kSampleModel);
  older->Session().Db().Execute(
      "DROP TABLE orba_item_field; DROP TABLE t_diagramobjects; DROP TABLE t_diagramlinks");
  const json old_document = Exported(*older);
  EXPECT_FALSE(old_document["elements"][0].contains("xmiId"));
  EXPECT_FALSE(old_document["connectors"][1].contains("clientRole"));
  EXPECT_EQ(old_document["diagrams"][0], json::parse(R"({"package": "root", "name": "Overview",
                                                          "type": "SysML::Block"})"));
}

}  // namespace
}  // namespace orba::store::testing
