// Import of a JSON model document: the whole document is read and checked
// first, with every key resolved to the id its item will get; only then is
// it written, in one transaction.
#include <unistd.h>

#include <filesystem>
#include <map>
#include <set>

#include "base/guid.h"
#include "base/text.h"
#include "orba/store/json_fields.h"
#include "orba/store/json_model.h"
#include "orba/store/model_session.h"

namespace orba::store {
namespace {

using nlohmann::json;

struct OperationPlan {
  OperationRow row;
  std::vector<NamedText> parameters;
  std::vector<NamedText> fields;
};

struct ElementPlan {
  ElementRow row;
  std::vector<NamedText> tags;
  std::vector<NamedText> attributes;
  std::vector<OperationPlan> operations;
  std::vector<NamedText> fields;
};

struct PackagePlan {
  PackageRow package;
  ElementRow element;  // the element standing for the package
  std::vector<NamedText> fields;
};

struct ConnectorPlan {
  ConnectorRow row;
  std::vector<NamedText> tags;
  std::vector<NamedText> fields;
};

struct ModelDocument {
  ImportResult result;
  std::vector<PackagePlan> packages;
  std::vector<ElementPlan> elements;
  std::vector<ConnectorPlan> connectors;
  std::vector<DiagramRow> diagrams;
};

json ParseJson(std::string_view text) {
  try {
    return json::parse(text);
  } catch (const json::exception& error) {  // a syntax error, or a number too large to hold
    throw ImportError(std::string("not a JSON document: ") + error.what());
  }
}

// Items of a list get the ids first_id, first_id + 1, ... in list order.
// Packages, elements and connectors share one namespace of keys: `document_keys`
// holds those taken so far.
std::map<std::string, int32_t> AssignKeys(const json& list, const std::string& name,
                                          int32_t first_id, std::set<std::string>& document_keys) {
  std::map<std::string, int32_t> ids;
  for (size_t index = 0; index < list.size(); ++index) {
    JsonFields item(list[index], ItemPlace(name, index));
    std::string key = item.RequiredText("key");
    if (!document_keys.insert(key).second) {
      FailAt(item.PlaceOf("key"), "duplicate key " + Quoted(key));
    }
    ids.emplace(key, first_id + static_cast<int32_t>(index));
  }
  return ids;
}

// Fails when following `parents` (parent id per item, 0 for none; item i has
// id first_id + i) from some item comes back to it.
void CheckNoParentCycle(const std::vector<int32_t>& parents, int32_t first_id,
                        const std::string& list) {
  for (size_t start = 0; start < parents.size(); ++start) {
    int32_t parent = parents[start];
    for (size_t steps = 0; parent != 0; ++steps) {
      if (steps == parents.size())
        FailAt(ItemPlace(list, start) + ".parent", "the parents form a cycle");
      parent = parents[static_cast<size_t>(parent - first_id)];
    }
  }
}

// The optional text fields `names` of an item that has them, as item fields;
// the texts of its "stereotypes" list become one "stereotype" field each.
std::vector<NamedText> ReadItemFields(JsonFields& item, std::initializer_list<const char*> names) {
  std::vector<NamedText> fields;
  for (const char* name : names) {
    std::string text = item.Text(name);
    if (!text.empty()) fields.push_back(NamedText{name, std::move(text)});
  }
  for (std::string& stereotype : item.Texts("stereotypes"))
    fields.push_back(NamedText{"stereotype", std::move(stereotype)});
  return fields;
}

class DocumentReader {
 public:
  explicit DocumentReader(std::string_view text) : root_(ParseJson(text)), fields_(root_, "") {}

  ModelDocument Read() {
    ReadHeader();
    AssignAllKeys();
    ReadEach("packages", &DocumentReader::ReadPackage);
    ReadEach("elements", &DocumentReader::ReadElement);
    ReadEach("connectors", &DocumentReader::ReadConnector);
    ReadEach("diagrams", &DocumentReader::ReadDiagram);
    fields_.RejectUnknownFields();
    AssignDerivedGuids();
    CheckParents();
    InheritPackages();
    return std::move(document_);
  }

 private:
  void ReadHeader() {
    std::optional<std::string> format = fields_.OptionalText("format");
    if (format && *format != "orba-model")
      FailAt("format", "expected \"orba-model\", found " + Quoted(*format));
    if (fields_.Has("version") && root_["version"] != json(1)) {
      FailAt("version",
             "unsupported version " + root_["version"].dump() + " (this host reads version 1)");
    }
    document_.result.technologies = fields_.Texts("technologies");
  }

  void AssignAllKeys() {
    const json& packages = fields_.Array("packages");
    KeyMap& keys = document_.result.keys;
    std::set<std::string> document_keys;
    keys.packages = AssignKeys(packages, "packages", 1, document_keys);
    first_element_id_ = static_cast<int32_t>(packages.size()) + 1;
    keys.elements =
        AssignKeys(fields_.Array("elements"), "elements", first_element_id_, document_keys);
    keys.connectors = AssignKeys(fields_.Array("connectors"), "connectors", 1, document_keys);
  }

  template <class Reader>
  void ReadEach(const std::string& list_name, Reader read) {
    const json& list = fields_.Array(list_name);
    for (size_t index = 0; index < list.size(); ++index) {
      JsonFields item(list[index], ItemPlace(list_name, index));
      (this->*read)(item);
      item.RejectUnknownFields();
    }
  }

  int32_t Resolve(const std::map<std::string, int32_t>& ids, JsonFields& item,
                  const std::string& field) {
    std::optional<std::string> key = item.OptionalText(field);
    if (!key) return 0;
    auto found = ids.find(*key);
    if (found == ids.end()) FailAt(item.PlaceOf(field), "unknown key " + Quoted(*key));
    return found->second;
  }

  // A connector end, which every connector has: an element, or the element
  // of a package (which has the package's id).
  int32_t ResolveEnd(JsonFields& item, const std::string& field) {
    const KeyMap& keys = document_.result.keys;
    std::optional<std::string> key = item.OptionalText(field);
    if (!key) {
      FailAt(item.Path(), "connector " + Quoted(item.Key()) + " has no " + field +
                              " (a connector joins a client and a supplier)");
    }
    auto package = keys.packages.find(*key);
    if (package != keys.packages.end()) return package->second;
    return Resolve(keys.elements, item, field);
  }

  // The given GUID; "" when none is given (AssignDerivedGuids gives one).
  // GUIDs ignore letter case, so within its kind a GUID is unique ignoring
  // case; `used` maps each GUID given, in upper case, to its item's key and
  // place.
  std::string Guid(JsonFields& item, std::map<std::string, std::string>& used) {
    std::string guid = item.Text("guid");
    if (guid.empty()) return guid;
    const auto [taken, added] =
        used.emplace(base::AsciiUpperCase(guid), Quoted(item.Key()) + " (" + item.Path() + ")");
    if (!added) {
      FailAt(item.PlaceOf("guid"), "the GUID " + Quoted(guid) + " of " + Quoted(item.Key()) +
                                       " is already the GUID of " + taken->second +
                                       "; GUIDs ignore letter case");
    }
    return guid;
  }

  // The fields an element and a package's element share.
  void ReadElementTexts(JsonFields& item, ElementRow& row) {
    row.stereotype = StereotypeOrNone(item.Text("stereotype"));
    row.metatype = item.OptionalText("metatype");
    row.notes = item.Text("notes");
    row.guid = Guid(item, object_guids_);
  }

  void ReadPackage(JsonFields& item) {
    PackagePlan plan;
    plan.package.key = item.RequiredText("key");
    plan.package.id = document_.result.keys.packages.at(*plan.package.key);
    plan.package.name = item.RequiredText("name");
    plan.package.parent_id = Resolve(document_.result.keys.packages, item, "parent");
    plan.package.element_id = plan.package.id;
    plan.element.id = plan.package.id;
    plan.element.type = "Package";
    plan.element.name = plan.package.name;
    plan.element.package_id = plan.package.parent_id;
    ReadElementTexts(item, plan.element);
    plan.fields = ReadItemFields(item, {"xmiId"});
    document_.packages.push_back(std::move(plan));
  }

  void ReadElement(JsonFields& item) {
    const KeyMap& keys = document_.result.keys;
    ElementPlan plan;
    ElementRow& row = plan.row;
    row.key = item.RequiredText("key");
    row.id = keys.elements.at(*row.key);
    row.type = item.RequiredText("type");
    row.name = item.Text("name");
    row.package_id = Resolve(keys.packages, item, "package");
    row.parent_id = Resolve(keys.elements, item, "parent");
    row.classifier_id = Resolve(keys.elements, item, "classifier");
    row.property_type_id = Resolve(keys.elements, item, "propertyType");
    row.abstract = item.OptionalText("abstract").value_or("0");
    row.multiplicity = item.Text("multiplicity");
    ReadElementTexts(item, row);
    plan.tags = ReadNamedTexts(item, "tags", "value");
    plan.attributes = ReadNamedTexts(item, "attributes", "type");
    plan.operations = ReadOperations(item);
    plan.fields = ReadItemFields(item, {"umlKind", "xmiId"});
    document_.elements.push_back(std::move(plan));
  }

  // A list of {"name": .., TEXT_FIELD: ..} objects.
  std::vector<NamedText> ReadNamedTexts(JsonFields& owner, const std::string& list_name,
                                        const std::string& text_field) {
    const json& list = owner.Array(list_name);
    std::vector<NamedText> texts;
    for (size_t index = 0; index < list.size(); ++index) {
      JsonFields item(list[index], ItemPlace(owner.PlaceOf(list_name), index), owner);
      texts.push_back(NamedText{item.RequiredText("name"), item.Text(text_field)});
      item.RejectUnknownFields();
    }
    return texts;
  }

  std::vector<OperationPlan> ReadOperations(JsonFields& owner) {
    const json& list = owner.Array("operations");
    std::vector<OperationPlan> operations;
    for (size_t index = 0; index < list.size(); ++index) {
      JsonFields item(list[index], ItemPlace(owner.PlaceOf("operations"), index), owner);
      OperationPlan plan;
      plan.row.name = item.RequiredText("name");
      plan.row.stereotype = StereotypeOrNone(item.Text("stereotype"));
      plan.row.guid = Guid(item, operation_guids_);
      plan.parameters = ReadNamedTexts(item, "parameters", "type");
      plan.fields = ReadItemFields(item, {"xmiId"});
      item.RejectUnknownFields();
      operations.push_back(std::move(plan));
    }
    return operations;
  }

  void ReadConnector(JsonFields& item) {
    ConnectorPlan plan;
    ConnectorRow& row = plan.row;
    row.key = item.RequiredText("key");
    row.id = document_.result.keys.connectors.at(*row.key);
    row.type = item.RequiredText("type");
    row.stereotype = StereotypeOrNone(item.Text("stereotype"));
    row.client_id = ResolveEnd(item, "client");
    row.supplier_id = ResolveEnd(item, "supplier");
    row.client_aggregation = item.Int("clientAggregation", 0, 2);
    row.supplier_aggregation = item.Int("supplierAggregation", 0, 2);
    row.guid = Guid(item, connector_guids_);
    plan.tags = ReadNamedTexts(item, "tags", "value");
    plan.fields = ReadItemFields(item, {"name", "xmiId", "clientRole", "clientMultiplicity",
                                        "supplierRole", "supplierMultiplicity"});
    document_.connectors.push_back(std::move(plan));
  }

  void ReadDiagram(JsonFields& item) {
    DiagramRow row;
    row.package_id = Resolve(document_.result.keys.packages, item, "package");
    row.name = item.RequiredText("name");
    row.type = item.RequiredText("type");
    row.display_flags = item.Int("displayFlags", 0, INT32_MAX);
    document_.diagrams.push_back(std::move(row));
  }

  // Items without a GUID get one derived from their key (an operation: from
  // its owner's key and its place in the list), so that the same document
  // gives the same GUIDs on every import. Derived GUIDs differ from each
  // other; one that equals a GUID the document gives another item is refused.
  void AssignDerivedGuids() {
    static constexpr base::GuidNamespace kKeyGuids = {0x3f, 0x9a, 0x1c, 0x52, 0x7e, 0x04,
                                                      0x4b, 0x8d, 0x96, 0x21, 0xd5, 0x6c,
                                                      0x0b, 0xe8, 0x47, 0x13};
    auto derive = [](std::string& guid, const std::map<std::string, std::string>& given,
                     const std::string& place, const std::string& identity) {
      if (!guid.empty()) return;
      guid = base::NameBasedGuid(kKeyGuids, identity);
      auto taken = given.find(guid);
      if (taken != given.end()) {
        FailAt(place, "the GUID " + Quoted(guid) + " derived from " + identity +
                          " is already the GUID of " + taken->second +
                          "; give one of them another");
      }
    };
    for (size_t at = 0; at < document_.packages.size(); ++at) {
      PackagePlan& plan = document_.packages[at];
      derive(plan.element.guid, object_guids_, ItemPlace("packages", at),
             "package " + Quoted(*plan.package.key));
    }
    for (size_t at = 0; at < document_.elements.size(); ++at) {
      ElementPlan& plan = document_.elements[at];
      const std::string place = ItemPlace("elements", at);
      derive(plan.row.guid, object_guids_, place, "element " + Quoted(*plan.row.key));
      for (size_t operation = 0; operation < plan.operations.size(); ++operation) {
        derive(plan.operations[operation].row.guid, operation_guids_,
               ItemPlace(place + ".operations", operation),
               "operation " + std::to_string(operation) + " of " + Quoted(*plan.row.key));
      }
    }
    for (size_t at = 0; at < document_.connectors.size(); ++at) {
      ConnectorPlan& plan = document_.connectors[at];
      derive(plan.row.guid, connector_guids_, ItemPlace("connectors", at),
             "connector " + Quoted(*plan.row.key));
    }
  }

  void CheckParents() {
    std::vector<int32_t> package_parents;
    for (const PackagePlan& plan : document_.packages)
      package_parents.push_back(plan.package.parent_id);
    CheckNoParentCycle(package_parents, 1, "packages");
    CheckNoParentCycle(ElementParents(), first_element_id_, "elements");
  }

  std::vector<int32_t> ElementParents() const {
    std::vector<int32_t> parents;
    for (const ElementPlan& plan : document_.elements) parents.push_back(plan.row.parent_id);
    return parents;
  }

  // An element given without a package is in its parent's package; one
  // without either has none (package id 0).
  void InheritPackages() {
    for (ElementPlan& plan : document_.elements) {
      const ElementRow* owner = &plan.row;
      while (owner->package_id == 0 && owner->parent_id != 0)
        owner = &ElementWithId(owner->parent_id).row;
      plan.row.package_id = owner->package_id;
    }
  }

  const ElementPlan& ElementWithId(int32_t id) const {
    return document_.elements[static_cast<size_t>(id - first_element_id_)];
  }

  json root_;
  JsonFields fields_;
  ModelDocument document_;
  int32_t first_element_id_ = 1;
  std::map<std::string, std::string> object_guids_;
  std::map<std::string, std::string> operation_guids_;
  std::map<std::string, std::string> connector_guids_;
};

void RequireEmptyModel(ModelSession& session) {
  Statement count = session.Db().Prepare(
      "SELECT (SELECT count(*) FROM t_object) + (SELECT count(*) FROM t_connector) + "
      "(SELECT count(*) FROM t_diagram)");
  if (count.Step() && count.Int(0) != 0) {
    throw StoreError("cannot import into a model that is not empty: " + session.Location());
  }
}

void WriteItemFields(ModelSession& session, const char* item_kind, int32_t item_id,
                     const std::vector<NamedText>& fields) {
  for (const NamedText& field : fields) session.InsertItemField(item_kind, item_id, field);
}

void WriteElement(ModelSession& session, const ElementPlan& plan) {
  session.InsertElement(plan.row);
  WriteItemFields(session, kElementItem, plan.row.id, plan.fields);
  for (const NamedText& tag : plan.tags) session.InsertTag(plan.row.id, tag);
  for (const NamedText& attribute : plan.attributes)
    session.InsertAttribute(plan.row.id, attribute);
  for (const OperationPlan& operation : plan.operations) {
    OperationRow row = operation.row;
    row.element_id = plan.row.id;
    int32_t operation_id = session.InsertOperation(row);
    WriteItemFields(session, kOperationItem, operation_id, operation.fields);
    for (const NamedText& parameter : operation.parameters) {
      session.InsertParameter(operation_id, parameter);
    }
  }
}

void WriteDocument(ModelSession& session, const ModelDocument& document) {
  for (const PackagePlan& plan : document.packages) {
    session.InsertElement(plan.element);
    session.InsertPackage(plan.package);
    WriteItemFields(session, kPackageItem, plan.package.id, plan.fields);
  }
  for (const ElementPlan& plan : document.elements) WriteElement(session, plan);
  for (const ConnectorPlan& plan : document.connectors) {
    session.InsertConnector(plan.row);
    for (const NamedText& tag : plan.tags) session.InsertConnectorTag(plan.row.id, tag);
    WriteItemFields(session, kConnectorItem, plan.row.id, plan.fields);
  }
  for (const DiagramRow& diagram : document.diagrams) session.InsertDiagram(diagram);
}

ImportResult WriteIntoOpenModel(ModelRepository& repository, const ModelDocument& document) {
  ModelSession& session = repository.Session();
  session.RequireWritable();
  RequireEmptyModel(session);
  ModelRepository::Transaction transaction(repository);
  WriteDocument(session, document);
  transaction.Commit();
  return document.result;
}

}  // namespace

ImportResult ImportJsonModel(ModelRepository& repository, std::string_view json_text) {
  return WriteIntoOpenModel(repository, DocumentReader(json_text).Read());
}

std::string ImportBuildingPath(const std::string& obx_path) {
  return obx_path + ".importing-" + std::to_string(getpid());
}

ImportResult ImportJsonModelFile(ModelRepository& repository, std::string_view json_text,
                                 const std::string& obx_path) {
  ModelDocument document = DocumentReader(json_text).Read();
  const std::string building = ImportBuildingPath(obx_path);
  std::filesystem::remove(building);
  try {
    repository.CreateModel(building);
    ImportResult result = WriteIntoOpenModel(repository, document);
    repository.CloseModel();
    std::error_code error;
    std::filesystem::rename(building, obx_path, error);
    if (error) throw StoreError("cannot write model file " + obx_path + ": " + error.message());
    repository.Open(obx_path);
    return result;
  } catch (...) {
    repository.CloseModel();
    // The journal SQLite kept beside a failed build goes with it.
    std::error_code ignored;
    std::filesystem::remove(building, ignored);
    std::filesystem::remove(building + "-journal", ignored);
    throw;
  }
}

}  // namespace orba::store
