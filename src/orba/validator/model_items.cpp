#include "orba/validator/model_items.h"

namespace orba::validator {
namespace {

using store::ItemKind;
using store::ItemRef;

ValidationItem ElementItem(const host::ElementPtr& element) {
  return {ItemRef{ItemKind::kElement, element->ElementGUID(), element->Name(), element->Type()},
          "Orba_OnRunElementRule",
          {element}};
}

ValidationItem PackageItem(const host::PackagePtr& package) {
  const host::ElementPtr element = package->Element();
  return {ItemRef{ItemKind::kPackage, element ? element->ElementGUID() : "", package->Name(),
                  "Package"},
          "Orba_OnRunPackageRule",
          {package->PackageID()}};
}

ValidationItem ConnectorItem(const host::ConnectorPtr& connector) {
  return {ItemRef{ItemKind::kConnector, connector->ConnectorGUID(), "", connector->Type()},
          "Orba_OnRunConnectorRule",
          {connector->ConnectorID()}};
}

ValidationItem OperationItem(const host::MethodPtr& method, int32_t owner_id) {
  return {ItemRef{ItemKind::kOperation, method->MethodGUID(), method->Name(), "Operation"},
          "Orba_OnRunMethodRule",
          {method->MethodGUID(), owner_id}};
}

}  // namespace

std::vector<ValidationItem> CollectValidationItems(store::ModelRepository& repository) {
  std::vector<ValidationItem> items;
  std::vector<host::ElementPtr> elements;
  for (int32_t id : repository.ElementIds()) elements.push_back(repository.GetElementByID(id));
  for (const host::ElementPtr& element : elements) items.push_back(ElementItem(element));
  for (int32_t id : repository.PackageIds()) {
    items.push_back(PackageItem(repository.GetPackageByID(id)));
  }
  for (int32_t id : repository.ConnectorIds()) {
    items.push_back(ConnectorItem(repository.GetConnectorByID(id)));
  }
  for (const host::ElementPtr& element : elements) {
    for (const host::MethodPtr& method : element->Methods()->Items()) {
      items.push_back(OperationItem(method, element->ElementID()));
    }
  }
  return items;
}

}  // namespace orba::validator
