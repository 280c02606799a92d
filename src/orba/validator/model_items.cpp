#include "orba/validator/model_items.h"

#include <array>

#include "orba/store/model_session.h"

namespace orba::validator {
namespace {

using store::ItemKind;
using store::ItemRef;

constexpr char kNotAPackage[] = "Object_ID NOT IN (SELECT Object_ID FROM t_package)";

// Each kind of item, in the validator's order: an element's and a
// connector's whole row (read in one pass rather than looked up by id), a
// package's id, an operation's id, owner, GUID and name.
const std::array<std::string, ValidationItems::kKinds>& ItemQueries() {
  static const std::array<std::string, ValidationItems::kKinds> queries = {
      store::ModelSession::ElementQuery(std::string("WHERE ") + kNotAPackage +
                                        " ORDER BY Object_ID"),
      "SELECT Package_ID FROM t_package ORDER BY Package_ID",
      store::ModelSession::ConnectorQuery("ORDER BY Connector_ID"),
      std::string("SELECT OperationID, Object_ID, orba_guid, Name FROM t_operation WHERE "
                  "Object_ID IN (SELECT Object_ID FROM t_object WHERE ") +
          kNotAPackage + ") ORDER BY Object_ID, OperationID"};
  return queries;
}

size_t CountItems(store::Database& db) {
  size_t count = 0;
  for (const std::string& query : ItemQueries()) {
    store::Statement statement = db.Prepare("SELECT COUNT(*) FROM (" + query + ") AS items");
    if (statement.Step()) count += static_cast<size_t>(statement.Int(0));
  }
  return count;
}

}  // namespace

ValidationItems::ValidationItems(store::ModelRepository& repository)
    : repository_(repository),
      count_(CountItems(repository.Session().Db())),
      xmi_ids_(repository.Session().AnyItemHasField("xmiId")) {}

std::optional<ValidationItem> ValidationItems::Next() {
  for (; kind_ < kKinds; ++kind_) {
    if (!rows_) {
      rows_ = std::make_unique<store::Statement>(
          repository_.Session().Db().Prepare(ItemQueries()[static_cast<size_t>(kind_)]));
    }
    if (rows_->Step()) return Read(kind_);
    rows_.reset();
  }
  return std::nullopt;
}

std::string ValidationItems::XmiId(const char* item_kind, int32_t id) {
  return xmi_ids_ ? repository_.Session().ItemField(item_kind, id, "xmiId") : "";
}

// The item of the current row. The xmi:id it was imported with ("" when
// none) names it as the user's own modelling tool knows it.
ValidationItem ValidationItems::Read(int kind) {
  const int32_t id = rows_->Int(0);
  switch (kind) {
    case kElements: {
      repository_.Session().Keep(store::ModelSession::ElementRowAt(*rows_));
      const host::ElementPtr element = repository_.GetElementByID(id);
      return ValidationItem{ItemRef{ItemKind::kElement, element->ElementGUID(), element->Name(),
                                    element->Type(), XmiId(store::kElementItem, id)},
                            "Orba_OnRunElementRule",
                            {element}};
    }
    case kPackages: {
      const host::PackagePtr package = repository_.GetPackageByID(id);
      const host::ElementPtr element = package->Element();
      return ValidationItem{ItemRef{ItemKind::kPackage, element ? element->ElementGUID() : "",
                                    package->Name(), "Package", XmiId(store::kPackageItem, id)},
                            "Orba_OnRunPackageRule",
                            {id}};
    }
    case kConnectors: {
      repository_.Session().Keep(store::ModelSession::ConnectorRowAt(*rows_));
      const host::ConnectorPtr connector = repository_.GetConnectorByID(id);
      return ValidationItem{ItemRef{ItemKind::kConnector, connector->ConnectorGUID(), "",
                                    connector->Type(), XmiId(store::kConnectorItem, id)},
                            "Orba_OnRunConnectorRule",
                            {id}};
    }
    default: {  // kOperations
      const std::string guid = rows_->Text(2);
      return ValidationItem{ItemRef{ItemKind::kOperation, guid, rows_->Text(3), "Operation",
                                    XmiId(store::kOperationItem, id)},
                            "Orba_OnRunMethodRule",
                            {guid, rows_->Int(1)}};
    }
  }
}

}  // namespace orba::validator
