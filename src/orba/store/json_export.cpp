// Export of the open model as a JSON model document. Items keep the keys
// they were imported with; items created since get new keys ("element12").
#include <nlohmann/json.hpp>
#include <set>

#include "orba/store/json_model.h"
#include "orba/store/model_session.h"

namespace orba::store {
namespace {

using Json = nlohmann::ordered_json;

// Keys by id for one kind of item, unique within the document.
class KeyNames {
 public:
  KeyNames(std::string prefix, std::set<std::string>& used)
      : prefix_(std::move(prefix)), used_(used) {}

  void Add(int32_t id, const std::optional<std::string>& stored_key) {
    std::string key = stored_key.value_or("");
    for (int suffix = 0; key.empty() || !used_.insert(key).second; ++suffix) {
      key = prefix_ + std::to_string(id) + (suffix ? "_" + std::to_string(suffix) : "");
    }
    keys_[id] = key;
  }

  const std::string& Of(int32_t id) const { return keys_.at(id); }
  bool Has(int32_t id) const { return keys_.contains(id); }

 private:
  std::string prefix_;
  std::set<std::string>& used_;
  std::map<int32_t, std::string> keys_;
};

void PutIfNotEmpty(Json& object, const char* field, const std::string& text) {
  if (!text.empty()) object[field] = text;
}

Json NamedTexts(const std::vector<NamedText>& texts, const char* text_field) {
  Json list = Json::array();
  for (const NamedText& text : texts)
    list.push_back(Json{{"name", text.name}, {text_field, text.text}});
  return list;
}

class DocumentWriter {
 public:
  explicit DocumentWriter(ModelSession& session)
      : session_(session),
        package_keys_("package", used_keys_),
        element_keys_("element", used_keys_),
        connector_keys_("connector", used_keys_) {}

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

  // Stored keys are claimed first, so that new keys never take one of them.
  void AssignKeys() {
    for (const PackageRow& package : packages_) ClaimStoredKey(package.key);
    for (const ElementRow& element : elements_) ClaimStoredKey(element.key);
    for (const ConnectorRow& connector : connectors_) ClaimStoredKey(connector.key);
    for (const PackageRow& package : packages_) package_keys_.Add(package.id, Unclaim(package.key));
    for (const ElementRow& element : elements_) element_keys_.Add(element.id, Unclaim(element.key));
    for (const ConnectorRow& connector : connectors_)
      connector_keys_.Add(connector.id, Unclaim(connector.key));
  }

  void ClaimStoredKey(const std::optional<std::string>& key) {
    if (key) used_keys_.insert(*key);
  }

  // Releases a claimed key so that the item it belongs to can take it.
  std::optional<std::string> Unclaim(const std::optional<std::string>& key) {
    if (key) used_keys_.erase(*key);
    return key;
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
      Json object{{"key", package_keys_.Of(package.id)}, {"name", package.name}};
      if (package.parent_id != 0) object["parent"] = package_keys_.Of(package.parent_id);
      PutElementTexts(object, package_elements_.at(package.element_id));
      list.push_back(std::move(object));
    }
    return list;
  }

  void PutElementReference(Json& object, const char* field, int32_t id) {
    if (id != 0) object[field] = element_keys_.Of(id);
  }

  Json Elements() {
    Json list = Json::array();
    for (const ElementRow& row : elements_) {
      Json object{{"key", element_keys_.Of(row.id)},
                  {"package", package_keys_.Of(row.package_id)},
                  {"type", row.type},
                  {"name", row.name}};
      PutElementReference(object, "parent", row.parent_id);
      PutElementReference(object, "classifier", row.classifier_id);
      PutElementReference(object, "propertyType", row.property_type_id);
      if (row.abstract != "0") object["abstract"] = row.abstract;
      PutIfNotEmpty(object, "multiplicity", row.multiplicity);
      PutElementTexts(object, row);
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
      list.push_back(std::move(object));
    }
    return list;
  }

  // A connector end: an element's key, or the key of the package it stands for.
  std::string EndKey(int32_t element_id) {
    if (element_keys_.Has(element_id)) return element_keys_.Of(element_id);
    for (const PackageRow& package : packages_) {
      if (package.element_id == element_id) return package_keys_.Of(package.id);
    }
    throw StoreError("connector end " + std::to_string(element_id) + " names no element");
  }

  Json Connectors() {
    Json list = Json::array();
    for (const ConnectorRow& row : connectors_) {
      Json object{{"key", connector_keys_.Of(row.id)}, {"type", row.type}};
      if (row.stereotype) object["stereotype"] = *row.stereotype;
      object["client"] = EndKey(row.client_id);
      object["supplier"] = EndKey(row.supplier_id);
      if (row.client_aggregation != 0) object["clientAggregation"] = row.client_aggregation;
      if (row.supplier_aggregation != 0) object["supplierAggregation"] = row.supplier_aggregation;
      object["guid"] = row.guid;
      std::vector<NamedText> tags = session_.ConnectorTagsOf(row.id);
      if (!tags.empty()) object["tags"] = NamedTexts(tags, "value");
      list.push_back(std::move(object));
    }
    return list;
  }

  Json Diagrams() {
    Json list = Json::array();
    for (const DiagramRow& row : session_.AllDiagrams()) {
      Json object{
          {"package", package_keys_.Of(row.package_id)}, {"name", row.name}, {"type", row.type}};
      if (row.display_flags != 0) object["displayFlags"] = row.display_flags;
      list.push_back(std::move(object));
    }
    return list;
  }

  ModelSession& session_;
  std::set<std::string> used_keys_;
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
  return DocumentWriter(repository.Session()).Write().dump(2) + "\n";
}

}  // namespace orba::store
