// The example model "SysML Example" (examples/sysml_example.json) and the
// reports that its package "Rule Violations" is meant to produce
// (examples/expected_violations.json). The model is imported into the host's
// store and read back through the host object model; the expected reports are
// checked against the model, against the string table, and for staying inside
// "Rule Violations". Comparing them with a real validation run is the job of
// the validator's tests.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "orba/store/json_model.h"
#include "orba/store/model_repository.h"
#include "resources/string_table.h"

namespace {

using nlohmann::json;

std::string ExampleFile(const std::string& name) {
  std::ifstream in(std::string(TESSARY_SOURCE_ROOT) + "/examples/" + name);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

size_t CodePoints(const std::string& text) {
  size_t count = 0;
  for (unsigned char byte : text) count += (byte & 0xC0) != 0x80;
  return count;
}

// The example imported into an in-memory model, with both documents at hand.
class ExampleModel : public ::testing::Test {
 protected:
  void SetUp() override {
    model_text_ = ExampleFile("sysml_example.json");
    ASSERT_FALSE(model_text_.empty()) << "examples/sysml_example.json not found";
    model_ = json::parse(model_text_);
    expected_ = json::parse(ExampleFile("expected_violations.json"));
    repository_.CreateInMemoryModel();
    result_ = orba::store::ImportJsonModel(repository_, model_text_);
    for (const json& package : model_["packages"]) {
      package_parent_[package["key"]] = package.value("parent", "");
    }
    for (const json& element : model_["elements"]) elements_by_key_[element["key"]] = element;
    violations_key_ = KeyOfPackageNamed("Rule Violations");
  }

  std::string KeyOfPackageNamed(const std::string& name) const {
    for (const json& package : model_["packages"]) {
      if (package["name"] == name) return package["key"];
    }
    return "";
  }

  bool PackageIsInsideViolations(std::string key) const {
    for (; !key.empty(); key = package_parent_.at(key)) {
      if (key == violations_key_) return true;
    }
    return false;
  }

  // Whether an element or package key lies inside "Rule Violations".
  bool KeyIsInsideViolations(std::string key) const {
    if (package_parent_.contains(key)) return PackageIsInsideViolations(key);
    const json* element = &elements_by_key_.at(key);
    while (!element->contains("package")) element = &elements_by_key_.at((*element)["parent"]);
    return PackageIsInsideViolations((*element)["package"]);
  }

  host::ElementPtr ElementOf(const std::string& key) {
    return repository_.GetElementByID(result_.keys.elements.at(key));
  }

  // The elements outside "Rule Violations" whose JSON type is `type`.
  std::vector<host::ElementPtr> WellFormedElementsOfType(const std::string& type) {
    std::vector<host::ElementPtr> found;
    for (const json& element : model_["elements"]) {
      if (element["type"] == type && !KeyIsInsideViolations(element["key"])) {
        found.push_back(ElementOf(element["key"]));
      }
    }
    return found;
  }

  static std::map<std::string, std::string> TagsOf(host::Element& element) {
    std::map<std::string, std::string> tags;
    for (const auto& tag : element.TaggedValues()->Items()) tags[tag->Name()] = tag->Value();
    return tags;
  }

  std::string model_text_;
  json model_;
  json expected_;
  orba::store::ModelRepository repository_;
  orba::store::ImportResult result_;
  std::map<std::string, std::string> package_parent_;
  std::map<std::string, json> elements_by_key_;
  std::string violations_key_;
};

TEST_F(ExampleModel, ImportsCompletelyWithTheSysmlTechnology) {
  EXPECT_EQ(result_.technologies, std::vector<std::string>{"SysML"});
  EXPECT_EQ(result_.keys.packages.size(), model_["packages"].size());
  EXPECT_EQ(result_.keys.elements.size(), model_["elements"].size());
  EXPECT_EQ(result_.keys.connectors.size(), model_["connectors"].size());
  EXPECT_FALSE(violations_key_.empty()) << "no package named Rule Violations";
}

TEST_F(ExampleModel, HasEveryRequirementKindWithItsTaggedValues) {
  const std::set<std::string> kinds = {"Requirement",          "ExtendedRequirement",
                                       "FunctionalRequirement", "InterfaceRequirement",
                                       "PerformanceRequirement", "DesignRequirement",
                                       "PhysicalRequirement"};
  std::set<std::string> seen;
  bool long_notes = false;
  bool notes_with_comma = false;
  for (const host::ElementPtr& requirement : WellFormedElementsOfType("Requirement")) {
    std::string kind = requirement->Metatype();
    SCOPED_TRACE(requirement->Name());
    ASSERT_TRUE(kinds.contains(kind)) << kind;
    seen.insert(kind);
    std::map<std::string, std::string> tags = TagsOf(*requirement);
    EXPECT_FALSE(tags["Id"].empty());
    if (kind != "Requirement") {
      for (const char* name : {"risk", "source", "verifyMethod"}) {
        EXPECT_FALSE(tags[name].empty()) << name;
      }
    }
    long_notes |= CodePoints(requirement->Notes()) > 50;
    notes_with_comma |= requirement->Notes().find(',') != std::string::npos;
  }
  EXPECT_EQ(seen, kinds);
  EXPECT_TRUE(long_notes);
  EXPECT_TRUE(notes_with_comma);
}

TEST_F(ExampleModel, ViewPackagesOwnNothingAndConformToAbstractViewpoints) {
  int views = 0;
  for (const json& package : model_["packages"]) {
    if (package.value("metatype", "") != "View" || KeyIsInsideViolations(package["key"])) continue;
    ++views;
    host::PackagePtr view = repository_.GetPackageByID(result_.keys.packages.at(package["key"]));
    EXPECT_EQ(view->Elements()->Count(), 0);
    int32_t view_element = view->Element()->ElementID();
    int conforms = 0;
    for (const auto& connector : view->Element()->Connectors()->Items()) {
      if (connector->Stereotype() != "conform" || connector->ClientID() != view_element) continue;
      host::ElementPtr viewpoint = repository_.GetElementByID(connector->SupplierID());
      EXPECT_EQ(viewpoint->Metatype(), "Viewpoint");
      EXPECT_EQ(viewpoint->Abstract(), "1");
      ++conforms;
    }
    EXPECT_GT(conforms, 0) << package["name"];
  }
  EXPECT_GT(views, 0);
}

TEST_F(ExampleModel, AllocatingPartitionsOwnActionsAndRepresentBlocks) {
  std::vector<host::ElementPtr> partitions = WellFormedElementsOfType("ActivityPartition");
  ASSERT_FALSE(partitions.empty());
  for (const host::ElementPtr& partition : partitions) {
    SCOPED_TRACE(partition->Name());
    EXPECT_EQ(partition->Stereotype(), "allocateActivityPartition");
    EXPECT_GT(partition->Elements()->Count(), 0);
    ASSERT_NE(partition->ClassifierID(), 0);
    EXPECT_EQ(repository_.GetElementByID(partition->ClassifierID())->Metatype(), "Block");
  }
  int allocations = 0;
  for (const json& connector : model_["connectors"]) {
    allocations += connector.value("stereotype", "") == "allocate";
  }
  EXPECT_GT(allocations, 0);
}

TEST_F(ExampleModel, ValueTypesReferToTheirUnitAndDimensionByGuid) {
  std::vector<host::ElementPtr> value_types;
  for (const host::ElementPtr& element : WellFormedElementsOfType("Class")) {
    if (element->Metatype() == "ValueType") value_types.push_back(element);
  }
  ASSERT_FALSE(value_types.empty());
  for (const host::ElementPtr& value_type : value_types) {
    SCOPED_TRACE(value_type->Name());
    std::map<std::string, std::string> tags = TagsOf(*value_type);
    host::ElementPtr unit = repository_.GetElementByGUID(tags["unit"]);
    host::ElementPtr dimension = repository_.GetElementByGUID(tags["dimension"]);
    ASSERT_TRUE(unit && dimension);
    EXPECT_EQ(unit->Metatype(), "Unit");
    EXPECT_EQ(dimension->Metatype(), "Dimension");
    EXPECT_EQ(TagsOf(*unit)["dimension"], tags["dimension"]);
  }
}

// Finds the expected item in the imported model by its kind and GUID and
// answers the name that the host gives it.
TEST_F(ExampleModel, ExpectedReportsNameItemsOfTheModel) {
  ASSERT_FALSE(expected_["violations"].empty());
  for (const json& report : expected_["violations"]) {
    const json& item = report["item"];
    std::string kind = item["kind"], key = item["key"], guid = item["guid"];
    SCOPED_TRACE(key + " " + guid);
    if (kind == "element") {
      host::ElementPtr element = repository_.GetElementByGUID(guid);
      ASSERT_TRUE(element);
      EXPECT_EQ(element->ElementID(), result_.keys.elements.at(key));
      EXPECT_EQ(element->Name(), item["name"]);
    } else if (kind == "package") {
      host::PackagePtr package = repository_.GetPackageByID(result_.keys.packages.at(key));
      EXPECT_EQ(package->Element()->ElementGUID(), guid);
      EXPECT_EQ(package->Name(), item["name"]);
    } else if (kind == "connector") {
      host::ConnectorPtr connector = repository_.GetConnectorByID(result_.keys.connectors.at(key));
      EXPECT_EQ(connector->ConnectorGUID(), guid);
    } else {
      ASSERT_EQ(kind, "operation");
      int matches = 0;
      for (const auto& method : ElementOf(key)->Methods()->Items()) {
        matches += method->MethodGUID() == guid && method->Name() == item["name"];
      }
      EXPECT_EQ(matches, 1);
    }
  }
}

TEST_F(ExampleModel, ExpectedReportsStayInsideRuleViolations) {
  for (const json& report : expected_["violations"]) {
    const json& item = report["item"];
    std::string key = item["key"];
    SCOPED_TRACE(key);
    if (item["kind"] != "connector") {
      EXPECT_TRUE(KeyIsInsideViolations(key));
      continue;
    }
    for (const json& connector : model_["connectors"]) {
      if (connector["key"] != key) continue;
      EXPECT_TRUE(KeyIsInsideViolations(connector["client"]));
      EXPECT_TRUE(KeyIsInsideViolations(connector["supplier"]));
    }
  }
}

TEST_F(ExampleModel, ExpectedReportsCoverEveryRuleMessageWithItsText) {
  std::set<int> covered;
  for (const json& report : expected_["violations"]) {
    int id = report["messageId"];
    EXPECT_EQ(report["message"], resources::LoadResString(id)) << id;
    EXPECT_EQ(report["errorType"], id == 140 || id == 149 ? 1 : 0) << id;
    covered.insert(id);
  }
  std::set<int> all_messages;
  for (int id = 129; id <= 175; ++id) {
    if (id != 147) all_messages.insert(id);
  }
  EXPECT_EQ(covered, all_messages);
}

}  // namespace
