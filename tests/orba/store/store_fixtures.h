// Helpers of the store's tests: models imported from JSON and read back.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "orba/store/json_model.h"
#include "orba/store/model_repository.h"
#include "support/postgres_cluster.h"

namespace orba::store::testing {

// A small model with nesting, ports, parameters, connectors, tags and members.
inline constexpr std::string_view kSampleModel = R"json({
  "format": "orba-model", "version": 1,
  "packages": [
    {"key": "root", "name": "Model"},
    {"key": "views", "name": "Views", "parent": "root", "stereotype": "view", "metatype": "View",
     "xmiId": "_views"}
  ],
  "elements": [
    {"key": "block", "package": "root", "type": "Class", "name": "Vehicle", "stereotype": "block",
     "metatype": "Block", "abstract": "1", "multiplicity": "0..1", "notes": "a note",
     "umlKind": "Class", "xmiId": "_block", "stereotypes": ["my:Vehicle", "sysml:Allocated"],
     "tags": [{"name": "z", "value": "last"}, {"name": "a", "value": "first"}],
     "attributes": [{"name": "mass", "type": "Real"}, {"name": "length", "type": "Real"}],
     "operations": [{"name": "run", "stereotype": "controlOperator", "xmiId": "_run",
                     "parameters": [{"name": "c", "type": "ControlValue"}, {"name": "d", "type": "Integer"}]},
                    {"name": "stop"}]},
    {"key": "port2", "parent": "block", "type": "Port", "name": "p2"},
    {"key": "part", "parent": "block", "type": "Part", "name": "front", "classifier": "wheel"},
    {"key": "port1", "parent": "block", "type": "Port", "name": "p1"},
    {"key": "wheel", "package": "root", "type": "Class", "name": "Wheel", "guid": "{WHEEL}"},
    {"key": "drive", "package": "root", "type": "Activity", "name": "Drive"},
    {"key": "param", "parent": "drive", "type": "ActivityParameter", "name": "speed"},
    {"key": "inView", "package": "views", "type": "Class", "name": "Shown"}
  ],
  "connectors": [
    {"key": "self", "type": "Association", "client": "block", "supplier": "block"},
    {"key": "alloc", "type": "Dependency", "stereotype": "allocate", "client": "drive",
     "supplier": "block", "clientAggregation": 1, "supplierAggregation": 2, "name": "a1",
     "xmiId": "_alloc", "clientRole": "by", "clientMultiplicity": "1", "supplierRole": "to",
     "supplierMultiplicity": "0..*",
     "tags": [{"name": "itemProperty", "value": "<none>"}, {"name": "b", "value": "2"}]},
    {"key": "wheelLink", "type": "Association", "client": "wheel", "supplier": "block"}
  ],
  "diagrams": [{"package": "root", "name": "Overview", "type": "SysML::Block", "key": "d1",
                "objects": [{"element": "block", "x": 40, "y": -20, "w": 160, "h": 120},
                            {"element": "views"}, {"element": "wheel", "x": 0, "y": 0, "w": 1, "h": 1}],
                "links": [{"connector": "wheelLink"}, {"connector": "self", "hidden": true}]}]
})json";

// A GUID as the store makes them.
inline constexpr char kGuidPattern[] = R"(\{[0-9A-F]{8}(-[0-9A-F]{4}){3}-[0-9A-F]{12}\})";

// The engines a model is stored on: the store's tests run on both.
enum class Engine { kSqlite, kPostgres };

inline void PrintTo(Engine engine, std::ostream* out) {
  *out << (engine == Engine::kSqlite ? "Sqlite" : "Postgres");
}

inline std::string EngineName(const ::testing::TestParamInfo<Engine>& info) {
  return info.param == Engine::kSqlite ? "Sqlite" : "Postgres";
}

// A new, empty model: in memory on SQLite, or in a schema of its own in the
// test PostgreSQL cluster.
inline std::shared_ptr<ModelRepository> NewModel(Engine engine) {
  auto repository = std::make_shared<ModelRepository>();
  if (engine == Engine::kSqlite) {
    repository->CreateInMemoryModel();
  } else {
    repository->CreateModel(testing_support::SharedPostgresCluster().NewModelUri());
  }
  return repository;
}

inline std::shared_ptr<ModelRepository> ImportedModel(std::string_view json, KeyMap* keys = nullptr,
                                                      Engine engine = Engine::kSqlite) {
  auto repository = NewModel(engine);
  KeyMap imported = ImportJsonModel(*repository, json).keys;
  if (keys) *keys = std::move(imported);
  return repository;
}

// A test that runs on each engine.
class EngineTest : public ::testing::TestWithParam<Engine> {
 protected:
  std::shared_ptr<ModelRepository> ImportedModel(std::string_view json, KeyMap* keys = nullptr) {
    return testing::ImportedModel(json, keys, GetParam());
  }
};

#define TESSARY_ON_EACH_ENGINE(suite)                                                             \
  INSTANTIATE_TEST_SUITE_P(Engines, suite, ::testing::Values(Engine::kSqlite, Engine::kPostgres), \
                           EngineName)

template <class T>
std::vector<std::string> NamesOf(const host::CollectionPtr<T>& collection) {
  std::vector<std::string> names;
  for (const auto& item : collection->Items()) names.push_back(item->Name());
  return names;
}

template <class T>
std::vector<std::string> TagsOf(const host::CollectionPtr<T>& tags) {
  std::vector<std::string> texts;
  for (const auto& tag : tags->Items()) texts.push_back(tag->Name() + "=" + tag->Value());
  return texts;
}

// An element's members, tags, attributes and operations as one text.
inline std::string Describe(const host::ElementPtr& element) {
  std::string text = element->Type() + " \"" + element->Name() + "\" <" + element->Stereotype() +
                     "> " + element->Metatype() + " abstract=" + element->Abstract() + " [" +
                     element->Multiplicity() + "] notes=" + element->Notes() +
                     " parent=" + std::to_string(element->ParentID()) +
                     " classifier=" + std::to_string(element->ClassifierID());
  for (const std::string& tag : TagsOf(element->TaggedValues())) text += " tag " + tag;
  for (const auto& attribute : element->Attributes()->Items())
    text += " attribute " + attribute->Name() + ":" + attribute->Type();
  for (const auto& method : element->Methods()->Items()) {
    text += " operation " + method->Name() + "<" + method->Stereotype() + ">(";
    for (const auto& parameter : method->Parameters()->Items())
      text += " " + parameter->Name() + ":" + parameter->Type();
    text += " )";
  }
  return text;
}

// The message of the error `action` throws; "no error" when it throws none.
inline std::string ErrorOf(const std::function<void()>& action) {
  try {
    action();
    return "no error";
  } catch (const std::exception& error) {
    return error.what();
  }
}

// The sample model in memory; what the host is told of changes is in tests/orba/session.
class SampleModelTest : public EngineTest {
 protected:
  host::ElementPtr Element(const std::string& key) {
    return repository_->GetElementByID(keys_.elements.at(key));
  }
  host::PackagePtr Package(const std::string& key) {
    return repository_->GetPackageByID(keys_.packages.at(key));
  }

  KeyMap keys_;
  std::shared_ptr<ModelRepository> repository_ = ImportedModel(kSampleModel, &keys_);
};

}  // namespace orba::store::testing
