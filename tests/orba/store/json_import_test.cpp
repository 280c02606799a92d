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

// A case of cases/import_errors.txt.
struct BadDocument {
  std::string name;
  std::string json;
  std::string message;
  friend void PrintTo(const BadDocument& bad, std::ostream* out) { *out << bad.name; }
};

std::vector<BadDocument> BadDocuments() {
  std::ifstream in(TESSARY_SOURCE_ROOT "/tests/orba/store/cases/import_errors.txt");
  std::vector<BadDocument> documents;
  for (std::string line; std::getline(in, line);) {
    if (line.starts_with("#")) continue;
    if (line.starts_with("  ")) {
      documents.back().message = line.substr(2);
    } else {
      const size_t space = line.find(' ');
      documents.push_back({line.substr(0, space), line.substr(space + 1), ""});
    }
  }
  return documents;
}

class JsonImportErrorTest : public ::testing::TestWithParam<BadDocument> {};

TEST_P(JsonImportErrorTest, NamesThePlaceAndWritesNothing) {
  ModelRepository repository;
  repository.CreateInMemoryModel();
  try {
    ImportJsonModel(repository, GetParam().json);
    ADD_FAILURE() << "imported";
  } catch (const ImportError& error) {
    const std::string& message = GetParam().message;
    if (message.ends_with(" ...")) {
      EXPECT_THAT(error.what(), ::testing::StartsWith(message.substr(0, message.size() - 3)));
    } else {
      EXPECT_EQ(error.what(), message);
    }
  }
  EXPECT_TRUE(repository.PackageIds().empty());
  EXPECT_TRUE(repository.ElementIds().empty());
  EXPECT_TRUE(repository.ConnectorIds().empty());
}

INSTANTIATE_TEST_SUITE_P(Documents, JsonImportErrorTest, ::testing::ValuesIn(BadDocuments()),
                         [](const auto& info) { return info.param.name; });

TEST(JsonImport, KeysMapToIdsAndTechnologiesAreReported) {
  auto repository = std::make_shared<ModelRepository>();
  repository->CreateInMemoryModel();
  const ImportResult result = ImportJsonModel(*repository, R"({"technologies": ["SysML", "Other"],
    "packages": [{"key": "root", "name": "Model"}], "elements": [
    {"key": "a", "package": "root", "type": "Class", "name": "A"},
    {"key": "b", "package": "root", "type": "Class", "name": "B"}]})");
  EXPECT_THAT(result.technologies, ElementsAre("SysML", "Other"));
  EXPECT_EQ(repository->GetElementByID(result.keys.elements.at("b"))->Name(), "B");
  EXPECT_EQ(repository->GetPackageByID(result.keys.packages.at("root"))->Name(), "Model");
  EXPECT_TRUE(repository->TechnologyIds().empty());
}

TEST(JsonImport, DefaultsAreEmptyAndGuidsAreKeptOrMade) {
  KeyMap keys;
  auto repository = ImportedModel(R"({"packages": [{"key": "root", "name": "Model"}], "elements": [
    {"key": "a", "package": "root", "type": "Class"},
    {"key": "b", "package": "root", "type": "Class", "guid": "{Given}", "stereotype": ""},
    {"key": "child", "parent": "b", "type": "Port"}]})",
                                  &keys);
  host::ElementPtr a = repository->GetElementByID(keys.elements.at("a"));
  EXPECT_EQ(a->Name() + a->Stereotype() + a->Notes() + a->Multiplicity(), "");
  EXPECT_EQ(a->ClassifierID(), 0);
  EXPECT_TRUE(std::regex_match(a->ElementGUID(),
                               std::regex(R"(\{[0-9A-F]{8}(-[0-9A-F]{4}){3}-[0-9A-F]{12}\})")));
  EXPECT_EQ(repository->GetElementByID(keys.elements.at("b"))->ElementGUID(), "{Given}");
  // Stereotype "" is stored as none: the SQL view shows NULL.
  EXPECT_EQ(
      repository->ExecuteSqlQuery("SELECT count(*) AS n FROM t_object WHERE Stereotype IS NULL"),
      "<?xml version=\"1.0\"?><OrbaData><Dataset_0><Data><Row><n>4</n></Row></Data></Dataset_0>"
      "</OrbaData>");
  // An element given only a parent is in its parent's package.
  EXPECT_THAT(NamesOf(repository->GetPackageByID(keys.packages.at("root"))->Elements()),
              ElementsAre("", ""));
}

TEST(JsonImport, OnlyKeyNameTypeAndConnectorEndsAreRequired) {
  KeyMap keys;
  auto repository = ImportedModel(R"({"packages": [{"key": "root", "name": "Model"}], "elements": [
    {"key": "loose", "type": "Class", "name": "Loose"},
    {"key": "part", "parent": "loose", "type": "Part"}],
    "connectors": [
      {"key": "to_package", "type": "Dependency", "client": "loose", "supplier": "root"}],
    "diagrams": [{"name": "D", "type": "T"}]})",
                                  &keys);
  ModelSession& session = repository->Session();
  // Without a package (or a parent that has one) an element is in package 0.
  EXPECT_EQ(session.FindElement(keys.elements.at("loose"))->package_id, 0);
  EXPECT_EQ(session.FindElement(keys.elements.at("part"))->package_id, 0);
  // A package as a connector end is the package's element.
  host::ConnectorPtr to_package = repository->GetConnectorByID(keys.connectors.at("to_package"));
  EXPECT_EQ(to_package->ClientID(), keys.elements.at("loose"));
  EXPECT_EQ(to_package->SupplierID(), keys.packages.at("root"));
  ASSERT_EQ(session.AllDiagrams().size(), 1u);
  EXPECT_EQ(session.AllDiagrams()[0].package_id, 0);
}

TEST(JsonImport, TextsAreKeptExactly) {
  KeyMap keys;
  auto repository = ImportedModel(R"({"packages": [{"key": "root", "name": "Model"}], "elements": [
    {"key": "a", "package": "root", "type": " class ", "name": "  Ünïcode\ttab ",
     "stereotype": "Block ", "notes": "line\r\nnext\n", "metatype": "",
     "tags": [{"name": " N ", "value": ""}]}]})",
                                  &keys);
  host::ElementPtr a = repository->GetElementByID(keys.elements.at("a"));
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

std::string Bytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// A file is made whole or not at all: a failed import leaves the old one as it was.
TEST(JsonImportFile, CreatesTheFileAndLeavesItOpenOrLeavesTheOldFileUntouched) {
  testing_support::TempFolder folder;
  const std::string path = (folder.path() / "model.obx").string();
  ModelRepository repository;
  ImportJsonModelFile(repository, kSampleModel, path);
  EXPECT_EQ(repository.ModelLocation(), path);
  EXPECT_EQ(repository.PackageIds().size(), 2u);
  repository.CloseModel();
  const std::string before = Bytes(path);
  const char* bad = R"({"packages": [{"key": "p"}, {"key": "p"}]})";
  EXPECT_THROW(ImportJsonModelFile(repository, bad, path), ImportError);
  EXPECT_EQ(Bytes(path), before);
  EXPECT_THAT(
      std::vector<std::filesystem::path>(std::filesystem::directory_iterator(folder.path()), {}),
      ElementsAre(path));
}

}  // namespace
}  // namespace orba::store::testing
