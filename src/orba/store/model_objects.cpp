#include "orba/store/model_objects.h"

#include "base/guid.h"
#include "orba/store/stored_collection.h"

namespace orba::store {
namespace {

// Element kinds drawn on their owner's border: ports, activity parameters, pins.
constexpr const char* kEmbeddedTypes =
    "('Port', 'ActivityParameter', 'ActionPin', 'InputPin', 'OutputPin', 'ValuePin', 'Pin')";

// A tagged value (name and value) of an element or a connector.
template <class Interface>
class StoredNameValue final : public Interface {
 public:
  explicit StoredNameValue(NamedText text) : text_(std::move(text)) {}
  std::string Name() override { return text_.name; }
  std::string Value() override { return text_.text; }

 private:
  NamedText text_;
};

// An attribute or a parameter (name and type).
template <class Interface>
class StoredNameType final : public Interface {
 public:
  explicit StoredNameType(NamedText text) : text_(std::move(text)) {}
  std::string Name() override { return text_.name; }
  std::string Type() override { return text_.text; }

 private:
  NamedText text_;
};

class StoredConnectorEnd final : public host::ConnectorEnd {
 public:
  explicit StoredConnectorEnd(int32_t aggregation) : aggregation_(aggregation) {}
  int32_t Aggregation() override { return aggregation_; }

 private:
  int32_t aggregation_;
};

class StoredDiagramObject final : public host::DiagramObject {
 public:
  explicit StoredDiagramObject(DiagramObjectRow row) : row_(std::move(row)) {}
  int32_t ElementID() override { return row_.element_id; }
  int32_t Left() override { return row_.rect ? row_.rect->x : 0; }
  int32_t Top() override { return row_.rect ? row_.rect->y : 0; }
  int32_t Right() override { return row_.rect ? row_.rect->x + row_.rect->width : 0; }
  int32_t Bottom() override { return row_.rect ? row_.rect->y + row_.rect->height : 0; }

 private:
  DiagramObjectRow row_;
};

class StoredDiagramLink final : public host::DiagramLink {
 public:
  explicit StoredDiagramLink(DiagramLinkRow row) : row_(row) {}
  int32_t ConnectorID() override { return row_.connector_id; }
  bool IsHidden() override { return row_.hidden; }

 private:
  DiagramLinkRow row_;
};

// Wraps each record in a host object of kind `Object`.
template <class Interface, class Object, class Row, class... Context>
std::vector<std::shared_ptr<Interface>> Wrap(std::vector<Row> rows, const Context&... context) {
  std::vector<std::shared_ptr<Interface>> objects;
  objects.reserve(rows.size());
  for (Row& row : rows) objects.push_back(std::make_shared<Object>(context..., std::move(row)));
  return objects;
}

// A collection of the elements matching an SQL condition with one id parameter.
host::CollectionPtr<host::Element> ElementCollection(
    SessionPtr session, std::string condition, int32_t id,
    StoredCollection<host::Element>::Maker make_new = nullptr) {
  return MakeCollection<host::Element>(
      [session, condition = std::move(condition), id] {
        return Wrap<host::Element, StoredElement>(session->SelectElements(condition, id), session);
      },
      std::move(make_new));
}

// New elements of a package, or owned by an element. An element standing for
// a package adds to that package.
StoredCollection<host::Element>::Maker NewElementMaker(SessionPtr session, int32_t package_id,
                                                       int32_t parent_id) {
  return [session, package_id, parent_id](const std::string& name, const std::string& type) {
    ElementRow row;
    row.name = name;
    row.type = type;
    row.package_id = package_id;
    row.parent_id = parent_id;
    if (parent_id != 0) {
      if (std::optional<PackageRow> package = session->FindPackageOfElement(parent_id)) {
        row.package_id = package->id;
        row.parent_id = 0;
      }
    }
    return std::make_shared<StoredElement>(session, std::move(row), true);
  };
}

host::CollectionPtr<host::TaggedValue> TagCollection(SessionPtr session, int32_t element_id) {
  return MakeCollection<host::TaggedValue>([session, element_id] {
    return Wrap<host::TaggedValue, StoredNameValue<host::TaggedValue>>(session->TagsOf(element_id));
  });
}

}  // namespace

std::string StoredAbstractText(const std::string& value) {
  if (value == "True" || value == "true" || value == "1" || value == "-1") return "1";
  if (value == "False" || value == "false" || value == "0") return "0";
  return value;
}

StoredElement::StoredElement(SessionPtr session, ElementRow row, bool is_new)
    : session_(std::move(session)), row_(std::move(row)), is_new_(is_new) {}

std::string StoredElement::Metatype() { return session_->MetatypeOf(row_); }

void StoredElement::SetAbstract(const std::string& value) {
  row_.abstract = StoredAbstractText(value);
}

host::CollectionPtr<host::Element> StoredElement::Elements() {
  return ElementCollection(session_, "WHERE ParentID = ? ORDER BY Object_ID", row_.id,
                           NewElementMaker(session_, row_.package_id, row_.id));
}

host::CollectionPtr<host::Element> StoredElement::EmbeddedItems() {
  return ElementCollection(session_,
                           std::string("WHERE ParentID = ? AND Object_Type IN ") + kEmbeddedTypes +
                               " ORDER BY Object_ID",
                           row_.id);
}

host::CollectionPtr<host::Connector> StoredElement::Connectors() {
  return MakeCollection<host::Connector>([session = session_, id = row_.id] {
    return Wrap<host::Connector, StoredConnector>(session->ConnectorsOf(id), session);
  });
}

host::CollectionPtr<host::Method> StoredElement::Methods() {
  return MakeCollection<host::Method>([session = session_, id = row_.id] {
    return Wrap<host::Method, StoredMethod>(session->OperationsOf(id), session);
  });
}

host::CollectionPtr<host::Attribute> StoredElement::Attributes() {
  return MakeCollection<host::Attribute>([session = session_, id = row_.id] {
    return Wrap<host::Attribute, StoredNameType<host::Attribute>>(session->AttributesOf(id));
  });
}

host::CollectionPtr<host::TaggedValue> StoredElement::TaggedValues() {
  return TagCollection(session_, row_.id);
}

host::CollectionPtr<host::TaggedValue> StoredElement::TaggedValueList() {
  return TagCollection(session_, row_.id);
}

bool StoredElement::Update() {
  if (is_new_) {
    InsertNew();
    return true;
  }
  session_->UpdateElement(row_);
  if (HostServices* services = session_->Services()) services->ItemModified(row_.guid, 4);
  return true;
}

void StoredElement::InsertNew() {
  row_.guid = base::NewGuid();
  row_.id = session_->InsertElement(row_);
  is_new_ = false;
  if (HostServices* services = session_->Services()) services->ElementCreated(row_.id);
}

StoredPackage::StoredPackage(SessionPtr session, PackageRow row)
    : session_(std::move(session)), row_(std::move(row)) {}

host::ElementPtr StoredPackage::Element() {
  return ObjectFor<StoredElement>(session_, session_->FindElement(row_.element_id));
}

host::CollectionPtr<host::Element> StoredPackage::Elements() {
  return ElementCollection(
      session_,
      "WHERE Package_ID = ? AND ParentID = 0 AND Object_Type <> 'Package' ORDER BY Object_ID",
      row_.id, NewElementMaker(session_, row_.id, 0));
}

host::CollectionPtr<host::Diagram> StoredPackage::Diagrams() {
  auto session = session_;
  int32_t package_id = row_.id;
  return MakeCollection<host::Diagram>(
      [session, package_id] {
        return Wrap<host::Diagram, StoredDiagram>(session->DiagramsOf(package_id), session);
      },
      [session, package_id](const std::string& name, const std::string& type) {
        return std::make_shared<StoredDiagram>(session, DiagramRow{0, package_id, name, type, 0},
                                               true);
      });
}

StoredConnector::StoredConnector(SessionPtr session, ConnectorRow row)
    : session_(std::move(session)), row_(std::move(row)) {}

host::ConnectorEndPtr StoredConnector::ClientEnd() {
  return std::make_shared<StoredConnectorEnd>(row_.client_aggregation);
}

host::ConnectorEndPtr StoredConnector::SupplierEnd() {
  return std::make_shared<StoredConnectorEnd>(row_.supplier_aggregation);
}

host::CollectionPtr<host::ConnectorTaggedValue> StoredConnector::TaggedValues() {
  return MakeCollection<host::ConnectorTaggedValue>([session = session_, id = row_.id] {
    return Wrap<host::ConnectorTaggedValue, StoredNameValue<host::ConnectorTaggedValue>>(
        session->ConnectorTagsOf(id));
  });
}

StoredDiagram::StoredDiagram(SessionPtr session, DiagramRow row, bool is_new)
    : session_(std::move(session)), row_(std::move(row)), is_new_(is_new) {}

bool StoredDiagram::Update() {
  if (is_new_) {
    row_.id = session_->InsertDiagram(row_);
    is_new_ = false;
  } else {
    session_->UpdateDiagram(row_);
  }
  return true;
}

host::CollectionPtr<host::DiagramObject> StoredDiagram::DiagramObjects() {
  return MakeCollection<host::DiagramObject>([session = session_, id = row_.id] {
    return Wrap<host::DiagramObject, StoredDiagramObject>(session->ObjectsOf(id));
  });
}

host::CollectionPtr<host::DiagramLink> StoredDiagram::DiagramLinks() {
  return MakeCollection<host::DiagramLink>([session = session_, id = row_.id] {
    return Wrap<host::DiagramLink, StoredDiagramLink>(session->LinksOf(id));
  });
}

StoredMethod::StoredMethod(SessionPtr session, OperationRow row)
    : session_(std::move(session)), row_(std::move(row)) {}

host::CollectionPtr<host::Parameter> StoredMethod::Parameters() {
  return MakeCollection<host::Parameter>([session = session_, id = row_.id] {
    return Wrap<host::Parameter, StoredNameType<host::Parameter>>(session->ParametersOf(id));
  });
}

}  // namespace orba::store
