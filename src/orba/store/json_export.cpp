// Export of the open model as a JSON model document. Items keep the keys
// they were imported with; items created since get new keys ("element12").
#include <nlohmann/json.hpp>
#include <set>

#include "orba/store/json_model.h"
#include "orba/store/model_session.h"

namespace orba::store {
namespace {

using Json = nlohmann::ordered_json;

// The keys of a document: packages, elements and connectors share them.
struct KeySpace {
  std::set<std::string> stored;  // the keys items were imported with
  std::set<std::string> used;    // the keys given out so far
};

// Keys by id for one kind of item, unique within the document. An item keeps
// its stored key unless an earlier item took it; other items get new keys
// ("element12") that no stored key uses.
class KeyNames {
 public:
  KeyNames(std::string prefix, KeySpace& space) : prefix_(std::move(prefix)), space_(space) {}

  // Gives the item with the id its key and answers it.
  std::string Add(int32_t id, const std::optional<std::string>& stored_key) {
    std::string key = stored_key.value_or("");
    if (key.empty() || !space_.used.insert(key).second) key = NewKey(id);
    keys_[id] = key;
    return key;
  }

  // The key of the item with the id; nullptr when there is none.
  const std::string* Find(int32_t id) const {
    auto found = keys_.find(id);
    return found == keys_.end() ? nullptr : &found->second;
  }

 private:
  std::string NewKey(int32_t id) {
    for (int suffix = 0;; ++suffix) {
      std::string key = prefix_ + std::to_string(id) + (suffix ? "_" + std::to_string(suffix) : "");
      if (!space_.stored.contains(key) && space_.used.insert(key).second) return key;
    }
  }

  std::string prefix_;
  KeySpace& space_;
  std::map<int32_t, std::string> keys_;
};

// An item as error messages name it: `element 12 ("Car")`.
std::string Described(const std::string& kind, int32_t id, const std::string& name) {
  return kind + " " + std::to_string(id) + " (\"" + name + "\")";
}

// A model whose items refer to items it does not have, or to the wrong kind.
class ReferenceError : public StoreError {
 public:
  using StoreError::StoreError;
};

// A reference in the model file to an item it does not have, e.g.
// `element 12 ("Car") refers to package 99, which the model does not have`.
[[noreturn]] void FailReference(const std::string& item, const std::string& role, int32_t id,
                                const std::string& problem = "which the model does not have") {
  throw ReferenceError(item + " refers to " + role + " " + std::to_string(id) + ", " + problem);
}

void PutIfNotEmpty(Json& object, const char* field, const std::string& text) {
  if (!text.empty()) object[field] = text;
}

Json NamedTexts(const std::vector<NamedText>& texts, const char* text_field) {
  Json list = Json::array();
  for (const NamedText& text : texts)
    list.push_back(Json{{"name", text.name}, {text_field, text.text}});
  return list;
}

// The item's further fields: texts by name, "stereotype" fields gathered
// into the list "stereotypes".
void PutItemFields(Json& object, const std::vector<NamedText>& fields) {
  Json stereotypes = Json::array();
  for (const NamedText& field : fields) {
    if (field.name == "stereotype") {
      stereotypes.push_back(field.text);
    } else {
      object[field.name] = field.text;
    }
  }
  if (!stereotypes.empty()) object["stereotypes"] = std::move(stereotypes);
}

class DocumentWriter {
 public:
  explicit DocumentWriter(ModelSession& session)
      : session_(session),
        package_keys_("package", key_space_),
        element_keys_("element", key_space_),
        connector_keys_("connector", key_space_) {}

  Json Write() {
    ReadRecords();
    Json document{{"format", "orba-model"}, {"version", 1}};
    document["technologies"] = TechnologyIds();
    document["packages"] = Packages();
    document["elements"] = Elements();
    document["connectors"] = Connectors();
    document["diagrams"] = Diagrams();
    return document;
  }

 private:
  void ReadRecords() {
    packages_ = session_.AllPackages();
    std::set<int32_t> package_element_ids;
    for (const PackageRow& package : packages_) package_element_ids.insert(package.element_id);
    for (ElementRow& element : session_.SelectElements("ORDER BY Object_ID")) {
      if (package_element_ids.contains(element.id)) {
        package_elements_[element.id] = std::move(element);
      } else {
        elements_.push_back(std::move(element));
      }
    }
    connectors_ = session_.AllConnectors();
    AssignKeys();
  }

  // Stored keys are collected first, so that new keys never take one of them.
  // Each row's key becomes the key it has in the document.
  void AssignKeys() {
    for (const PackageRow& package : packages_) CollectStoredKey(package.key);
    for (const ElementRow& element : elements_) CollectStoredKey(element.key);
    for (const ConnectorRow& connector : connectors_) CollectStoredKey(connector.key);
    for (PackageRow& package : packages_) package.key = package_keys_.Add(package.id, package.key);
    for (ElementRow& element : elements_) element.key = element_keys_.Add(element.id, element.key);
    for (ConnectorRow& connector : connectors_)
      connector.key = connector_keys_.Add(connector.id, connector.key);
  }

  void CollectStoredKey(const std::optional<std::string>& key) {
    if (key) key_space_.stored.insert(*key);
  }

  // The key of the package `item` refers to as `role`.
  const std::string& PackageKey(int32_t id, const std::string& item, const std::string& role) {
    const std::string* key = package_keys_.Find(id);
    if (!key) FailReference(item, role, id);
    return *key;
  }

  // The key of the element `item` refers to as `role`. A package's element
  // can only be named as a connector end.
  const std::string& ElementKey(int32_t id, const std::string& item, const std::string& role) {
    const std::string* key = element_keys_.Find(id);
    if (key) return *key;
    if (package_elements_.contains(id)) FailReference(item, role, id, "which stands for a package");
    FailReference(item, role, id);
  }

  Json TechnologyIds() {
    Json ids = Json::array();
    Statement statement =
        session_.Db().Prepare("SELECT Technology_ID FROM t_technology ORDER BY rowid");
    while (statement.Step()) ids.push_back(statement.Text(0));
    return ids;
  }

  // Stereotype, explicit metatype, notes and GUID: what packages and elements share.
  void PutElementTexts(Json& object, const ElementRow& row) {
    if (row.stereotype) object["stereotype"] = *row.stereotype;
    if (row.metatype) object["metatype"] = *row.metatype;
    PutIfNotEmpty(object, "notes", row.notes);
    object["guid"] = row.guid;
  }

  Json Packages() {
    Json list = Json::array();
    for (const PackageRow& package : packages_) {
      std::string item = Described("package", package.id, package.name);
      Json object{{"key", *package.key}, {"name", package.name}};
      if (package.parent_id != 0) object["parent"] = PackageKey(package.parent_id, item, "parent");
      auto element = package_elements_.find(package.element_id);
      if (element == package_elements_.end()) FailReference(item, "element", package.element_id);
      PutElementTexts(object, element->second);
      PutItemFields(object, session_.ItemFieldsOf(kPackageItem, package.id));
      list.push_back(std::move(object));
    }
    return list;
  }

  void PutElementReference(Json& object, const char* field, int32_t id, const std::string& item,
                           const std::string& role) {
    if (id != 0) object[field] = ElementKey(id, item, role);
  }

  Json Elements() {
    Json list = Json::array();
    for (const ElementRow& row : elements_) {
      std::string item = Described("element", row.id, row.name);
      Json object{{"key", *row.key}};
      if (row.package_id != 0) object["package"] = PackageKey(row.package_id, item, "package");
      object["type"] = row.type;
      object["name"] = row.name;
      PutElementReference(object, "parent", row.parent_id, item, "parent");
      PutElementReference(object, "classifier", row.classifier_id, item, "classifier");
      PutElementReference(object, "propertyType", row.property_type_id, item, "property type");
      if (row.abstract != "0") object["abstract"] = row.abstract;
      PutIfNotEmpty(object, "multiplicity", row.multiplicity);
      PutElementTexts(object, row);
      PutItemFields(object, session_.ItemFieldsOf(kElementItem, row.id));
      PutMembers(object, row.id);
      list.push_back(std::move(object));
    }
    return list;
  }

  void PutMembers(Json& object, int32_t element_id) {
    std::vector<NamedText> tags = session_.TagsOf(element_id);
    if (!tags.empty()) object["tags"] = NamedTexts(tags, "value");
    std::vector<NamedText> attributes = session_.AttributesOf(element_id);
    if (!attributes.empty()) object["attributes"] = NamedTexts(attributes, "type");
    Json operations = Operations(element_id);
    if (!operations.empty()) object["operations"] = std::move(operations);
  }

  Json Operations(int32_t element_id) {
    Json list = Json::array();
    for (const OperationRow& operation : session_.OperationsOf(element_id)) {
      Json object{{"name", operation.name}};
      if (operation.stereotype) object["stereotype"] = *operation.stereotype;
      object["guid"] = operation.guid;
      std::vector<NamedText> parameters = session_.ParametersOf(operation.id);
      if (!parameters.empty()) object["parameters"] = NamedTexts(parameters, "type");
      PutItemFields(object, session_.ItemFieldsOf(kOperationItem, operation.id));
      list.push_back(std::move(object));
    }
    return list;
  }

  // A connector end (absent for id 0): an element's key, or the key of the
  // package whose element it is.
  void PutEnd(Json& object, const char* field, int32_t element_id, const std::string& item) {
    if (element_id == 0) return;
    if (const std::string* key = element_keys_.Find(element_id)) {
      object[field] = *key;
      return;
    }
    for (const PackageRow& package : packages_) {
      if (package.element_id == element_id) {
        object[field] = *package.key;
        return;
      }
    }
    FailReference(item, field, element_id);
  }

  Json Connectors() {
    Json list = Json::array();
    for (const ConnectorRow& row : connectors_) {
      std::string item = "connector " + std::to_string(row.id) + " (type \"" + row.type + "\")";
      Json object{{"key", *row.key}, {"type", row.type}};
      if (row.stereotype) object["stereotype"] = *row.stereotype;
      PutEnd(object, "client", row.client_id, item);
      PutEnd(object, "supplier", row.supplier_id, item);
      if (row.client_aggregation != 0) object["clientAggregation"] = row.client_aggregation;
      if (row.supplier_aggregation != 0) object["supplierAggregation"] = row.supplier_aggregation;
      object["guid"] = row.guid;
      std::vector<NamedText> tags = session_.ConnectorTagsOf(row.id);
      if (!tags.empty()) object["tags"] = NamedTexts(tags, "value");
      PutItemFields(object, session_.ItemFieldsOf(kConnectorItem, row.id));
      list.push_back(std::move(object));
    }
    return list;
  }

  Json Diagrams() {
    Json list = Json::array();
    for (const DiagramRow& row : session_.AllDiagrams()) {
      Json object;
      if (row.package_id != 0) {
        object["package"] =
            PackageKey(row.package_id, Described("diagram", row.id, row.name), "package");
      }
      object["name"] = row.name;
      object["type"] = row.type;
      if (row.display_flags != 0) object["displayFlags"] = row.display_flags;
      PutItemFields(object, session_.ItemFieldsOf(kDiagramItem, row.id));
      PutDiagramContents(object, row);
      list.push_back(std::move(object));
    }
    return list;
  }

  void PutDiagramContents(Json& object, const DiagramRow& diagram) {
    const std::string item = Described("diagram", diagram.id, diagram.name);
    Json objects = Json::array();
    for (const DiagramObjectRow& row : session_.ObjectsOf(diagram.id)) {
      Json shown;
      PutEnd(shown, "element", row.element_id, item);
      if (row.rect) {
        shown["x"] = row.rect->x;
        shown["y"] = row.rect->y;
        shown["w"] = row.rect->width;
        shown["h"] = row.rect->height;
      }
      objects.push_back(std::move(shown));
    }
    Json links = Json::array();
    for (const DiagramLinkRow& row : session_.LinksOf(diagram.id)) {
      const std::string* key = connector_keys_.Find(row.connector_id);
      if (!key) FailReference(item, "connector", row.connector_id);
      Json link = {{"connector", *key}};
      if (row.hidden) link["hidden"] = true;
      links.push_back(std::move(link));
    }
    if (!objects.empty()) object["objects"] = std::move(objects);
    if (!links.empty()) object["links"] = std::move(links);
  }

  ModelSession& session_;
  KeySpace key_space_;
  KeyNames package_keys_;
  KeyNames element_keys_;
  KeyNames connector_keys_;
  std::vector<PackageRow> packages_;
  std::map<int32_t, ElementRow> package_elements_;
  std::vector<ElementRow> elements_;
  std::vector<ConnectorRow> connectors_;
};

}  // namespace

std::string ExportJsonModel(ModelRepository& repository) {
  try {
    // Bytes that are not UTF-8 (in a name, say) are written as U+FFFD rather
    // than failing the whole document.
    return DocumentWriter(repository.Session())
               .Write()
               .dump(2, ' ', false, Json::error_handler_t::replace) +
           "\n";
  } catch (const ReferenceError& error) {
    // A file changed behind the host's back, or damaged where a page still reads.
    const std::string location = repository.ModelLocation();
    if (location == ModelRepository::kInMemoryLocation) throw;
    throw StoreError("model file is damaged: " + location + " (" + error.what() + ")");
  }
}

}  // namespace orba::store
