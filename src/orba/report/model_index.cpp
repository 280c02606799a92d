#include "orba/report/model_index.h"

namespace orba::report {

ModelIndex::ModelIndex(store::ModelSession& session)
    : session_(session), packages_(session.AllPackages()), connectors_(session.AllConnectors()) {
  for (store::ElementRow& row : session.SelectElements("ORDER BY Object_ID")) {
    std::string metatype = session.MetatypeOf(row);
    elements_.push_back({std::move(row), std::move(metatype)});
  }
  for (size_t at = 0; at < packages_.size(); ++at) {
    const store::PackageRow& package = packages_[at];
    package_at_[package.id] = at;
    packages_in_[package.parent_id].push_back(package.id);
    if (package.element_id != 0) package_of_own_element_[package.element_id] = package.id;
  }
  for (size_t at = 0; at < elements_.size(); ++at) {
    const store::ElementRow& row = elements_[at].row;
    element_at_[row.id] = at;
    if (!row.guid.empty()) element_by_guid_.emplace(row.guid, at);
    if (package_of_own_element_.contains(row.id)) continue;
    if (row.parent_id == 0) {
      top_elements_[row.package_id].push_back(row.id);
    } else {
      children_[row.parent_id].push_back(row.id);
    }
  }
  for (size_t at = 0; at < connectors_.size(); ++at) {
    const store::ConnectorRow& connector = connectors_[at];
    if (!connector.guid.empty()) connector_by_guid_.emplace(connector.guid, at);
    connectors_at_[connector.client_id].push_back(&connector);
    if (connector.supplier_id != connector.client_id)
      connectors_at_[connector.supplier_id].push_back(&connector);
  }
}

template <class Key, class Value>
const Value& ModelIndex::Listed(const std::map<Key, Value>& lists, const Key& key) {
  static const Value kNone;
  const auto found = lists.find(key);
  return found == lists.end() ? kNone : found->second;
}

const IndexedElement* ModelIndex::Element(int32_t id) const {
  const auto found = element_at_.find(id);
  return found == element_at_.end() ? nullptr : &elements_[found->second];
}

const IndexedElement* ModelIndex::ElementByGuid(const std::string& guid) const {
  const auto found = element_by_guid_.find(guid);
  return found == element_by_guid_.end() ? nullptr : &elements_[found->second];
}

const store::PackageRow* ModelIndex::Package(int32_t id) const {
  const auto found = package_at_.find(id);
  return found == package_at_.end() ? nullptr : &packages_[found->second];
}

const store::ConnectorRow* ModelIndex::ConnectorByGuid(const std::string& guid) const {
  const auto found = connector_by_guid_.find(guid);
  return found == connector_by_guid_.end() ? nullptr : &connectors_[found->second];
}

const std::vector<int32_t>& ModelIndex::PackagesIn(int32_t package_id) const {
  return Listed(packages_in_, package_id);
}

const std::vector<int32_t>& ModelIndex::TopElementsOf(int32_t package_id) const {
  return Listed(top_elements_, package_id);
}

const std::vector<int32_t>& ModelIndex::ChildrenOf(int32_t element_id) const {
  return Listed(children_, element_id);
}

const std::vector<const store::ConnectorRow*>& ModelIndex::ConnectorsAt(int32_t element_id) const {
  return Listed(connectors_at_, element_id);
}

int32_t ModelIndex::PackageOfElement(int32_t element_id) const {
  const auto own = package_of_own_element_.find(element_id);
  if (own != package_of_own_element_.end()) return own->second;
  const IndexedElement* element = Element(element_id);
  return element ? element->row.package_id : 0;
}

std::string ModelIndex::PackagePath(int32_t package_id) const {
  std::string path;
  // A parent chain that loops is cut once it has run through every package.
  for (size_t steps = 0; steps <= packages_.size(); ++steps) {
    const store::PackageRow* package = Package(package_id);
    if (!package) break;
    path = path.empty() ? package->name : package->name + "::" + path;
    package_id = package->parent_id;
  }
  return path;
}

}  // namespace orba::report
