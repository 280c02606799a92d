// ModelSession's reads and writes of the model's records.
#include <algorithm>
#include <iterator>
#include <map>

#include "orba/store/model_session.h"

namespace orba::store {
namespace {

constexpr const char* kPackageColumns =
    "SELECT Package_ID, Name, Parent_ID, Object_ID, Model_Key FROM t_package ";
#define ORBA_CONNECTOR_FIELDS                                                         \
  "SELECT Connector_ID, Connector_Type, Stereotype, Start_Object_ID, End_Object_ID, " \
  "SourceAggregation, DestAggregation, orba_guid, Model_Key"
constexpr const char* kConnectorColumns = ORBA_CONNECTOR_FIELDS " FROM t_connector ";
constexpr const char* kDiagramColumns =
    "SELECT Diagram_ID, Package_ID, Name, Diagram_Type, Display_Flags FROM t_diagram ";

PackageRow ReadPackage(const Statement& s) {
  return PackageRow{s.Int(0), s.Text(1), s.Int(2), s.Int(3), s.OptionalText(4)};
}

ConnectorRow ReadConnector(const Statement& s) {
  return ConnectorRow{s.Int(0), s.Text(1), s.OptionalText(2), s.Int(3),         s.Int(4),
                      s.Int(5), s.Int(6),  s.Text(7),         s.OptionalText(8)};
}

DiagramRow ReadDiagram(const Statement& s) {
  return DiagramRow{s.Int(0), s.Int(1), s.Text(2), s.Text(3), s.Int(4)};
}

template <class Row, class Reader, class... Args>
std::vector<Row> ReadAll(Database& db, const std::string& sql, Reader read, const Args&... args) {
  Statement statement = db.Prepare(sql);
  statement.Bind(args...);
  std::vector<Row> rows;
  while (statement.Step()) rows.push_back(read(statement));
  return rows;
}

template <class Row>
std::optional<Row> FirstOf(std::vector<Row> rows) {
  if (rows.empty()) return std::nullopt;
  return std::move(rows.front());
}

OperationRow ReadOperation(const Statement& s) {
  return OperationRow{s.Int(0), s.Int(1), s.Text(2), s.OptionalText(3), s.Text(4)};
}

NamedText ReadNamedText(const Statement& s) { return NamedText{s.Text(0), s.Text(1)}; }

std::vector<NamedText> ReadNamedTexts(Database& db, const std::string& sql, int32_t owner_id) {
  return ReadAll<NamedText>(db, sql, ReadNamedText, owner_id);
}

// An id of 0 lets SQLite assign the next one.
std::optional<int32_t> IdOrNull(int32_t id) {
  if (id == 0) return std::nullopt;
  return id;
}

// The id an INSERT ... RETURNING statement gave its row.
int32_t InsertedId(Statement& insert) {
  insert.Step();
  return insert.Int(0);
}

}  // namespace

std::string ModelSession::ElementQuery(const std::string& condition) {
  return "SELECT Object_ID, Object_Type, Name, Stereotype, Metatype, Notes, Abstract, "
         "Multiplicity, Package_ID, ParentID, Classifier, PropertyType, orba_guid, Model_Key "
         "FROM t_object " +
         condition;
}

ElementRow ModelSession::ElementRowAt(const Statement& s) {
  return ElementRow{s.Int(0),  s.Text(1), s.Text(2),  s.OptionalText(3), s.OptionalText(4),
                    s.Text(5), s.Text(6), s.Text(7),  s.Int(8),          s.Int(9),
                    s.Int(10), s.Int(11), s.Text(12), s.OptionalText(13)};
}

std::vector<ElementRow> ModelSession::ReadElements(Statement& s) {
  std::vector<ElementRow> rows;
  while (s.Step()) rows.push_back(ElementRowAt(s));
  return rows;
}

std::string ModelSession::ConnectorQuery(const std::string& condition) {
  return kConnectorColumns + condition;
}

ConnectorRow ModelSession::ConnectorRowAt(const Statement& statement) {
  return ReadConnector(statement);
}

void ModelSession::Keep(const ElementRow& row) {
  if (read_cache_) cached_elements_.Put(row.id, row);
}

void ModelSession::Keep(const ConnectorRow& row) {
  if (read_cache_) cached_connectors_.Put(row.id, row);
}

template <class Value, class Read>
std::optional<Value> ModelSession::Cached(RowCache<Value>& cache, int32_t id, Read read) {
  if (!read_cache_) return read();
  if (const std::optional<Value>* kept = cache.Find(id)) return *kept;
  return cache.Put(id, read());
}

std::optional<ElementRow> ModelSession::FindElement(int32_t id) {
  static const std::string kQuery = ElementQuery("WHERE Object_ID = ?");
  return Cached(cached_elements_, id, [&] {
    Statement statement = Db().Prepare(kQuery);
    statement.Bind(id);
    return FirstOf(ReadElements(statement));
  });
}

// GUIDs are compared without regard to case. The exact match comes first:
// it uses the GUID's index, where the other reads every element.
std::optional<ElementRow> ModelSession::FindElementByGuid(const std::string& guid) {
  if (auto exact = FirstOf(SelectElements("WHERE orba_guid = ?", guid))) return exact;
  return FirstOf(SelectElements("WHERE lower(orba_guid) = lower(?) ORDER BY Object_ID", guid));
}

int32_t ModelSession::InsertElement(const ElementRow& row) {
  RequireWritable();
  return InsertedId(
      Db().Prepare(
              "INSERT INTO t_object (Object_ID, Object_Type, Name, Stereotype, Metatype, Notes, "
              "Abstract, Multiplicity, Package_ID, ParentID, Classifier, PropertyType, orba_guid, "
              "Model_Key) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?) RETURNING Object_ID")
          .Bind(IdOrNull(row.id), row.type, row.name, row.stereotype, row.metatype, row.notes,
                row.abstract, row.multiplicity, row.package_id, row.parent_id, row.classifier_id,
                row.property_type_id, row.guid, row.key));
}

void ModelSession::UpdateElement(const ElementRow& row) {
  RequireWritable();
  Db().Prepare(
          "UPDATE t_object SET Object_Type = ?, Name = ?, Stereotype = ?, Metatype = ?, "
          "Notes = ?, Abstract = ?, Multiplicity = ?, Package_ID = ?, ParentID = ?, "
          "Classifier = ?, PropertyType = ? WHERE Object_ID = ?")
      .Bind(row.type, row.name, row.stereotype, row.metatype, row.notes, row.abstract,
            row.multiplicity, row.package_id, row.parent_id, row.classifier_id,
            row.property_type_id, row.id)
      .Run();
}

std::optional<PackageRow> ModelSession::FindPackage(int32_t id) {
  return Cached(cached_packages_, id, [&] {
    return FirstOf(ReadAll<PackageRow>(Db(), std::string(kPackageColumns) + "WHERE Package_ID = ?",
                                       ReadPackage, id));
  });
}

std::optional<PackageRow> ModelSession::FindPackageOfElement(int32_t element_id) {
  return FirstOf(ReadAll<PackageRow>(Db(), std::string(kPackageColumns) + "WHERE Object_ID = ?",
                                     ReadPackage, element_id));
}

std::vector<PackageRow> ModelSession::AllPackages() {
  return ReadAll<PackageRow>(Db(), std::string(kPackageColumns) + "ORDER BY Package_ID",
                             ReadPackage);
}

int32_t ModelSession::InsertPackage(const PackageRow& row) {
  RequireWritable();
  return InsertedId(
      Db().Prepare("INSERT INTO t_package (Package_ID, Name, Parent_ID, Object_ID, Model_Key) "
                   "VALUES (?, ?, ?, ?, ?) RETURNING Package_ID")
          .Bind(IdOrNull(row.id), row.name, row.parent_id, row.element_id, row.key));
}

std::optional<ConnectorRow> ModelSession::FindConnector(int32_t id) {
  static const std::string kQuery = std::string(kConnectorColumns) + "WHERE Connector_ID = ?";
  return Cached(cached_connectors_, id,
                [&] { return FirstOf(ReadAll<ConnectorRow>(Db(), kQuery, ReadConnector, id)); });
}

template <class Row, class ReadRow>
std::vector<Row> ModelSession::ReadAhead(RowCache<std::vector<Row>>& cache, int32_t id,
                                         const std::string& range_sql, ReadRow read_row) {
  if (const std::optional<std::vector<Row>>* kept = cache.Find(id)) return **kept;
  const int32_t last = id > INT32_MAX - kReadAhead ? INT32_MAX : id + kReadAhead - 1;
  std::map<int32_t, std::vector<Row>> lists;
  Statement statement = Db().Prepare(range_sql);
  statement.Bind(id, last);
  while (statement.Step()) {
    lists[statement.Int(statement.ColumnCount() - 1)].push_back(read_row(statement));
  }
  std::vector<Row> asked = std::move(lists[id]);
  for (int32_t owner = last; owner > id; --owner) cache.Put(owner, std::move(lists[owner]));
  cache.Put(id, asked);
  return asked;
}

// A connector from the element to itself comes once; each list is in id order.
std::vector<ConnectorRow> ModelSession::ConnectorsOf(int32_t element_id) {
  static const std::string kAtEitherEnd =
      std::string(kConnectorColumns) + "WHERE Start_Object_ID = ?1 UNION ALL " + kConnectorColumns +
      "WHERE End_Object_ID = ?1 AND Start_Object_ID <> ?1";
  static const std::string kAtEitherEndInRange = ORBA_CONNECTOR_FIELDS
      ", Start_Object_ID FROM t_connector WHERE Start_Object_ID BETWEEN ?1 AND ?2 UNION "
      "ALL " ORBA_CONNECTOR_FIELDS
      ", End_Object_ID FROM t_connector WHERE End_Object_ID BETWEEN ?1 AND ?2 "
      "AND Start_Object_ID <> End_Object_ID";
  std::vector<ConnectorRow> connectors =
      read_cache_
          ? ReadAhead(cached_lists_.connectors, element_id, kAtEitherEndInRange, ReadConnector)
          : ReadAll<ConnectorRow>(Db(), kAtEitherEnd, ReadConnector, element_id);
  std::sort(connectors.begin(), connectors.end(),
            [](const ConnectorRow& left, const ConnectorRow& right) { return left.id < right.id; });
  return connectors;
}

std::vector<ConnectorRow> ModelSession::AllConnectors() {
  return ReadAll<ConnectorRow>(Db(), std::string(kConnectorColumns) + "ORDER BY Connector_ID",
                               ReadConnector);
}

int32_t ModelSession::InsertConnector(const ConnectorRow& row) {
  RequireWritable();
  return InsertedId(
      Db().Prepare(
              "INSERT INTO t_connector (Connector_ID, Connector_Type, Stereotype, Start_Object_ID, "
              "End_Object_ID, SourceAggregation, DestAggregation, orba_guid, Model_Key) "
              "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?) RETURNING Connector_ID")
          .Bind(IdOrNull(row.id), row.type, row.stereotype, row.client_id, row.supplier_id,
                row.client_aggregation, row.supplier_aggregation, row.guid, row.key));
}

std::optional<ConnectorRow> ModelSession::FindConnectorByGuid(const std::string& guid) {
  return FirstOf(ReadAll<ConnectorRow>(Db(), std::string(kConnectorColumns) + "WHERE orba_guid = ?",
                                       ReadConnector, guid));
}

std::optional<OperationRow> ModelSession::FindOperationByGuid(const std::string& guid) {
  return FirstOf(ReadAll<OperationRow>(
      Db(),
      "SELECT OperationID, Object_ID, Name, Stereotype, orba_guid FROM t_operation "
      "WHERE orba_guid = ?",
      ReadOperation, guid));
}

std::vector<OperationRow> ModelSession::OperationsOf(int32_t element_id) {
  return *Cached(cached_lists_.operations, element_id, [&] {
    return ReadAll<OperationRow>(
        Db(),
        "SELECT OperationID, Object_ID, Name, Stereotype, orba_guid FROM t_operation "
        "WHERE Object_ID = ? ORDER BY OperationID",
        ReadOperation, element_id);
  });
}

int32_t ModelSession::InsertOperation(const OperationRow& row) {
  RequireWritable();
  return InsertedId(Db().Prepare("INSERT INTO t_operation (Object_ID, Name, Stereotype, orba_guid) "
                                 "VALUES (?, ?, ?, ?) RETURNING OperationID")
                        .Bind(row.element_id, row.name, row.stereotype, row.guid));
}

std::vector<NamedText> ModelSession::TagsOf(int32_t element_id) {
  static const PropertyQueries kQueries = PropertyQueriesOf("t_objectproperties", "Object_ID");
  return PropertiesOf(cached_lists_.tags, kQueries, element_id);
}

std::vector<NamedText> ModelSession::AttributesOf(int32_t element_id) {
  return *Cached(cached_lists_.attributes, element_id, [&] {
    return ReadNamedTexts(
        Db(), "SELECT Name, Type FROM t_attribute WHERE Object_ID = ? ORDER BY ID", element_id);
  });
}

std::vector<NamedText> ModelSession::ParametersOf(int32_t operation_id) {
  return ReadNamedTexts(Db(),
                        "SELECT Name, Type FROM t_operationparams WHERE OperationID = ? "
                        "ORDER BY ParamID",
                        operation_id);
}

std::vector<NamedText> ModelSession::ConnectorTagsOf(int32_t connector_id) {
  static const PropertyQueries kQueries = PropertyQueriesOf("t_connectortag", "Connector_ID");
  return PropertiesOf(cached_lists_.connector_tags, kQueries, connector_id);
}

// The properties (name, value) of the items of `table` whose `owner` column
// holds their id, in the order they were added: of one item, and of a range.
ModelSession::PropertyQueries ModelSession::PropertyQueriesOf(const std::string& table,
                                                              const std::string& owner) {
  return {"SELECT Property, Value FROM " + table + " WHERE " + owner + " = ? ORDER BY PropertyID",
          "SELECT Property, Value, " + owner + " FROM " + table + " WHERE " + owner +
              " BETWEEN ?1 AND ?2 ORDER BY PropertyID"};
}

std::vector<NamedText> ModelSession::PropertiesOf(RowCache<std::vector<NamedText>>& cache,
                                                  const PropertyQueries& queries, int32_t id) {
  if (read_cache_) return ReadAhead(cache, id, queries.ahead, ReadNamedText);
  return ReadNamedTexts(Db(), queries.one, id);
}

void ModelSession::InsertTag(int32_t element_id, const NamedText& tag) {
  RequireWritable();
  Db().Prepare("INSERT INTO t_objectproperties (Object_ID, Property, Value) VALUES (?, ?, ?)")
      .Bind(element_id, tag.name, tag.text)
      .Run();
}

void ModelSession::InsertAttribute(int32_t element_id, const NamedText& attribute) {
  RequireWritable();
  Db().Prepare("INSERT INTO t_attribute (Object_ID, Name, Type) VALUES (?, ?, ?)")
      .Bind(element_id, attribute.name, attribute.text)
      .Run();
}

void ModelSession::InsertParameter(int32_t operation_id, const NamedText& parameter) {
  RequireWritable();
  Db().Prepare("INSERT INTO t_operationparams (OperationID, Name, Type) VALUES (?, ?, ?)")
      .Bind(operation_id, parameter.name, parameter.text)
      .Run();
}

void ModelSession::InsertConnectorTag(int32_t connector_id, const NamedText& tag) {
  RequireWritable();
  Db().Prepare("INSERT INTO t_connectortag (Connector_ID, Property, Value) VALUES (?, ?, ?)")
      .Bind(connector_id, tag.name, tag.text)
      .Run();
}

bool ModelSession::HasTable(const std::string& name) {
  auto known = has_table_.find(name);
  if (known != has_table_.end()) return known->second;
  return has_table_[name] = Db().HasTable(name);
}

bool ModelSession::AnyItemHasField(const std::string& field) {
  if (!HasTable("orba_item_field")) return false;
  Statement any = Db().Prepare("SELECT 1 FROM orba_item_field WHERE Field = ? LIMIT 1");
  any.Bind(field);
  return any.Step();
}

std::vector<NamedText> ModelSession::ItemFieldsOf(const std::string& item_kind, int32_t item_id) {
  if (!HasTable("orba_item_field")) return {};
  return ReadAll<NamedText>(
      Db(),
      "SELECT Field, Value FROM orba_item_field WHERE Item_Kind = ? AND Item_ID = ? ORDER BY rowid",
      [](const Statement& s) {
        return NamedText{s.Text(0), s.Text(1)};
      },
      item_kind, item_id);
}

std::string ModelSession::ItemField(const std::string& item_kind, int32_t item_id,
                                    const std::string& field) {
  for (const NamedText& candidate : ItemFieldsOf(item_kind, item_id)) {
    if (candidate.name == field) return candidate.text;
  }
  return "";
}

void ModelSession::InsertItemField(const std::string& item_kind, int32_t item_id,
                                   const NamedText& field) {
  RequireWritable();
  Db().Prepare("INSERT INTO orba_item_field (Item_Kind, Item_ID, Field, Value) VALUES (?, ?, ?, ?)")
      .Bind(item_kind, item_id, field.name, field.text)
      .Run();
}

std::optional<DiagramRow> ModelSession::FindDiagram(int32_t id) {
  return FirstOf(ReadAll<DiagramRow>(Db(), std::string(kDiagramColumns) + "WHERE Diagram_ID = ?",
                                     ReadDiagram, id));
}

std::vector<DiagramRow> ModelSession::DiagramsOf(int32_t package_id) {
  return ReadAll<DiagramRow>(
      Db(), std::string(kDiagramColumns) + "WHERE Package_ID = ? ORDER BY Diagram_ID", ReadDiagram,
      package_id);
}

std::vector<DiagramObjectRow> ModelSession::ObjectsOf(int32_t diagram_id) {
  if (!HasTable("t_diagramobjects")) return {};
  return ReadAll<DiagramObjectRow>(
      Db(),
      "SELECT Instance_ID, Diagram_ID, Object_ID, RectLeft, RectTop, RectRight, RectBottom "
      "FROM t_diagramobjects WHERE Diagram_ID = ? ORDER BY Instance_ID",
      [](const Statement& s) {
        DiagramObjectRow row{s.Int(0), s.Int(1), s.Int(2), std::nullopt};
        if (!s.IsNull(3))
          row.rect = DiagramRect{s.Int(3), s.Int(4), s.Int(5) - s.Int(3), s.Int(6) - s.Int(4)};
        return row;
      },
      diagram_id);
}

std::vector<DiagramLinkRow> ModelSession::LinksOf(int32_t diagram_id) {
  if (!HasTable("t_diagramlinks")) return {};
  return ReadAll<DiagramLinkRow>(
      Db(),
      "SELECT Instance_ID, Diagram_ID, Connector_ID, Hidden FROM t_diagramlinks "
      "WHERE Diagram_ID = ? ORDER BY Instance_ID",
      [](const Statement& s) {
        return DiagramLinkRow{s.Int(0), s.Int(1), s.Int(2), s.Int(3) != 0};
      },
      diagram_id);
}

void ModelSession::InsertDiagramObject(const DiagramObjectRow& row) {
  RequireWritable();
  // Without a rectangle, its four sides are NULL.
  std::optional<int32_t> left, top, right, bottom;
  if (row.rect) {
    const DiagramRect& r = *row.rect;
    left = r.x, top = r.y, right = r.x + r.width, bottom = r.y + r.height;
  }
  Db().Prepare(
          "INSERT INTO t_diagramobjects (Diagram_ID, Object_ID, RectLeft, RectTop, RectRight, "
          "RectBottom) VALUES (?, ?, ?, ?, ?, ?)")
      .Bind(row.diagram_id, row.element_id, left, top, right, bottom)
      .Run();
}

void ModelSession::InsertDiagramLink(const DiagramLinkRow& row) {
  RequireWritable();
  Db().Prepare("INSERT INTO t_diagramlinks (Diagram_ID, Connector_ID, Hidden) VALUES (?, ?, ?)")
      .Bind(row.diagram_id, row.connector_id, row.hidden ? 1 : 0)
      .Run();
}

std::vector<DiagramRow> ModelSession::AllDiagrams() {
  return ReadAll<DiagramRow>(Db(), std::string(kDiagramColumns) + "ORDER BY Diagram_ID",
                             ReadDiagram);
}

int32_t ModelSession::InsertDiagram(const DiagramRow& row) {
  RequireWritable();
  return InsertedId(
      Db().Prepare("INSERT INTO t_diagram (Package_ID, Name, Diagram_Type, Display_Flags) "
                   "VALUES (?, ?, ?, ?) RETURNING Diagram_ID")
          .Bind(row.package_id, row.name, row.type, row.display_flags));
}

void ModelSession::UpdateDiagram(const DiagramRow& row) {
  RequireWritable();
  Db().Prepare(
          "UPDATE t_diagram SET Name = ?, Diagram_Type = ?, Display_Flags = ? "
          "WHERE Diagram_ID = ?")
      .Bind(row.name, row.type, row.display_flags, row.id)
      .Run();
}

}  // namespace orba::store
