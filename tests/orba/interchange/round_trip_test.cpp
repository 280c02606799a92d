// Round trips through XMI: a model exported as XMI and imported again gives
// back an equivalent model. Both models are compared as the JSON model
// documents the store exports, with every item named by what it is (its
// owner, type and name; a connector by its type, stereotype, name and ends) rather
// than by keys, GUIDs or xmi:ids, and references named the same way; each
// metatype as the rules read it (the stored one, else the technology's).
//
// What XMI does not carry is left out of the comparison, and nothing else:
//   - keys and GUIDs, operations' too (the import makes GUIDs from the
//     file's name and the xmi:ids), and the xmi:id and UML metaclass of
//     items that had none (the file gives each item both);
//   - a text field that is empty and one that is absent are the same;
//   - the order of tagged values of different names (the import gives the
//     properties of a stereotype in its own order);
//   - diagrams.
// The real fixtures (cases/fixtures.txt) and the example model come back
// without a difference.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <nlohmann/json.hpp>
#include <set>
#include <sstream>

#include "orba/interchange/imported_model.h"
#include "orba/interchange/xmi_writer.h"
#include "orba/store/json_model.h"
#include "resources/resource_table.h"

namespace orba::interchange::testing {
namespace {

using nlohmann::json;

const std::string kSource = std::string(TESSARY_SOURCE_ROOT) + "/";
const std::string kRealData = kSource + "../shared/realdata/xmi/";
const std::string kHere = kSource + "tests/orba/interchange/";

std::string FileText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  EXPECT_TRUE(in) << "cannot read " << path;
  return std::string(std::istreambuf_iterator<char>(in), {});
}

const json& List(const json& document, const char* name) {
  static const json kEmpty = json::array();
  return document.contains(name) ? document.at(name) : kEmpty;
}

std::string Field(const json& item, const char* name) {
  auto found = item.find(name);
  return found != item.end() && found->is_string() ? found->get<std::string>() : "";
}

// The items of a document by what they are, each with its compared fields.
class Canonical {
 public:
  explicit Canonical(const json& document) {
    for (const char* list : {"packages", "elements", "connectors"}) {
      for (const json& item : List(document, list)) by_key_[Field(item, "key")] = {list, &item};
    }
    for (const json& element : List(document, "elements")) {
      if (!Field(element, "guid").empty()) guids_[Field(element, "guid")] = Field(element, "key");
    }
    // Owners are named before what they own, siblings in the document's order.
    for (int depth = 0; depth < 64; ++depth) {
      for (const char* list : {"packages", "elements"}) {
        for (const json& item : List(document, list)) {
          if (Depth(Field(item, "key")) == depth) Name(Field(item, "key"));
        }
      }
    }
    for (const json& connector : List(document, "connectors")) Name(Field(connector, "key"));
    for (const auto& [key, entry] : by_key_) Describe(key, *entry.second);
  }

  const std::map<std::string, std::map<std::string, std::string>>& Items() const { return items_; }

 private:
  std::string OwnerKey(const json& item) const {
    const std::string parent = Field(item, "parent");
    return parent.empty() ? Field(item, "package") : parent;
  }

  int Depth(const std::string& key) const {
    int depth = 0;
    for (std::string at = key; by_key_.contains(at) && depth < 64; ++depth)
      at = OwnerKey(*by_key_.at(at).second);
    return depth - 1;
  }

  const std::string& Name(const std::string& key) {
    auto known = names_.find(key);
    if (known != names_.end()) return known->second;
    auto entry = by_key_.find(key);
    if (entry == by_key_.end()) return names_[key] = "?" + key;
    const json& item = *entry->second.second;
    const std::string list = entry->second.first;
    std::string name;
    if (list == "connectors") {
      name = "connector " + Field(item, "type") + " «" + Field(item, "stereotype") + "» " +
             Field(item, "name") + " " + Name(Field(item, "client")) + " -> " +
             Name(Field(item, "supplier"));
    } else {
      const std::string owner = OwnerKey(item);
      name = (owner.empty() ? "" : Name(owner)) + "/" +
             (list == "packages" ? "" : Field(item, "type") + " ") + Field(item, "name");
    }
    const int seen = ++seen_[name];
    return names_[key] = seen == 1 ? name : name + " #" + std::to_string(seen);
  }

  // The compared fields of an item (see the top of this file).
  void Describe(const std::string& key, const json& item) {
    std::map<std::string, std::string>& fields = items_[Name(key)];
    for (const auto& [field, value] : item.items()) {
      if (field == "key" || field == "guid" || field == "package" || field == "parent" ||
          field == "client" || field == "supplier" || (value.is_string() && value == "")) {
        continue;
      }
      if (field == "classifier" || field == "propertyType") {
        fields[field] = Name(value.get<std::string>());
      } else if (field == "operations") {
        // Their xmi:ids are compared apart, as the items' are.
        for (const json& operation : value) {
          const std::string name = "operation " + Field(operation, "name");
          if (operation.contains("xmiId")) fields[name + " xmiId"] = Field(operation, "xmiId");
        }
        json operations = value;
        for (json& operation : operations) {
          operation.erase("guid");
          operation.erase("xmiId");
        }
        fields[field] = operations.dump();
      } else if (field == "tags") {
        json tags = value;
        for (json& tag : tags) {
          auto guid = guids_.find(Field(tag, "value"));
          if (guid != guids_.end()) tag["value"] = Name(guid->second);
        }
        std::stable_sort(tags.begin(), tags.end(), [](const json& left, const json& right) {
          return Field(left, "name") < Field(right, "name");
        });
        fields[field] = tags.dump();
      } else {
        fields[field] = value.is_string() ? value.get<std::string>() : value.dump();
      }
    }
  }

  std::map<std::string, std::pair<std::string, const json*>> by_key_;
  std::map<std::string, std::string> guids_;  // GUID -> key
  std::map<std::string, std::string> names_;  // key -> name
  std::map<std::string, int> seen_;
  std::map<std::string, std::map<std::string, std::string>> items_;
};

// The differences between the model before and after the round trip, one
// line each: "lost: ITEM", "added: ITEM", "ITEM: FIELD: BEFORE => AFTER".
std::vector<std::string> Differences(const json& before, const json& after) {
  const Canonical source(before);
  const Canonical result(after);
  std::vector<std::string> differences;
  for (const auto& [name, fields] : source.Items()) {
    auto other = result.Items().find(name);
    if (other == result.Items().end()) {
      differences.push_back("lost: " + name);
      continue;
    }
    std::set<std::string> names;
    for (const auto* side : {&fields, &other->second}) {
      for (const auto& [field, value] : *side) names.insert(field);
    }
    for (const std::string& field : names) {
      auto was = fields.find(field);
      auto is = other->second.find(field);
      if ((field.ends_with("xmiId") || field == "umlKind") && was == fields.end()) continue;
      const std::string old_value = was == fields.end() ? "(none)" : was->second;
      const std::string new_value = is == other->second.end() ? "(none)" : is->second;
      if (old_value != new_value)
        differences.push_back(name + ": " + field + ": " + old_value + " => " + new_value);
    }
  }
  for (const auto& [name, fields] : result.Items()) {
    if (!source.Items().contains(name)) differences.push_back("added: " + name);
  }
  return differences;
}

// The model's JSON model document, with each metatype as the rules read it:
// the stored one, else the one the technology gives the stereotype.
json Exported(store::ModelRepository& repository) {
  json document = json::parse(store::ExportJsonModel(repository));
  for (const char* list : {"packages", "elements"}) {
    for (json& item : document[list]) {
      host::ElementPtr element = repository.GetElementByGUID(Field(item, "guid"));
      if (element) item["metatype"] = element->Metatype();
    }
  }
  return document;
}

// The model of `repository` exported as XMI, imported again, and both compared.
std::vector<std::string> RoundTrip(store::ModelRepository& repository) {
  const json before = Exported(repository);
  const XmiExport exported = WriteXmi(json::parse(store::ExportJsonModel(repository)));
  ImportedModel imported(exported.text, kSource + "build/round-trip.xmi");
  return Differences(before, Exported(imported.Repository()));
}

struct Fixture {
  std::string name;
  std::string path;
  std::string map;
};

void PrintTo(const Fixture& fixture, std::ostream* out) { *out << fixture.name; }

// The fixture sets the import tests read, from their case file.
std::vector<Fixture> Fixtures() {
  std::vector<Fixture> fixtures;
  std::istringstream lines(FileText(kHere + "cases/fixtures.txt"));
  for (std::string line; std::getline(lines, line);) {
    if (!line.starts_with("== ")) continue;
    std::istringstream words(line.substr(3));
    Fixture fixture;
    words >> fixture.name >> fixture.path >> fixture.map;
    fixtures.push_back(fixture);
  }
  return fixtures;
}

class FixtureRoundTrip : public ::testing::TestWithParam<Fixture> {};

TEST_P(FixtureRoundTrip, ImportingTheExportedXmiGivesBackTheImportedModel) {
  const Fixture& fixture = GetParam();
  XmiOptions options = FileReadingOptions();
  if (!fixture.map.empty()) {
    options.stereotype_map =
        ReadStereotypeMap(FileText(kHere + "cases/" + fixture.map), fixture.map);
  }
  ImportedModel model(FileText(kRealData + fixture.path), kRealData + fixture.path, options);
  EXPECT_THAT(RoundTrip(model.Repository()), ::testing::IsEmpty());
}

INSTANTIATE_TEST_SUITE_P(RealModels, FixtureRoundTrip, ::testing::ValuesIn(Fixtures()),
                         [](const auto& info) { return info.param.name; });

TEST(ExampleRoundTrip, TheExampleModelComesBackFromXmiUnchanged) {
  store::ModelRepository repository;
  repository.CreateInMemoryModel();
  store::ImportJsonModel(repository, FileText(kSource + "examples/sysml_example.json"));
  repository.InstallTechnology(
      std::string(resources::LoadResData(resources::kTechnologyType, resources::kTechnologyId)));
  EXPECT_THAT(RoundTrip(repository), ::testing::IsEmpty());
}

}  // namespace
}  // namespace orba::interchange::testing
