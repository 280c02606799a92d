#include "orba/cli/model_lookup.h"

#include <algorithm>
#include <cctype>
#include <vector>

#include "orba/cli/command.h"
#include "orba/store/model_session.h"

namespace orba::cli {
namespace {

std::string PackageGuid(const host::PackagePtr& package) {
  const host::ElementPtr element = package->Element();
  return element ? element->ElementGUID() : "";
}

// GUIDs name the same item whatever the letter case of their hex digits.
bool SameGuid(const std::string& a, const std::string& b) {
  return std::ranges::equal(
      a, b, [](unsigned char x, unsigned char y) { return std::toupper(x) == std::toupper(y); });
}

// The one match of `wanted` among `candidates`, by GUID first, then by name.
template <class Item, class GuidOf>
std::shared_ptr<Item> FindOne(const std::vector<std::shared_ptr<Item>>& candidates,
                              const std::string& wanted, const char* kind, GuidOf guid_of) {
  std::vector<std::shared_ptr<Item>> named;
  for (const auto& candidate : candidates) {
    if (SameGuid(guid_of(candidate), wanted)) return candidate;
    if (candidate->Name() == wanted) named.push_back(candidate);
  }
  if (named.size() == 1) return named.front();
  if (named.empty()) {
    throw CommandError(std::string("no ") + kind + " has the GUID or name \"" + wanted + "\"");
  }
  std::string guids;
  for (const auto& item : named) guids += " " + guid_of(item);
  throw CommandError(std::to_string(named.size()) + " " + kind + "s are named \"" + wanted +
                     "\"; give one of their GUIDs:" + guids);
}

// The elements (not the packages' own) named `name`, found by one query
// rather than by reading every element of a large model.
std::vector<host::ElementPtr> ElementsNamed(store::ModelRepository& repository,
                                            const std::string& name) {
  store::Statement query = repository.Session().Db().Prepare(
      "SELECT Object_ID FROM t_object WHERE Name = ? AND Object_ID NOT IN "
      "(SELECT Object_ID FROM t_package) ORDER BY Object_ID");
  query.Bind(name);
  std::vector<host::ElementPtr> elements;
  while (query.Step()) elements.push_back(repository.GetElementByID(query.Int(0)));
  return elements;
}

}  // namespace

host::ElementPtr FindElement(store::ModelRepository& repository, const std::string& guid_or_name) {
  if (host::ElementPtr element = repository.GetElementByGUID(guid_or_name)) return element;
  return FindOne(ElementsNamed(repository, guid_or_name), guid_or_name, "element",
                 [](const host::ElementPtr& element) { return element->ElementGUID(); });
}

host::PackagePtr FindPackage(store::ModelRepository& repository, const std::string& guid_or_name) {
  std::vector<host::PackagePtr> packages;
  for (int32_t id : repository.PackageIds()) packages.push_back(repository.GetPackageByID(id));
  return FindOne(packages, guid_or_name, "package", PackageGuid);
}

}  // namespace orba::cli
