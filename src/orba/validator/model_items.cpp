#include "orba/validator/model_items.h"

#include "orba/store/model_session.h"

namespace orba::validator {
namespace {

using store::ItemKind;
using store::ItemRef;

// The xmi:id an item was imported with ("" when none), so that reports name
// the item as the user's own modelling tool knows it.
class XmiIds {
 public:
  explicit XmiIds(store::ModelSession& session) : session_(session) {}

  std::string Of(const char* item_kind, int32_t item_id) {
    return session_.ItemField(item_kind, item_id, "xmiId");
  }

  std::string OfOperation(const std::string& guid) {
    store::Statement operation =
        session_.Db().Prepare("SELECT OperationID FROM t_operation WHERE orba_guid = ?");
    operation.Bind(guid);
    return operation.Step() ? Of(store::kOperationItem, operation.Int(0)) : "";
  }

 private:
  store::ModelSession& session_;
};

ValidationItem ElementItem(const host::ElementPtr& element, XmiIds& xmi_ids) {
  return {ItemRef{ItemKind::kElement, element->ElementGUID(), element->Name(), element->Type(),
                  xmi_ids.Of(store::kElementItem, element->ElementID())},
          "Orba_OnRunElementRule",
          {element}};
}

ValidationItem PackageItem(const host::PackagePtr& package, XmiIds& xmi_ids) {
  const host::ElementPtr element = package->Element();
  return {ItemRef{ItemKind::kPackage, element ? element->ElementGUID() : "", package->Name(),
                  "Package", xmi_ids.Of(store::kPackageItem, package->PackageID())},
          "Orba_OnRunPackageRule",
          {package->PackageID()}};
}

ValidationItem ConnectorItem(const host::ConnectorPtr& connector, XmiIds& xmi_ids) {
  return {ItemRef{ItemKind::kConnector, connector->ConnectorGUID(), "", connector->Type(),
                  xmi_ids.Of(store::kConnectorItem, connector->ConnectorID())},
          "Orba_OnRunConnectorRule",
          {connector->ConnectorID()}};
}

ValidationItem OperationItem(const host::MethodPtr& method, int32_t owner_id, XmiIds& xmi_ids) {
  const std::string guid = method->MethodGUID();
  return {
      ItemRef{ItemKind::kOperation, guid, method->Name(), "Operation", xmi_ids.OfOperation(guid)},
      "Orba_OnRunMethodRule",
      {method->MethodGUID(), owner_id}};
}

}  // namespace

std::vector<ValidationItem> CollectValidationItems(store::ModelRepository& repository) {
  std::vector<ValidationItem> items;
  XmiIds xmi_ids(repository.Session());
  std::vector<host::ElementPtr> elements;
  for (int32_t id : repository.ElementIds()) elements.push_back(repository.GetElementByID(id));
  for (const host::ElementPtr& element : elements) items.push_back(ElementItem(element, xmi_ids));
  for (int32_t id : repository.PackageIds()) {
    items.push_back(PackageItem(repository.GetPackageByID(id), xmi_ids));
  }
  for (int32_t id : repository.ConnectorIds()) {
    items.push_back(ConnectorItem(repository.GetConnectorByID(id), xmi_ids));
  }
  for (const host::ElementPtr& element : elements) {
    for (const host::MethodPtr& method : element->Methods()->Items()) {
      items.push_back(OperationItem(method, element->ElementID(), xmi_ids));
    }
  }
  return items;
}

}  // namespace orba::validator
