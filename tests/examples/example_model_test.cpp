// The example model "SysML Example" (examples/sysml_example.json) and the
// reports that its package "Rule Violations" is meant to produce
// (examples/expected_violations.json). The model is imported into the host's
// store and read back through the host object model; the expected reports are
// checked against the model, against the string table, and for staying inside
// "Rule Violations". Comparing them with a real validation run is the job of
// the validator's tests.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <nlohmann/json.hpp>
#include <set>
#include <sstream>
#include <string>
#include <vector>

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

// The example imported into an in-memory model, with both documents at hand.
class ExampleModel : public ::testing::Test {
 protected:
  void SetUp() override {
    repository_.CreateInMemoryModel();
    result_ = orba::store::ImportJsonModel(repository_, model_text_);
    for (const char* list : {"packages", "elements"}) {
      for (const json& item : model_[list])
        ASSERT_TRUE(items_.emplace(item["key"], item).second) << item["key"];
    }
  }

  // Whether the package, element or connector `key` lies inside "Rule Violations"
  // (a connector: both its ends).
  bool InsideViolations(const std::string& key) const {
    for (const json& connector : model_["connectors"]) {
      if (connector["key"] == key)
        return InsideViolations(connector["client"]) && InsideViolations(connector["supplier"]);
    }
    const json& item = items_.at(key);
    if (item["name"] == "Rule Violations" && !item.contains("type")) return true;
    const std::string owner = item.value("parent", item.value("package", ""));
    return !owner.empty() && InsideViolations(owner);
  }

  host::ElementPtr ElementOf(const std::string& key) {
    return repository_.GetElementByID(result_.keys.elements.at(key));
  }

  // The elements outside "Rule Violations" whose JSON type is `type`.
  std::vector<host::ElementPtr> WellFormedElementsOfType(const std::string& type) {
    std::vector<host::ElementPtr> found;
    for (const json& element : model_["elements"]) {
      if (element["type"] == type && !InsideViolations(element["key"]))
        found.push_back(ElementOf(element["key"]));
    }
    return found;
  }

  static std::map<std::string, std::string> TagsOf(host::Element& element) {
    std::map<std::string, std::string> tags;
    for (const auto& tag : element.TaggedValues()->Items()) tags[tag->Name()] = tag->Value();
    return tags;
  }

  const std::string model_text_ = ExampleFile("sysml_example.json");
  const json model_ = json::parse(model_text_);
  const json expected_ = json::parse(ExampleFile("expected_violations.json"));
  orba::store::ModelRepository repository_;
  orba::store::ImportResult result_;
  std::map<std::string, json> items_;  // packages and elements by key
};

TEST_F(ExampleModel, ImportsCompletelyWithTheSysmlTechnology) {
  EXPECT_EQ(result_.technologies, std::vector<std::string>{"SysML"});
  EXPECT_EQ(result_.keys.packages.size(), model_["packages"].size());
  EXPECT_EQ(result_.keys.elements.size(), model_["elements"].size());
  EXPECT_EQ(result_.keys.connectors.size(), model_["connectors"].size());
}

// Every kind with its tags, long notes and notes with a comma.
TEST_F(ExampleModel, HasEveryRequirementKindWithItsTaggedValues) {
  const std::set<std::string> kinds = {
      "Requirement",          "ExtendedRequirement",    "FunctionalRequirement",
      "InterfaceRequirement", "PerformanceRequirement", "DesignRequirement",
      "PhysicalRequirement"};
  std::set<std::string> seen;
  bool long_notes = false, notes_with_comma = false;
  for (const host::ElementPtr& requirement : WellFormedElementsOfType("Requirement")) {
    const std::string kind = requirement->Metatype(), notes = requirement->Notes();
    SCOPED_TRACE(requirement->Name());
    ASSERT_TRUE(kinds.contains(kind)) << kind;
    seen.insert(kind);
    std::map<std::string, std::string> tags = TagsOf(*requirement);
    EXPECT_FALSE(tags["Id"].empty());
    for (const char* name : {"risk", "source", "verifyMethod"})
      EXPECT_TRUE(kind == "Requirement" || !tags[name].empty()) << name;
    long_notes |= std::count_if(notes.begin(), notes.end(),
                                [](unsigned char c) { return (c & 0xC0) != 0x80; }) > 50;
    notes_with_comma |= notes.find(',') != std::string::npos;
  }
  EXPECT_EQ(seen, kinds);
  EXPECT_TRUE(long_notes && notes_with_comma);
}

// Views own nothing and conform to abstract viewpoints; allocating partitions
// own actions and represent blocks; value types refer to their unit and
// dimension by GUID, the unit to the same dimension.
TEST_F(ExampleModel, ViewsPartitionsAndValueTypesAreWellFormed) {
  int views = 0;
  for (const json& package : model_["packages"]) {
    if (package.value("metatype", "") != "View" || InsideViolations(package["key"])) continue;
    ++views;
    host::PackagePtr view = repository_.GetPackageByID(result_.keys.packages.at(package["key"]));
    EXPECT_EQ(view->Elements()->Count(), 0);
    int conforms = 0;
    for (const auto& connector : view->Element()->Connectors()->Items()) {
      if (connector->Stereotype() != "conform" ||
          connector->ClientID() != view->Element()->ElementID())
        continue;
      host::ElementPtr viewpoint = repository_.GetElementByID(connector->SupplierID());
      EXPECT_EQ(viewpoint->Metatype() + " " + viewpoint->Abstract(), "Viewpoint 1");
      ++conforms;
    }
    EXPECT_GT(conforms, 0) << package["name"];
  }
  EXPECT_GT(views, 0);
  const std::vector<host::ElementPtr> partitions = WellFormedElementsOfType("ActivityPartition");
  EXPECT_FALSE(partitions.empty());
  for (const host::ElementPtr& partition : partitions) {
    EXPECT_EQ(partition->Stereotype(), "allocateActivityPartition");
    EXPECT_GT(partition->Elements()->Count(), 0);
    ASSERT_NE(partition->ClassifierID(), 0);
    EXPECT_EQ(repository_.GetElementByID(partition->ClassifierID())->Metatype(), "Block");
  }
  EXPECT_TRUE(std::any_of(
      model_["connectors"].begin(), model_["connectors"].end(),
      [](const json& connector) { return connector.value("stereotype", "") == "allocate"; }));
  int value_types = 0;
  for (const host::ElementPtr& element : WellFormedElementsOfType("Class")) {
    if (element->Metatype() != "ValueType") continue;
    ++value_types;
    std::map<std::string, std::string> tags = TagsOf(*element);
    host::ElementPtr unit = repository_.GetElementByGUID(tags["unit"]);
    host::ElementPtr dimension = repository_.GetElementByGUID(tags["dimension"]);
    ASSERT_TRUE(unit && dimension) << element->Name();
    EXPECT_EQ(unit->Metatype() + " " + dimension->Metatype(), "Unit Dimension");
    EXPECT_EQ(TagsOf(*unit)["dimension"], tags["dimension"]);
  }
  EXPECT_GT(value_types, 0);
}

// Each expected report names an item of the model (found by its kind and GUID,
// with the name the host gives it) inside "Rule Violations", and the string
// table's text of its message; together they cover every rule message.
TEST_F(ExampleModel, ExpectedReportsNameItemsInsideRuleViolationsWithEveryMessage) {
  ASSERT_FALSE(expected_["violations"].empty());
  std::set<int> covered;
  for (const json& report : expected_["violations"]) {
    const json& item = report["item"];
    const std::string kind = item["kind"], key = item["key"], guid = item["guid"];
    SCOPED_TRACE(key + " " + guid);
    EXPECT_TRUE(InsideViolations(key));
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
      EXPECT_EQ(repository_.GetConnectorByID(result_.keys.connectors.at(key))->ConnectorGUID(),
                guid);
    } else {
      ASSERT_EQ(kind, "operation");
      const auto methods = ElementOf(key)->Methods()->Items();
      EXPECT_EQ(std::count_if(methods.begin(), methods.end(),
                              [&](const auto& method) {
                                return method->MethodGUID() == guid &&
                                       method->Name() == item["name"];
                              }),
                1);
    }
    const int id = report["messageId"];
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
