#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <regex>

#include "orba/store/json_model.h"
#include "orba/store/model_session.h"
#include "store_fixtures.h"
#include "support/temp_folder.h"

namespace orba::store::testing {
namespace {

using ::testing::ElementsAre;

struct BadDocument {
  const char* name;
  const char* json;
  const char* message;
};

// A valid document with one package, two elements and a connector; each bad
// case changes one thing in it.
std::string Document(const std::string& packages, const std::string& elements,
                     const std::string& connectors = "[]", const std::string& extra = "") {
  return R"({"format": "orba-model", "version": 1)" + extra + R"(, "packages": )" + packages +
         R"(, "elements": )" + elements + R"(, "connectors": )" + connectors + "}";
}

const std::string kPackages = R"([{"key": "root", "name": "Model"}])";

class JsonImportErrorTest : public ::testing::TestWithParam<BadDocument> {};

TEST_P(JsonImportErrorTest, NamesThePlaceAndWritesNothing) {
  ModelRepository repository;
  repository.CreateInMemoryModel();
  try {
    ImportJsonModel(repository, GetParam().json);
    FAIL() << "imported";
  } catch (const ImportError& error) {
    EXPECT_EQ(std::string(error.what()), GetParam().message);
  }
  EXPECT_TRUE(repository.PackageIds().empty());
  EXPECT_TRUE(repository.ElementIds().empty());
  EXPECT_TRUE(repository.ConnectorIds().empty());
}

const std::string kUnknownClassifier = Document(kPackages, R"([
  {"key": "car", "package": "root", "type": "Class", "name": "Car"},
  {"key": "a", "package": "root", "type": "Class", "name": "A"},
  {"key": "b", "package": "root", "type": "Class", "name": "B"},
  {"key": "front", "package": "root", "type": "Part", "name": "front", "classifier": "wheel"}])");
const std::string kDuplicateKey = Document(kPackages, R"([
  {"key": "car", "package": "root", "type": "Class"}, {"key": "car", "package": "root", "type": "Class"}])");
const std::string kDuplicatePackageKey =
    Document(R"([{"key": "p", "name": "A"}, {"key": "p", "name": "B"}])", "[]");
const std::string kNameNotText =
    Document(kPackages, R"([{"key": "car", "package": "root", "type": "Class", "name": 5}])");
const std::string kMissingType = Document(kPackages, R"([{"key": "car", "package": "root"}])");
const std::string kMissingKey = Document(kPackages, R"([{"package": "root", "type": "Class"}])");
const std::string kUnknownPackage =
    Document(kPackages, R"([{"key": "car", "package": "nowhere", "type": "Class"}])");
const std::string kUnknownParent =
    Document(kPackages, R"([{"key": "car", "package": "root", "type": "Class", "parent": "x"}])");
const std::string kParentCycle = Document(kPackages, R"([
  {"key": "a", "package": "root", "type": "Class", "parent": "b"},
  {"key": "b", "package": "root", "type": "Class", "parent": "a"}])");
const std::string kPackageCycle = Document(
    R"([{"key": "p", "name": "P", "parent": "q"}, {"key": "q", "name": "Q", "parent": "p"}])",
    "[]");
const std::string kUnknownField =
    Document(kPackages, R"([{"key": "car", "package": "root", "type": "Class", "nmae": "Car"}])");
const std::string kTagNotObject =
    Document(kPackages, R"([{"key": "car", "package": "root", "type": "Class", "tags": ["x"]}])");
const std::string kTagValueNotText = Document(
    kPackages,
    R"([{"key": "car", "package": "root", "type": "Class", "tags": [{"name": "t", "value": 1}]}])");
const std::string kParameterWithoutName = Document(kPackages, R"([{"key": "car", "package": "root",
  "type": "Class", "operations": [{"name": "run", "parameters": [{"type": "Integer"}]}]}])");
const std::string kUnknownClient =
    Document(kPackages, R"([{"key": "car", "package": "root", "type": "Class"}])",
             R"([{"key": "c", "type": "Association", "client": "bus", "supplier": "car"}])");
const std::string kBadAggregation = Document(
    kPackages, R"([{"key": "car", "package": "root", "type": "Class"}])",
    R"([{"key": "c", "type": "Association", "client": "car", "supplier": "car", "supplierAggregation": 3}])");
const std::string kDuplicateGuid = Document(kPackages, R"([
  {"key": "a", "package": "root", "type": "Class", "guid": "{G}"},
  {"key": "b", "package": "root", "type": "Class", "guid": "{G}"}])");
// GUIDs ignore letter case.
const std::string kGuidsDifferingInCase =
    Document(R"([{"key": "root", "name": "Model", "guid": "{ab-c1}"}])", R"([
  {"key": "car", "package": "root", "type": "Class", "guid": "{AB-C1}"}])");
const std::string kOperationGuidsDifferingInCase = Document(kPackages, R"([
  {"key": "a", "type": "Class", "operations": [{"name": "run", "guid": "{Op}"}]},
  {"key": "b", "type": "Class", "operations": [{"name": "stop", "guid": "{oP}"}]}])");
const std::string kConnectorWithoutClient =
    Document(kPackages, R"([{"key": "car", "package": "root", "type": "Class"}])",
             R"([{"key": "a1", "type": "Dependency", "supplier": "car"}])");
const std::string kConnectorWithoutSupplier =
    Document(kPackages, R"([{"key": "car", "package": "root", "type": "Class"}])",
             R"([{"key": "a1", "type": "Dependency", "client": "root"}])");
// Model texts may hold TAB, LF and CR, but no other control character.
const std::string kEscapeInName = Document(
    kPackages, R"([{"key": "car", "package": "root", "type": "Class", "name": "Car\u001b]0;x"}])");
const std::string kNulInTagValue = Document(kPackages, R"([{"key": "car", "package": "root",
  "type": "Class", "tags": [{"name": "t", "value": "a\u0000b"}]}])");
const std::string kDeleteInKey = Document(R"([{"key": "ro\u007fot", "name": "Model"}])", "[]");
const std::string kC1InTechnology =
    Document(kPackages, "[]", "[]", R"(, "technologies": ["Sys\u009bML"])");
const std::string kElementsNotArray = Document(kPackages, R"({"key": "car"})");
const std::string kDiagramUnknownPackage = Document(
    kPackages, "[]", "[]", R"(, "diagrams": [{"package": "x", "name": "D", "type": "T"}])");
const std::string kTechnologyNotText = Document(kPackages, "[]", "[]", R"(, "technologies": [1])");
// Packages, elements and connectors share one namespace of keys.
const std::string kPackageAndElementKey =
    Document(R"([{"key": "x", "name": "P"}])", R"([{"key": "x", "package": "x", "type": "Class"}])",
             R"([{"key": "c", "type": "Dependency", "client": "x", "supplier": "x"}])");
const std::string kElementAndConnectorKey = Document(kPackages, R"([
  {"key": "a", "package": "root", "type": "Class"}, {"key": "car", "package": "root", "type": "Class"}])",
                                                     R"([{"key": "car", "type": "Dependency"}])");
const std::string kPackageAndConnectorKey = Document(kPackages, "[]", R"([
  {"key": "c", "type": "Dependency"}, {"key": "root", "type": "Dependency"}])");

INSTANTIATE_TEST_SUITE_P(
    Documents, JsonImportErrorTest,
    ::testing::Values(
        BadDocument{"NotAnObject", "[1, 2]", "expected an object"},
        BadDocument{"BadFormat", R"({"format": "other"})",
                    "format: expected \"orba-model\", found \"other\""},
        BadDocument{"BadVersion", R"({"format": "orba-model", "version": 2})",
                    "version: unsupported version 2 (this host reads version 1)"},
        BadDocument{"UnknownTopLevelField", R"({"pakages": []})", "unknown field \"pakages\""},
        BadDocument{"UnknownClassifier", kUnknownClassifier.c_str(),
                    "elements[3].classifier: unknown key \"wheel\""},
        BadDocument{"DuplicateKey", kDuplicateKey.c_str(),
                    "elements[1].key: duplicate key \"car\""},
        BadDocument{"DuplicatePackageKey", kDuplicatePackageKey.c_str(),
                    "packages[1].key: duplicate key \"p\""},
        BadDocument{"NameNotText", kNameNotText.c_str(), "elements[0].name: expected a string"},
        BadDocument{"MissingType", kMissingType.c_str(), "elements[0]: missing field \"type\""},
        BadDocument{"MissingKey", kMissingKey.c_str(), "elements[0]: missing field \"key\""},
        BadDocument{"UnknownPackage", kUnknownPackage.c_str(),
                    "elements[0].package: unknown key \"nowhere\""},
        BadDocument{"UnknownParent", kUnknownParent.c_str(),
                    "elements[0].parent: unknown key \"x\""},
        BadDocument{"ParentCycle", kParentCycle.c_str(),
                    "elements[0].parent: the parents form a cycle"},
        BadDocument{"PackageCycle", kPackageCycle.c_str(),
                    "packages[0].parent: the parents form a cycle"},
        BadDocument{"UnknownField", kUnknownField.c_str(), "elements[0]: unknown field \"nmae\""},
        BadDocument{"TagNotObject", kTagNotObject.c_str(),
                    "elements[0].tags[0]: expected an object"},
        BadDocument{"TagValueNotText", kTagValueNotText.c_str(),
                    "elements[0].tags[0].value: expected a string"},
        BadDocument{"ParameterWithoutName", kParameterWithoutName.c_str(),
                    "elements[0].operations[0].parameters[0]: missing field \"name\""},
        BadDocument{"UnknownClient", kUnknownClient.c_str(),
                    "connectors[0].client: unknown key \"bus\""},
        BadDocument{"BadAggregation", kBadAggregation.c_str(),
                    "connectors[0].supplierAggregation: expected a whole number from 0 to 2"},
        BadDocument{"DuplicateGuid", kDuplicateGuid.c_str(),
                    "elements[1].guid: the GUID \"{G}\" of \"b\" is already the GUID of \"a\" "
                    "(elements[0]); GUIDs ignore letter case"},
        BadDocument{"GuidsDifferingInCase", kGuidsDifferingInCase.c_str(),
                    "elements[0].guid: the GUID \"{AB-C1}\" of \"car\" is already the GUID of "
                    "\"root\" (packages[0]); GUIDs ignore letter case"},
        BadDocument{"OperationGuidsDifferingInCase", kOperationGuidsDifferingInCase.c_str(),
                    "elements[1].operations[0].guid: the GUID \"{oP}\" of \"b\" is already the "
                    "GUID of \"a\" (elements[0].operations[0]); GUIDs ignore letter case"},
        BadDocument{"ConnectorWithoutClient", kConnectorWithoutClient.c_str(),
                    "connectors[0]: connector \"a1\" has no client (a connector joins a client "
                    "and a supplier)"},
        BadDocument{"ConnectorWithoutSupplier", kConnectorWithoutSupplier.c_str(),
                    "connectors[0]: connector \"a1\" has no supplier (a connector joins a client "
                    "and a supplier)"},
        BadDocument{"EscapeInName", kEscapeInName.c_str(),
                    "elements[0].name: the text of \"car\" holds the control character U+001B "
                    "(only TAB, LF and CR are allowed)"},
        BadDocument{"NulInTagValue", kNulInTagValue.c_str(),
                    "elements[0].tags[0].value: the text of \"car\" holds the control character "
                    "U+0000 (only TAB, LF and CR are allowed)"},
        BadDocument{"DeleteInKey", kDeleteInKey.c_str(),
                    "packages[0].key: the text of \"ro\\x7Fot\" holds the control character U+007F "
                    "(only TAB, LF and CR are allowed)"},
        BadDocument{"C1InTechnology", kC1InTechnology.c_str(),
                    "technologies[0]: the text holds the control character U+009B (only TAB, LF "
                    "and CR are allowed)"},
        BadDocument{"ElementsNotArray", kElementsNotArray.c_str(), "elements: expected an array"},
        BadDocument{"DiagramUnknownPackage", kDiagramUnknownPackage.c_str(),
                    "diagrams[0].package: unknown key \"x\""},
        BadDocument{"TechnologyNotText", kTechnologyNotText.c_str(),
                    "technologies[0]: expected a string"},
        BadDocument{"PackageAndElementKey", kPackageAndElementKey.c_str(),
                    "elements[0].key: duplicate key \"x\""},
        BadDocument{"ElementAndConnectorKey", kElementAndConnectorKey.c_str(),
                    "connectors[0].key: duplicate key \"car\""},
        BadDocument{"PackageAndConnectorKey", kPackageAndConnectorKey.c_str(),
                    "connectors[1].key: duplicate key \"root\""}),
    [](const ::testing::TestParamInfo<BadDocument>& info) { return info.param.name; });

TEST(JsonImport, NotJsonSaysSo) {
  for (const char* text : {"{\"packages\": [", "[1e99999]"}) {
    ModelRepository repository;
    repository.CreateInMemoryModel();
    try {
      ImportJsonModel(repository, text);
      ADD_FAILURE() << "imported " << text;
    } catch (const ImportError& error) {
      EXPECT_THAT(error.what(), ::testing::StartsWith("not a JSON document: ")) << text;
    }
  }
}

TEST(JsonImport, KeysMapToIdsAndTechnologiesAreReported) {
  ModelRepository repository;
  repository.CreateInMemoryModel();
  ImportResult result =
      ImportJsonModel(repository, Document(kPackages, R"([
    {"key": "a", "package": "root", "type": "Class", "name": "A"},
    {"key": "b", "package": "root", "type": "Class", "name": "B"}])",
                                           "[]", R"(, "technologies": ["SysML", "Other"])"));
  EXPECT_THAT(result.technologies, ElementsAre("SysML", "Other"));
  EXPECT_EQ(repository.GetElementByID(result.keys.elements.at("b"))->Name(), "B");
  EXPECT_EQ(repository.GetPackageByID(result.keys.packages.at("root"))->Name(), "Model");
  EXPECT_TRUE(repository.TechnologyIds().empty());
}

TEST(JsonImport, DefaultsAreEmptyAndGuidsAreKeptOrMade) {
  ModelRepository repository;
  repository.CreateInMemoryModel();
  KeyMap keys = ImportJsonModel(repository, Document(kPackages, R"([
    {"key": "a", "package": "root", "type": "Class"},
    {"key": "b", "package": "root", "type": "Class", "guid": "{Given}", "stereotype": ""},
    {"key": "child", "parent": "b", "type": "Port"}])"))
                    .keys;
  host::ElementPtr a = repository.GetElementByID(keys.elements.at("a"));
  EXPECT_EQ(a->Name(), "");
  EXPECT_EQ(a->Stereotype(), "");
  EXPECT_EQ(a->Notes(), "");
  EXPECT_EQ(a->Multiplicity(), "");
  EXPECT_EQ(a->ClassifierID(), 0);
  EXPECT_TRUE(std::regex_match(a->ElementGUID(),
                               std::regex(R"(\{[0-9A-F]{8}(-[0-9A-F]{4}){3}-[0-9A-F]{12}\})")));
  EXPECT_EQ(repository.GetElementByID(keys.elements.at("b"))->ElementGUID(), "{Given}");
  // Stereotype "" is stored as none: the SQL view shows NULL.
  EXPECT_EQ(
      repository.ExecuteSqlQuery("SELECT count(*) AS n FROM t_object WHERE Stereotype IS NULL"),
      "<?xml "
      "version=\"1.0\"?><OrbaData><Dataset_0><Data><Row><n>4</n></Row></Data></Dataset_0></"
      "OrbaData>");
  // An element given only a parent is in its parent's package.
  EXPECT_THAT(NamesOf(repository.GetPackageByID(keys.packages.at("root"))->Elements()),
              ElementsAre("", ""));
}

TEST(JsonImport, OnlyKeyNameTypeAndConnectorEndsAreRequired) {
  ModelRepository repository;
  repository.CreateInMemoryModel();
  const std::string document = Document(kPackages, R"([
    {"key": "loose", "type": "Class", "name": "Loose"},
    {"key": "part", "parent": "loose", "type": "Part"}])",
                                        R"([
    {"key": "to_package", "type": "Dependency", "client": "loose", "supplier": "root"}])",
                                        R"(, "diagrams": [{"name": "D", "type": "T"}])");
  KeyMap keys = ImportJsonModel(repository, document).keys;
  ModelSession& session = repository.Session();
  // Without a package (or a parent that has one) an element is in package 0.
  EXPECT_EQ(session.FindElement(keys.elements.at("loose"))->package_id, 0);
  EXPECT_EQ(session.FindElement(keys.elements.at("part"))->package_id, 0);
  // A package as a connector end is the package's element.
  host::ConnectorPtr to_package = repository.GetConnectorByID(keys.connectors.at("to_package"));
  EXPECT_EQ(to_package->ClientID(), keys.elements.at("loose"));
  EXPECT_EQ(to_package->SupplierID(), keys.packages.at("root"));
  ASSERT_EQ(session.AllDiagrams().size(), 1u);
  EXPECT_EQ(session.AllDiagrams()[0].package_id, 0);
}

TEST(JsonImport, TextsAreKeptExactly) {
  ModelRepository repository;
  repository.CreateInMemoryModel();
  KeyMap keys = ImportJsonModel(repository, Document(kPackages, R"([
    {"key": "a", "package": "root", "type": " class ", "name": "  Ünïcode\ttab ", "stereotype": "Block ",
     "notes": "line\r\nnext\n",
     "metatype": "", "tags": [{"name": " N ", "value": ""}]}])"))
                    .keys;
  host::ElementPtr a = repository.GetElementByID(keys.elements.at("a"));
  EXPECT_EQ(a->Type(), " class ");
  EXPECT_EQ(a->Name(), "  Ünïcode\ttab ");
  EXPECT_EQ(a->Notes(), "line\r\nnext\n");
  EXPECT_EQ(a->Stereotype(), "Block ");
  EXPECT_EQ(a->Metatype(), "");
  EXPECT_EQ(a->TaggedValues()->Items()[0]->Name(), " N ");
}

TEST(JsonImport, RefusesAModelThatIsNotEmpty) {
  auto repository = ImportedModel(kSampleModel);
  EXPECT_THROW(ImportJsonModel(*repository, kSampleModel), StoreError);
  EXPECT_EQ(repository->PackageIds().size(), 2u);
}

TEST(JsonImportFile, CreatesTheFileAndLeavesItOpen) {
  testing_support::TempFolder folder;
  std::string path = (folder.path() / "model.obx").string();
  ModelRepository repository;
  ImportJsonModelFile(repository, kSampleModel, path);
  EXPECT_EQ(repository.ModelLocation(), path);
  EXPECT_EQ(repository.PackageIds().size(), 2u);
  EXPECT_THAT(
      std::vector<std::filesystem::path>(std::filesystem::directory_iterator(folder.path()), {}),
      ElementsAre(path));
}

TEST(JsonImportFile, AFailedImportLeavesTheOldFileUntouched) {
  testing_support::TempFolder folder;
  std::string path = (folder.path() / "model.obx").string();
  ModelRepository repository;
  ImportJsonModelFile(repository, kSampleModel, path);
  repository.CloseModel();
  std::ifstream before_stream(path, std::ios::binary);
  std::string before((std::istreambuf_iterator<char>(before_stream)), {});

  EXPECT_THROW(ImportJsonModelFile(repository, kDuplicateKey, path), ImportError);

  std::ifstream after_stream(path, std::ios::binary);
  EXPECT_EQ(std::string((std::istreambuf_iterator<char>(after_stream)), {}), before);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()), {}), 1);
}

}  // namespace
}  // namespace orba::store::testing
