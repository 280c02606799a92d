// ModelIndex: a model's packages, elements and connectors read once from the
// store, with the look-ups a report makes many times: by id and GUID, the
// contents of a package, the children of an element, the connectors at an
// element.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "orba/store/model_session.h"

namespace orba::report {

struct IndexedElement {
  store::ElementRow row;
  std::string metatype;  // as the host answers it: explicit, else from the stereotype
};

class ModelIndex {
 public:
  explicit ModelIndex(store::ModelSession& session);

  store::ModelSession& Session() const { return session_; }
  // Every element, package elements included, in id order.
  const std::vector<IndexedElement>& Elements() const { return elements_; }
  const std::vector<store::PackageRow>& Packages() const { return packages_; }
  const std::vector<store::ConnectorRow>& Connectors() const { return connectors_; }

  // Null when the model has none.
  const IndexedElement* Element(int32_t id) const;
  const IndexedElement* ElementByGuid(const std::string& guid) const;
  const store::PackageRow* Package(int32_t id) const;
  const store::ConnectorRow* ConnectorByGuid(const std::string& guid) const;

  // The packages directly inside `package_id` (0: the root packages).
  const std::vector<int32_t>& PackagesIn(int32_t package_id) const;
  // The elements of the package owned by no other element (packages' own
  // elements left out).
  const std::vector<int32_t>& TopElementsOf(int32_t package_id) const;
  const std::vector<int32_t>& ChildrenOf(int32_t element_id) const;
  // The connectors at either end of the element, once each, in id order.
  const std::vector<const store::ConnectorRow*>& ConnectorsAt(int32_t element_id) const;

  // The package an element is in; for a package's own element, that package.
  int32_t PackageOfElement(int32_t element_id) const;
  // "Model::Vehicle": the package's name after those of its parents.
  std::string PackagePath(int32_t package_id) const;

 private:
  template <class Key, class Value>
  static const Value& Listed(const std::map<Key, Value>& lists, const Key& key);

  store::ModelSession& session_;
  std::vector<IndexedElement> elements_;
  std::vector<store::PackageRow> packages_;
  std::vector<store::ConnectorRow> connectors_;
  std::map<int32_t, size_t> element_at_;  // by id: the position in elements_
  std::map<std::string, size_t> element_by_guid_;
  std::map<int32_t, size_t> package_at_;
  std::map<int32_t, int32_t> package_of_own_element_;  // package element id -> package id
  std::map<std::string, size_t> connector_by_guid_;
  std::map<int32_t, std::vector<int32_t>> packages_in_;
  std::map<int32_t, std::vector<int32_t>> top_elements_;
  std::map<int32_t, std::vector<int32_t>> children_;
  std::map<int32_t, std::vector<const store::ConnectorRow*>> connectors_at_;
};

}  // namespace orba::report
