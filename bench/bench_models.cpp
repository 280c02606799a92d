#include "bench_models.h"

#include <nlohmann/json.hpp>

namespace bench_models {
namespace {

using nlohmann::json;

// "e12": a key made of a prefix and a number.
std::string Key(std::string prefix, int index) {
  prefix += std::to_string(index);
  return prefix;
}

json EmptyModel() {
  return json{{"format", "orba-model"},
              {"version", 1},
              {"packages", json::array({{{"key", "pkg"}, {"name", "Benchmark"}}})},
              {"elements", json::array()},
              {"connectors", json::array()}};
}

struct ElementKind {
  const char* type;
  const char* stereotype;  // "" for none
  const char* metatype;    // "" for none
};

constexpr ElementKind kBlock = {"Class", "block", "Block"};
constexpr ElementKind kPart = {"Part", "BlockProperty", "BlockProperty"};
constexpr ElementKind kFlowPort = {"Port", "flowPort", "FlowPort"};
constexpr ElementKind kActivity = {"Activity", "", ""};

// An element of that kind, owned through `owner_field` ("package" or "parent").
json Element(const std::string& key, const ElementKind& kind, const char* owner_field,
             const char* owner) {
  std::string name = "Name ";
  name += key;
  json element = {{"key", key}, {"name", name}, {"type", kind.type}, {owner_field, owner}};
  if (*kind.stereotype != '\0') element["stereotype"] = kind.stereotype;
  if (*kind.metatype != '\0') element["metatype"] = kind.metatype;
  return element;
}

// Even-numbered children are parts, odd ones flow ports.
json Child(int index) {
  return Element(Key("c", index), index % 2 == 0 ? kPart : kFlowPort, "parent", "owner");
}

// Even-numbered elements are stereotyped blocks, odd ones plain activities.
json AllocationEnd(int index) {
  return Element(Key("e", index), index % 2 == 0 ? kBlock : kActivity, "package", "pkg");
}

// The dependency `index`: its ends' parities follow index % 4, so each of the
// four stereotype combinations gets a quarter of the dependencies.
json Allocation(int index, int elements) {
  const int pairs = elements / 2;
  const int step = index / 4;
  const int client = 2 * (step % pairs) + (index & 1);
  const int supplier = 2 * ((step + 1) % pairs) + ((index >> 1) & 1);
  return json{{"key", Key("a", index)},
              {"type", "Dependency"},
              {"stereotype", "allocate"},
              {"client", Key("e", client)},
              {"supplier", Key("e", supplier)}};
}

}  // namespace

BuiltModel ImportModel(const std::string& json_document) {
  BuiltModel model{std::make_shared<orba::store::ModelRepository>(), {}};
  model.repository->CreateInMemoryModel();
  model.keys = orba::store::ImportJsonModel(*model.repository, json_document).keys;
  return model;
}

std::string OwnerWithChildrenJson(int children) {
  json model = EmptyModel();
  model["elements"].push_back(Element("owner", kBlock, "package", "pkg"));
  for (int i = 0; i < children; ++i) model["elements"].push_back(Child(i));
  return model.dump();
}

std::string AllocationsJson(int elements, int dependencies) {
  json model = EmptyModel();
  for (int i = 0; i < elements; ++i) model["elements"].push_back(AllocationEnd(i));
  for (int i = 0; i < dependencies; ++i) model["connectors"].push_back(Allocation(i, elements));
  return model.dump();
}

}  // namespace bench_models
