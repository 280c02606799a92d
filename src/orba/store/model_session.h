// ModelSession: one open model: its database, whether it may be written,
// and the reads and writes of its records. The repository and every host
// object taken from it share the session; closing the model closes it, and
// from then on every use throws host::Error("no model is open").
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "orba/store/database.h"
#include "orba/store/host_services.h"
#include "orba/store/model_rows.h"
#include "orba/store/row_cache.h"

namespace orba::store {

class ModelSession {
 public:
  ModelSession(std::unique_ptr<Database> db, HostServices* services);

  bool IsOpen() const { return db_ != nullptr; }
  void Close();
  Database& Db();  // throws host::Error("no model is open") once closed
  const std::string& Location();
  bool IsReadOnly();
  void RequireWritable();  // throws StoreError for a read-only model
  HostServices* Services() const { return services_; }
  void SetServices(HostServices* services) { services_ = services; }

  // While the read cache is on, elements, packages and connectors found by
  // id, the connectors, tags, attributes and operations of items (a bounded
  // number of each), and the last ModelItem document
  // built, so that what the add-in asks for again and again is read once:
  // the rules of a validation run reach the same items many times, and the
  // compartments of one drawing each ask for the element's document. Every
  // write forgets what was kept. ReadCacheScope turns it on for a scope.
  void SetReadCache(bool on);
  // For callers that go through every element or connector of a model (the
  // validator): the query of those matching an SQL condition, the row a step
  // of it is at, and keeping a row read that way in the read cache as if it
  // had been found by id.
  static std::string ElementQuery(const std::string& condition);
  static ElementRow ElementRowAt(const Statement& statement);
  static std::string ConnectorQuery(const std::string& condition);
  static ConnectorRow ConnectorRowAt(const Statement& statement);
  void Keep(const ElementRow& row);
  void Keep(const ConnectorRow& row);

  // The ModelItem document of `guid`, built by `build` unless it was the
  // last one built while the read cache is on.
  std::string ItemDocument(const std::string& guid, const std::function<std::string()>& build);

  // Elements (package elements included). Ids and GUIDs that name nothing:
  // nullopt. GUIDs match whatever the case of their letters.
  std::optional<ElementRow> FindElement(int32_t id);
  std::optional<ElementRow> FindElementByGuid(const std::string& guid);
  // The elements matching an SQL condition on t_object, in the host's order.
  template <class... Args>
  std::vector<ElementRow> SelectElements(const std::string& condition, const Args&... args) {
    Statement statement = Db().Prepare(ElementQuery(condition));
    statement.Bind(args...);
    return ReadElements(statement);
  }
  int32_t InsertElement(const ElementRow& row);  // row.id 0: a new id is assigned
  void UpdateElement(const ElementRow& row);

  std::optional<PackageRow> FindPackage(int32_t id);
  std::optional<PackageRow> FindPackageOfElement(int32_t element_id);
  std::vector<PackageRow> AllPackages();
  int32_t InsertPackage(const PackageRow& row);

  std::optional<ConnectorRow> FindConnector(int32_t id);
  std::optional<ConnectorRow> FindConnectorByGuid(const std::string& guid);
  std::vector<ConnectorRow> ConnectorsOf(int32_t element_id);  // at either end, once each
  std::vector<ConnectorRow> AllConnectors();
  int32_t InsertConnector(const ConnectorRow& row);

  std::vector<OperationRow> OperationsOf(int32_t element_id);
  std::optional<OperationRow> FindOperationByGuid(const std::string& guid);
  int32_t InsertOperation(const OperationRow& row);

  std::vector<NamedText> TagsOf(int32_t element_id);
  std::vector<NamedText> AttributesOf(int32_t element_id);
  std::vector<NamedText> ParametersOf(int32_t operation_id);
  std::vector<NamedText> ConnectorTagsOf(int32_t connector_id);
  void InsertTag(int32_t element_id, const NamedText& tag);
  void InsertAttribute(int32_t element_id, const NamedText& attribute);
  void InsertParameter(int32_t operation_id, const NamedText& parameter);
  void InsertConnectorTag(int32_t connector_id, const NamedText& tag);

  // The further fields of an item (`item_kind`: kPackageItem, ...), in the
  // order they were written; none in a file made before they existed.
  std::vector<NamedText> ItemFieldsOf(const std::string& item_kind, int32_t item_id);
  // Whether any item has a field named `field`.
  bool AnyItemHasField(const std::string& field);
  // The first field named `field`; "" when the item has none.
  std::string ItemField(const std::string& item_kind, int32_t item_id, const std::string& field);
  void InsertItemField(const std::string& item_kind, int32_t item_id, const NamedText& field);

  std::optional<DiagramRow> FindDiagram(int32_t id);
  std::vector<DiagramRow> DiagramsOf(int32_t package_id);
  std::vector<DiagramRow> AllDiagrams();
  int32_t InsertDiagram(const DiagramRow& row);
  void UpdateDiagram(const DiagramRow& row);
  // A diagram's contents in the order they were added; none in a file made
  // before diagrams had contents.
  std::vector<DiagramObjectRow> ObjectsOf(int32_t diagram_id);
  std::vector<DiagramLinkRow> LinksOf(int32_t diagram_id);
  void InsertDiagramObject(const DiagramObjectRow& row);
  void InsertDiagramLink(const DiagramLinkRow& row);

  // The element's metatype: the explicit one, else the one the installed
  // technologies define for its stereotype, else "".
  std::string MetatypeOf(const ElementRow& row);
  // Forgets what was derived from the technologies (after one changed).
  void TechnologiesChanged() { stereotype_metatypes_.reset(); }

 private:
  static constexpr size_t kReadCacheRows = 16384;  // of each kind, per generation
  // What `read` answers for `id`, kept in `cache` while the read cache is on.
  template <class Value, class Read>
  std::optional<Value> Cached(RowCache<Value>& cache, int32_t id, Read read);
  void ForgetCachedRows();
  // With the read cache on, a list missing from `cache` is read together
  // with those of the next ids, kReadAhead in all, in one statement: the
  // validator and the report read items in id order, and a repository
  // answers each statement over a round trip. `range_sql` answers, for the
  // owners from ?1 to ?2, each row as `read_row` reads it, then its owner's id.
  static constexpr int32_t kReadAhead = 256;
  struct PropertyQueries {
    std::string one;    // of the owner ?
    std::string ahead;  // of the owners from ?1 to ?2, each row with its owner last
  };
  static PropertyQueries PropertyQueriesOf(const std::string& table, const std::string& owner);
  std::vector<NamedText> PropertiesOf(RowCache<std::vector<NamedText>>& cache,
                                      const PropertyQueries& queries, int32_t id);
  template <class Row, class ReadRow>
  std::vector<Row> ReadAhead(RowCache<std::vector<Row>>& cache, int32_t id,
                             const std::string& range_sql, ReadRow read_row);

  // Whether the file has the table: files made before item fields or
  // diagram contents lack theirs.
  bool HasTable(const std::string& name);
  static std::vector<ElementRow> ReadElements(Statement& statement);
  const std::map<std::string, std::string>& StereotypeMetatypes();

  std::unique_ptr<Database> db_;
  std::string location_;
  HostServices* services_;
  std::optional<std::map<std::string, std::string>> stereotype_metatypes_;
  std::map<std::string, bool> has_table_;  // the answers of HasTable
  bool read_cache_ = false;
  RowCache<ElementRow> cached_elements_{kReadCacheRows};
  RowCache<PackageRow> cached_packages_{kReadCacheRows};
  RowCache<ConnectorRow> cached_connectors_{kReadCacheRows};
  struct CachedLists {  // by the id of the item they belong to
    RowCache<std::vector<ConnectorRow>> connectors{kReadCacheRows};
    RowCache<std::vector<OperationRow>> operations{kReadCacheRows};
    RowCache<std::vector<NamedText>> tags{kReadCacheRows};
    RowCache<std::vector<NamedText>> attributes{kReadCacheRows};
    RowCache<std::vector<NamedText>> connector_tags{kReadCacheRows};
  } cached_lists_;
  std::optional<std::pair<std::string, std::string>> last_item_document_;  // GUID, document
};

class ReadCacheScope {
 public:
  explicit ReadCacheScope(ModelSession& session) : session_(session) {
    session_.SetReadCache(true);
  }
  ~ReadCacheScope() { session_.SetReadCache(false); }
  ReadCacheScope(const ReadCacheScope&) = delete;
  ReadCacheScope& operator=(const ReadCacheScope&) = delete;

 private:
  ModelSession& session_;
};

}  // namespace orba::store
