// The host objects of an open model: elements, packages, connectors, their
// ends, operations, diagrams, tagged values, attributes and parameters. Each
// holds the record it was read from and the session it came from.
#pragma once

#include <memory>

#include "host/host.h"
#include "orba/store/model_rows.h"
#include "orba/store/model_session.h"

namespace orba::store {

using SessionPtr = std::shared_ptr<ModelSession>;

class StoredElement final : public host::Element {
 public:
  // `is_new`: created by AddNew and not stored yet; Update inserts it.
  StoredElement(SessionPtr session, ElementRow row, bool is_new = false);

  int32_t ElementID() override { return row_.id; }
  std::string ElementGUID() override { return row_.guid; }
  std::string Name() override { return row_.name; }
  std::string Notes() override { return row_.notes; }
  std::string Type() override { return row_.type; }
  std::string Stereotype() override { return row_.stereotype.value_or(""); }
  std::string Metatype() override;
  std::string Abstract() override { return row_.abstract; }
  void SetAbstract(const std::string& value) override;
  std::string Multiplicity() override { return row_.multiplicity; }
  int32_t ClassifierID() override { return row_.classifier_id; }
  int32_t ParentID() override { return row_.parent_id; }
  int32_t PropertyTypeID() override { return row_.property_type_id; }
  host::CollectionPtr<host::Element> Elements() override;
  host::CollectionPtr<host::Element> EmbeddedItems() override;
  host::CollectionPtr<host::Connector> Connectors() override;
  host::CollectionPtr<host::Method> Methods() override;
  host::CollectionPtr<host::Attribute> Attributes() override;
  host::CollectionPtr<host::TaggedValue> TaggedValues() override;
  host::CollectionPtr<host::TaggedValue> TaggedValueList() override;
  bool Update() override;

 private:
  void InsertNew();

  SessionPtr session_;
  ElementRow row_;
  bool is_new_;
};

class StoredPackage final : public host::Package {
 public:
  StoredPackage(SessionPtr session, PackageRow row);

  int32_t PackageID() override { return row_.id; }
  std::string Name() override { return row_.name; }
  int32_t ParentID() override { return row_.parent_id; }
  host::ElementPtr Element() override;
  host::CollectionPtr<host::Element> Elements() override;
  host::CollectionPtr<host::Diagram> Diagrams() override;

 private:
  SessionPtr session_;
  PackageRow row_;
};

class StoredConnector final : public host::Connector {
 public:
  StoredConnector(SessionPtr session, ConnectorRow row);

  int32_t ConnectorID() override { return row_.id; }
  std::string ConnectorGUID() override { return row_.guid; }
  std::string Type() override { return row_.type; }
  std::string Stereotype() override { return row_.stereotype.value_or(""); }
  int32_t ClientID() override { return row_.client_id; }
  int32_t SupplierID() override { return row_.supplier_id; }
  host::ConnectorEndPtr ClientEnd() override;
  host::ConnectorEndPtr SupplierEnd() override;
  host::CollectionPtr<host::ConnectorTaggedValue> TaggedValues() override;

 private:
  SessionPtr session_;
  ConnectorRow row_;
};

class StoredDiagram final : public host::Diagram {
 public:
  StoredDiagram(SessionPtr session, DiagramRow row, bool is_new = false);

  int32_t DiagramID() override { return row_.id; }
  std::string Name() override { return row_.name; }
  std::string Type() override { return row_.type; }
  int32_t DisplayFlags() override { return row_.display_flags; }
  void SetDisplayFlags(int32_t flags) override { row_.display_flags = flags; }
  bool Update() override;
  host::CollectionPtr<host::DiagramObject> DiagramObjects() override;
  host::CollectionPtr<host::DiagramLink> DiagramLinks() override;

 private:
  SessionPtr session_;
  DiagramRow row_;
  bool is_new_;
};

class StoredMethod final : public host::Method {
 public:
  StoredMethod(SessionPtr session, OperationRow row);

  std::string Name() override { return row_.name; }
  std::string Stereotype() override { return row_.stereotype.value_or(""); }
  std::string MethodGUID() override { return row_.guid; }
  host::CollectionPtr<host::Parameter> Parameters() override;

 private:
  SessionPtr session_;
  OperationRow row_;
};

// The host object of kind `Object` for a record that was found; null when not.
template <class Object, class Row>
std::shared_ptr<Object> ObjectFor(const SessionPtr& session, std::optional<Row> row) {
  if (!row) return nullptr;
  return std::make_shared<Object>(session, std::move(*row));
}

// The element's text for SetAbstract: "1" for the true words, "0" for the
// false words, any other text as given.
std::string StoredAbstractText(const std::string& value);

}  // namespace orba::store
